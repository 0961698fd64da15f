#include "engine/Keys.h"
#include "tests/app/AppFixture.h"

TEST_F(AppTest, CrossingAnEdgeScrollsForHalfASecondAndPushesTheHeroOn)
{
    SpawnTable::Game().SetDefault(&TestEnemy::Make);
    Screen(8, 7).spawnRange[0][0] = 1;
    Screen(8, 7).spawnRange[0][1] = 1;
    Hero()->SetPosition(Vec2(8 * 512 - 15.0f, 83 * 32.0f));  // past the middle of the last column
    Frame();
    EXPECT_TRUE(app->IsScrolling());
    EXPECT_EQ(app->ScreenX(), 8);
    EXPECT_FLOAT_EQ(app->ScrollX(), -1.0f + 2.0f / 60.0f);
    EXPECT_EQ(world->ViewScreenX(), 8);
    int frames = 1;
    while (app->IsScrolling() && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 30, 1);
    EXPECT_EQ(app->ScrollX(), 0.0f);
    EXPECT_GE(Hero()->GetPosition().x, 8 * 512 - 15.0f + 8.0f);  // the 8-pixel push
    EXPECT_EQ(app->ActiveCount(), 1);
    int enemies = 0;
    for (int i = 0; i < world->GetEntityList().Count(); ++i)
        enemies += world->GetEntityList().Get(i)->isEnemy;
    EXPECT_EQ(enemies, 1);  // the new screen was populated when the scroll ended
}

TEST_F(AppTest, LeavingAReturningRoomSouthwardsClimbsTheStairs)
{
    Hero()->PushReturnPoint(118, 80);
    app->screenX = 2;
    app->screenY = 20;
    world->SetView(2, 20, 0.0f, 0.0f);
    Screen(2, 20).exitSouthReturns = 1;
    Screen(2, 20).isDungeonRoom = 1;
    Hero()->SetPosition(Vec2(2 * 512 + 240.0f, 21 * 352 - 10.0f));
    Frame();
    EXPECT_FALSE(app->IsScrolling());
    EXPECT_EQ(Hero()->GetPosition(), Vec2(118 * 32.0f, 80 * 32.0f));
    EXPECT_EQ(Hero()->GetState(), 7);
    EXPECT_EQ(app->ScreenX(), 7);
    EXPECT_EQ(app->ScreenY(), 7);
    EXPECT_EQ(Hero()->ReturnPointCount(), 0u);
}

TEST_F(AppTest, RoomsOpenTheirClearDoorsOnceNoEnemyIsLeft)
{
    ScreenInfo& room = Screen(7, 7);
    room.doors[MapFormat::DOOR_EAST] = MapFormat::DOOR_CLEAR;
    room.doors[MapFormat::DOOR_NORTH] = MapFormat::DOOR_LOCKED;
    auto* enemy = new TestEnemy(nullptr);
    enemy->transient = true;  // keep it through the activity pass
    enemy->SetPosition(Vec2(7 * 512 + 100.0f, 7 * 352 + 100.0f));
    world->AddEntity(enemy, false);
    Frame();
    EXPECT_EQ(room.doors[MapFormat::DOOR_EAST], MapFormat::DOOR_CLEAR);
    enemy->state = 0;
    Frame();
    Frame();
    EXPECT_EQ(room.doors[MapFormat::DOOR_EAST], MapFormat::DOOR_OPEN);
    EXPECT_EQ(room.doors[MapFormat::DOOR_NORTH], MapFormat::DOOR_LOCKED);
}

TEST_F(AppTest, TheActivityPassDropsWhatNoHeroSees)
{
    RecordingSession session;
    app->session = &session;
    auto* away = new TestEnemy(&session);
    away->SetUID(40);
    away->SetPosition(Vec2(100.0f, 100.0f));
    auto* here = new TestEnemy(&session);
    here->SetUID(41);
    here->SetPosition(Hero()->GetPosition() + Vec2(64.0f, 0.0f));
    auto* shot = new TestEntity(&session);
    shot->transient = true;
    shot->SetPosition(Vec2(100.0f, 100.0f));
    auto* corpse = new TestEnemy(&session);
    corpse->SetUID(42);
    corpse->dead = true;
    corpse->SetPosition(Hero()->GetPosition());
    for (Entity* e : std::initializer_list<Entity*>{away, here, shot, corpse}) world->AddEntity(e, false);
    app->UpdateActivity();
    EXPECT_EQ(world->FindEntity(40), nullptr);
    EXPECT_NE(world->FindEntity(41), nullptr);
    EXPECT_EQ(world->FindEntity(42), nullptr);
    EXPECT_EQ(world->GetEntityList().Count(), 1 + 3 + 2 + 2);  // hero, swords, boomerangs, survivors
    ASSERT_EQ(session.sent.size(), 2u);
    EXPECT_EQ(session.sent[0].type, 4);
    EXPECT_EQ(app->ActiveCount(), 1);
    EXPECT_TRUE(Hero()->active);
    app->session = nullptr;
}
