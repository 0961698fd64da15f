#include "items/Arrow.h"
#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "tests/items/ProjectileTestSupport.h"
#include "tests/player/SoundProbe.h"

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
    EXPECT_EQ(hero->currency, 2);
    EXPECT_FALSE(hero->itemReady);
    ASSERT_EQ(Live<Arrow>().size(), 1u);
    Arrow* arrow = Live<Arrow>()[0];
    EXPECT_EQ(arrow->GetPosition(), hero->GetPosition() + Vec2(32.0f, 0.0f));
    EXPECT_EQ(arrow->frameBase, DIR_RIGHT);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_ARROW));

    EntityRef<Arrow> held = arrow;
    RunUntilDead(arrow, 60);
    ASSERT_EQ(pickup->collectors.size(), 1u);
    EXPECT_EQ(pickup->collectors[0], hero);
    EXPECT_EQ(pickup->GetState(), 0);
    ASSERT_EQ(enemy->amounts.size(), 1u);
    EXPECT_FLOAT_EQ(enemy->amounts[0], 1.0f);
    EXPECT_EQ(enemy->directions[0], DIR_RIGHT);
    // One enemy per arrow, even when two are touched at once.
    EXPECT_TRUE(behind->amounts.empty());
    EXPECT_TRUE(hero->itemReady);
    ASSERT_EQ(session.sent.size(), 1u);
    HitMessage hit;
    ASSERT_TRUE(DecodeHit(session.sent[0], hit));
    EXPECT_EQ(hit.uid, 50u);
    EXPECT_EQ(hit.direction, DIR_RIGHT);
    EXPECT_FLOAT_EQ(hit.amount, 1.0f);
}

TEST_F(ProjectileTest, AnArrowCostsOneCurrencyAndNothingHappensWithout)
{
    Tavin* hero = AddHero();
    hero->selectedItem = 4;
    hero->currency = 1;
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_EQ(hero->currency, 0);
    EXPECT_EQ(Live<Arrow>().size(), 1u);
    EXPECT_FLOAT_EQ(hero->cooldown, 0.125f);
    EXPECT_FLOAT_EQ(hero->attackTimer, 0.125f);
    // It flies up off the inner screen and gives the item back.
    RunUntilDead(Live<Arrow>()[0], 60);
    EXPECT_TRUE(hero->itemReady);

    RunFrames(10);
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_TRUE(Live<Arrow>().empty());
    EXPECT_TRUE(hero->itemReady);
    EXPECT_FLOAT_EQ(hero->cooldown, 0.0f);
    hero->currency = -4;
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_EQ(hero->currency, 0);
    EXPECT_TRUE(Live<Arrow>().empty());
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
    RunUntilDead(blocked, 20);
    EXPECT_EQ(blocked->GetState(), 0);
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
}
