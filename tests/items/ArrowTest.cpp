#include "items/Arrow.h"
#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

using ProjectileTest = TavinTest;

TEST_F(ProjectileTest, AHerosArrowCollectsPickupsOnTheWayAndStopsInTheFirstEnemy)
{
    RecordingSession session(true);
    Tavin* hero = AddHero(&session);
    hero->SetDirection(DIR_RIGHT);
    hero->selectedItem = 4;
    hero->currency = 3;
    // Held: once collected it leaves the world.
    EntityRef<CountingPickup> pickup =
        Put(new CountingPickup(world), hero->GetPosition() + Vec2(100.0f, 0.0f));
    Target* enemy = Put(new Target(), hero->GetPosition() + Vec2(180.0f, 0.0f));
    Target* behind = Put(new Target(), hero->GetPosition() + Vec2(184.0f, 0.0f));
    enemy->SetUID(50);
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    ASSERT_EQ(Live<Arrow>().size(), 1u);
    Arrow* arrow = Live<Arrow>()[0];
    EXPECT_EQ(arrow->frameBase, DIR_RIGHT);
    RunUntilDead(arrow, 60);
    EXPECT_EQ(pickup->collectors, std::vector<Entity*>{hero});
    EXPECT_EQ(pickup->GetState(), 0);
    EXPECT_EQ(enemy->amounts, std::vector<float>{1.0f});
    EXPECT_EQ(enemy->directions, std::vector<int>{DIR_RIGHT});
    // One enemy per arrow, even when two are touched at once.
    EXPECT_TRUE(behind->amounts.empty());
    EXPECT_TRUE(hero->itemReady);
    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(DecodeHit(session.sent[0]), (HitMessage{50, enemy->GetPosition(), 1.0f, 0.5f, DIR_RIGHT, 0}));
}

TEST_F(ProjectileTest, AnEnemysArrowIsStoppedByAFacingShieldOrHitsForDamageLessShield)
{
    Tavin* hero = AddHero();
    EntityRef<Target> archer = new Target();
    auto shoot = [&](float damage) {
        Arrow* arrow = Put(new Arrow(nullptr, world, archer.get()), hero->GetPosition() + Vec2(60.0f, 0.0f));
        arrow->Launch(DIR_LEFT, 250.0f, damage);
        return arrow;
    };
    hero->SetDirection(DIR_RIGHT);
    Arrow* blocked = shoot(1.0f);
    EXPECT_LT(RunUntilDead(blocked, 20), 20);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SHIELD));
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    EXPECT_FALSE(hero->flashing);

    // Stronger than the shield it gets through.
    Arrow* strong = shoot(2.0f);
    RunUntilDead(strong, 20);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    RunFrames(70);

    // Looking away, the hero takes 1 − 1: no harm, but the blow lands.
    hero->SetDirection(DIR_UP);
    Arrow* arrow = shoot(1.0f);
    Vec2 last = arrow->GetPosition();
    while (arrow->GetState() != 0) {
        last = arrow->GetPosition();
        RunFrames(1);
    }
    EXPECT_EQ(arrow->GetPosition(), last);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_TRUE(hero->flashing);
    EXPECT_EQ(hero->pushDirection, DIR_LEFT);
    // Its archer is no hero: its arrows give nothing back.
    EXPECT_TRUE(hero->itemReady);

    // Any arrow leaves the inner screen past 480 across.
    Arrow* edge = Put(new Arrow(nullptr, world, nullptr), At(480.0f, 100.0f));
    Arrow* past = Put(new Arrow(nullptr, world, nullptr), At(481.0f, 100.0f));
    for (Arrow* a : {edge, past}) a->Launch(DIR_UP, 0.0f, 1.0f);
    RunFrames(1);
    EXPECT_TRUE(edge->GetState() != 0 && past->GetState() == 0);
}
