#include "enemies/Bat.h"
#include "enemies/Gorlak.h"
#include "enemies/Krillop.h"
#include "enemies/Skeleton.h"
#include "enemies/Snake.h"
#include "items/Jessel.h"
#include "items/Pushblock.h"
#include "items/Rock.h"
#include "tests/app/AppFixture.h"
#include "tests/player/SoundProbe.h"

// East, south, west and north, back to the start screen: each crossing
// scrolls for half a second, pushes the hero 8 pixels on and then fills the
// new screen.
TEST_F(AppTest, CrossingAnEdgeScrollsForHalfASecondAndPushesTheHeroOn)
{
    SpawnTable::Game().SetDefault(&TestEnemy::Make);
    const struct {
        int dx, dy;
    } moves[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (const auto& m : moves) {
        const int sx = app->ScreenX() + m.dx, sy = app->ScreenY() + m.dy;
        SCOPED_TRACE(testing::Message() << "onto " << sx << "," << sy);
        Screen(sx, sy).spawnRange[0][0] = Screen(sx, sy).spawnRange[0][1] = 1;
        // The hero's middle just past the edge.
        const float x = m.dx == 0 ? sx * 512 + 240.0f : m.dx > 0 ? sx * 512 - 15.0f : (sx + 1) * 512 - 17.0f;
        const float y = m.dy == 0 ? sy * 352 + 150.0f : m.dy > 0 ? sy * 352 - 15.0f : (sy + 1) * 352 - 17.0f;
        Hero()->SetPosition(Vec2(x, y));
        Frame();
        EXPECT_TRUE(app->IsScrolling());
        EXPECT_EQ(app->ScreenX(), sx);
        EXPECT_EQ(app->ScreenY(), sy);
        EXPECT_FLOAT_EQ(m.dx ? app->ScrollX() : app->ScrollY(),
                        float(-(m.dx + m.dy)) * (1.0f - 2.0f / 60.0f));
        EXPECT_EQ(world->ViewScreenX(), sx);
        EXPECT_EQ(world->ViewScreenY(), sy);
        int frames = 1;
        for (; app->IsScrolling() && frames < 100; ++frames) Frame();
        EXPECT_NEAR(frames, 30, 1);
        EXPECT_EQ(app->ScrollX(), 0.0f);
        EXPECT_EQ(app->ScrollY(), 0.0f);
        const Vec2 pushed = Hero()->GetPosition() - Vec2(x, y);
        EXPECT_GE(pushed.x * float(m.dx) + pushed.y * float(m.dy), 8.0f);
        EXPECT_EQ(app->ActiveCount(), 1);
        int enemies = 0;
        for (int i = 0; i < world->GetEntityList().Count(); ++i) {
            Entity* e = world->GetEntityList().Get(i);
            enemies += e->isEnemy && e->GetScreen() == Vec2(float(sx), float(sy));
        }
        EXPECT_EQ(enemies, 1);  // filled when the scroll ended
    }
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

// The server erases what neither hero sees, and dead entities, telling the
// peer (message 4). On the peer's screen it streams every other entity: those
// at even list places when the frame's parity is true, the odd ones otherwise.
TEST_F(AppTest, TheActivityPassKeepsWhatTheHeroesSeeAndStreamsThePeersScreenInTurns)
{
    RecordingSession session;
    app->session = &session;
    app->remotePlayer = new Tavin("peer", nullptr, nullptr);
    Tavin* peer = app->RemotePlayer();
    peer->SetUID(1);
    peer->SetRemote(true);
    world->AddEntity(peer, false);
    peer->SetPosition(Vec2(100 * 32.0f, 83 * 32.0f));  // screen (6, 7)
    const Vec2 away(100.0f, 100.0f), here = Hero()->GetPosition(), there = peer->GetPosition();
    // Enemies away, beside the hero and dead on his screen; then the peer's
    // screen. Shots and pickups exist on one machine only and are never erased.
    Entity* entities[] = {new CKrillopRed(&session),    new Gorlak(&session, true), new TestEntity(&session),
                          new Skeleton(&session),       new Bat(nullptr, false),    new Pushblock(nullptr),
                          new Snake(nullptr),           new Pushblock(nullptr),     new Rock(nullptr, world),
                          new Jessel(1, nullptr, world)};
    const Vec2 at[] = {away, here + Vec2(64.0f, 0.0f), away, here, there, there, there, there, away, away};
    for (uint32_t i = 0; i < 10; ++i) {
        entities[i]->SetUID(40 + i);
        entities[i]->SetPosition(at[i]);
        world->AddEntity(entities[i], false);
    }
    entities[2]->transient = true;  // a shot: left alone
    entities[3]->dead = true;
    EntityList& list = world->GetEntityList();
    for (int frame = 0; frame < 4; ++frame) {
        const bool parity = !app->frameParity;
        Frame();
        ASSERT_EQ(app->frameParity, parity);
        int marked = 0;
        for (int i = 0; i < list.Count(); ++i) {
            if (list.Get(i)->GetUID() >= 44 && list.Get(i)->GetUID() < 48) {
                EXPECT_EQ(list.Get(i)->active, (i % 2 == 0) == parity) << "place " << i;
                marked += list.Get(i)->active;
            }
        }
        EXPECT_EQ(marked, 2);
        EXPECT_EQ(app->ActiveCount(), 1 + 2);  // and the local hero
        EXPECT_TRUE(Hero()->active && !peer->active);
    }
    for (uint32_t uid = 40; uid < 50; ++uid)
        EXPECT_EQ(world->FindEntity(uid) != nullptr, uid != 40 && uid != 43) << uid;
    // Each erased enemy is announced by uid: 40 away, 43 dead.
    std::vector<std::vector<uint8_t>> removed;
    for (const auto& m : session.sent)
        if (m.type == 4)
            removed.push_back(m.bytes);
    EXPECT_EQ(removed, (std::vector<std::vector<uint8_t>>{{40, 0, 0, 0}, {43, 0, 0, 0}}));
    app->session = nullptr;
}

// Record fields 0 to 3 are the north, south, east and west doors. Each one
// in state 3 opens, with sound 23, in the first frame in which no enemy is
// left on the hero's screen (the one its last enemy dies in); doors in other
// states stay shut.
TEST_F(AppTest, ClearDoorsOpenInTheFirstFrameWithoutAnEnemyOnTheHerosScreen)
{
    ASSERT_TRUE(SoundProbe::Load());
    ScreenInfo& room = Screen(7, 7);
    for (int field = 0; field < 4; ++field) {
        SCOPED_TRACE(field);
        for (int32_t& door : room.doors) door = 4;
        room.doors[field] = 3;
        EntityRef<Entity> enemy = new CKrillopRed(nullptr);
        world->AddEntity(enemy.get(), false);
        int column = 122, row = 83;
        enemy->SendEvent(11, &column, &row);
        Frame();
        EXPECT_EQ(room.doors[field], 3);
        SoundProbe::StopAll();
        enemy->TakeDamage(1.0f, DIR_NONE, nullptr);
        Frame();
        for (int d = 0; d < 4; ++d) EXPECT_EQ(room.doors[d], d == field ? 1 : 4) << "door field " << d;
        EXPECT_TRUE(SoundProbe::IsPlaying(23));
    }
}
