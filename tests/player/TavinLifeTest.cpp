#include <cmath>
#include <cstring>

#include "engine/QuillApp.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

TEST_F(TavinTest, StartsWithFullHealthAndPutsItsThreeSwordsInTheWorld)
{
    EntityRef<Tavin> hero = new Tavin("Ada", nullptr, nullptr);
    EXPECT_STREQ(hero->GetName(), "Tavin");
    EXPECT_STREQ(hero->GetPlayerName(), "Ada");
    EXPECT_TRUE(hero->isPlayer);
    EXPECT_FALSE(hero->hurtsOnTouch);
    EXPECT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    EXPECT_FLOAT_EQ(hero->maxHealth, 3.0f);
    EXPECT_FLOAT_EQ(hero->speed, 175.0f);
    EXPECT_FLOAT_EQ(hero->frameCount, 2.0f);
    EXPECT_EQ(hero->keys, 2);
    EXPECT_EQ(hero->currency, 0);
    EXPECT_EQ(hero->pendingCurrency, 10);
    EXPECT_EQ(hero->selectedItem, 1);
    EXPECT_EQ(hero->swordType, 0);
    EXPECT_EQ(hero->boomerangIndex, 0);
    EXPECT_EQ(hero->shieldLevel, 1);
    EXPECT_FLOAT_EQ(hero->damageFactor, 0.5f);
    EXPECT_TRUE(hero->throwReady);
    EXPECT_TRUE(hero->itemReady);
    EXPECT_FLOAT_EQ(hero->stairsOffset, 32.0f);

    ASSERT_EQ(world->GetEntityList().Count(), 3);
    for (int grade = 0; grade < Tavin::kSwordCount; ++grade) {
        Sword* sword = hero->GetSword(grade);
        ASSERT_NE(sword, nullptr);
        EXPECT_EQ(sword->swordType, grade);
        EXPECT_EQ(sword->GetOwner(), hero.get());
        EXPECT_EQ(world->GetEntityList().Get(grade), sword);
    }
    EXPECT_EQ(hero->GetSword(-1), nullptr);
    EXPECT_EQ(hero->GetSword(3), nullptr);
}

TEST_F(TavinTest, ALeavingHeroTakesItsSwordsAlong)
{
    TestEntity* bystander = new TestEntity();
    world->AddEntity(bystander, false);
    EntityRef<Sword> kept;
    {
        EntityRef<Tavin> hero = new Tavin("Ada", nullptr, nullptr);
        world->AddEntity(hero.get(), false);
        kept = hero->GetSword(1);
        ASSERT_EQ(world->GetEntityList().Count(), 5);
        world->GetEntityList().Remove(hero.get());
    }
    ASSERT_EQ(world->GetEntityList().Count(), 1);
    EXPECT_EQ(world->GetEntityList().Get(0), bystander);
    // Whoever still holds a sword keeps a valid, now idle object.
    EXPECT_EQ(kept->RefCount(), 1);
    EXPECT_FALSE(kept->IsVisible());
}

TEST(TavinWithoutWorld, IsBuiltWithoutAWorldAndCannotWalk)
{
    ASSERT_EQ(Quill::g_quill, nullptr);
    ASSERT_EQ(g_renderer, nullptr);
    EntityRef<Tavin> hero = new Tavin(nullptr, nullptr, nullptr, nullptr);
    EXPECT_STREQ(hero->GetPlayerName(), "");
    EXPECT_EQ(hero->sprite, nullptr);
    ASSERT_NE(hero->GetSword(2), nullptr);
    EXPECT_FALSE(hero->CanMoveTo(Vec2(64.0f, 64.0f)));
    EXPECT_EQ(hero->FindDoorTile(Vec2(64.0f, 64.0f)), -1);
    hero->SendEvent(Tavin::EVENT_WALK_DOWN, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), Vec2(0.0f, 0.0f));
    hero->Tick(1.0f / 60.0f);
    hero->TouchEnemies();
}

TEST_F(TavinTest, HealthKeysCurrencyAndReturnPointsStayInTheirRanges)
{
    Tavin* hero = AddHero();
    hero->SetHealth(7.0f);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    hero->SetHealth(0.5f);
    EXPECT_FLOAT_EQ(hero->health, 0.5f);
    hero->SetHealth(-2.0f);  // no death: the heart display simply empties
    EXPECT_FLOAT_EQ(hero->health, -2.0f);
    hero->SetHealth(std::nanf(""));
    EXPECT_FLOAT_EQ(hero->health, -2.0f);
    hero->Heal(1.5f);
    EXPECT_FLOAT_EQ(hero->health, -0.5f);
    hero->Heal(10.0f);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);

    hero->keys = 998;
    hero->AddKey();
    EXPECT_EQ(hero->keys, 999);
    hero->AddKey();
    EXPECT_EQ(hero->keys, 999);

    hero->AddCurrency(5);
    hero->AddCurrency(1);
    EXPECT_EQ(hero->pendingCurrency, 6);
    hero->AddCurrency(2000000000);
    hero->AddCurrency(2000000000);
    EXPECT_EQ(hero->pendingCurrency, 999);

    EXPECT_EQ(hero->PopReturnPoint(), Vec2(120.0f, 83.0f));
    hero->PushReturnPoint(10.0f, 20.0f);
    hero->PushReturnPoint(30.0f, 40.0f);
    EXPECT_EQ(hero->ReturnPointCount(), 2u);
    EXPECT_EQ(hero->PopReturnPoint(), Vec2(30.0f, 40.0f));
    EXPECT_EQ(hero->PopReturnPoint(), Vec2(10.0f, 20.0f));
    EXPECT_EQ(hero->PopReturnPoint(), Vec2(120.0f, 83.0f));
}

TEST_F(TavinTest, PlacingPutsHeroAndWoodenSwordOnTheTileFacingUp)
{
    Tavin* hero = AddHero();
    hero->SetState(Tavin::STATE_COMING_UP);
    hero->SetDirection(DIR_LEFT);
    int column = 100, row = 50;
    hero->SendEvent(Tavin::EVENT_PLACE, &column, &row);
    EXPECT_EQ(hero->GetPosition(), Vec2(3200.0f, 1600.0f));
    EXPECT_EQ(hero->GetTile(), Vec2(100.0f, 50.0f));
    EXPECT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
    EXPECT_EQ(hero->GetDirection(), DIR_UP);
    EXPECT_EQ(hero->frameBase, 9);
    EXPECT_EQ(hero->GetSword(0)->GetPosition(), Vec2(3200.0f, 1600.0f));
    EXPECT_EQ(hero->GetSword(1)->GetPosition(), Vec2(0.0f, 0.0f));
    // Without the two numbers nothing moves.
    hero->SendEvent(Tavin::EVENT_PLACE, nullptr, &row);
    EXPECT_EQ(hero->GetPosition(), Vec2(3200.0f, 1600.0f));
}

TEST_F(TavinTest, DirectionsPickTheirWalkingFrames)
{
    Tavin* hero = AddHero();
    const int expected[4] = {9, 6, 0, 3};
    for (int d = DIR_UP; d <= DIR_RIGHT; ++d) {
        hero->SetDirection(d);
        EXPECT_EQ(hero->GetDirection(), d);
        EXPECT_EQ(hero->frameBase, expected[d]);
    }
    hero->SetDirection(9);
    EXPECT_EQ(hero->GetDirection(), 9);
    EXPECT_EQ(hero->frameBase, 3);
}

TEST_F(TavinTest, ItemSelectionCyclesThroughTheFourItemsWithATick)
{
    Tavin* hero = AddHero();
    const int expected[] = {2, 3, 4, 1, 2};
    for (int want : expected) {
        SoundProbe::StopAll();
        hero->SendEvent(Tavin::EVENT_NEXT_ITEM, nullptr, nullptr);
        EXPECT_EQ(hero->selectedItem, want);
        EXPECT_TRUE(SoundProbe::IsPlaying(SND_TEXT));
    }
    hero->selectedItem = -7;
    hero->SendEvent(Tavin::EVENT_NEXT_ITEM, nullptr, nullptr);
    EXPECT_EQ(hero->selectedItem, 1);
}

TEST_F(TavinTest, EventsWithoutMeaningChangeNothing)
{
    Tavin* hero = AddHero();
    const Vec2 before = hero->GetPosition();
    for (int event : {0, 8, 9, 10, 14, 16, 99, -1}) {
        hero->SendEvent(event, nullptr, nullptr);
        EXPECT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
        EXPECT_EQ(hero->GetPosition(), before);
        EXPECT_EQ(hero->selectedItem, 1);
    }
    // Items are not in the hero's hands: the press leaves everything as it was.
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_TRUE(hero->itemReady);
    EXPECT_FLOAT_EQ(hero->cooldown, 0.0f);
    EXPECT_EQ(world->GetEntityList().Count(), 4);
}
