#include "items/Bomb.h"
#include "items/Boomerang.h"
#include "items/Fire.h"
#include "items/ThrowSword.h"
#include "sound/SoundTable.h"
#include "tests/items/ProjectileTestSupport.h"
#include "tests/player/SoundProbe.h"

TEST_F(ProjectileTest, TheSwordFliesAsABeamOnlyWithinAQuarterHeartOfFullHealth)
{
    Tavin* hero = AddHero();
    hero->swordType = 1;
    hero->SetHealth(2.75f);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    ASSERT_EQ(Live<ThrowSword>().size(), 1u);
    ThrowSword* beam = Live<ThrowSword>()[0];
    EXPECT_EQ(beam->GetPosition(), hero->GetPosition());
    EXPECT_EQ(beam->GetDirection(), DIR_UP);
    EXPECT_FLOAT_EQ(beam->speed, 350.0f);
    EXPECT_FLOAT_EQ(beam->damage, 2.0f);
    EXPECT_FALSE(hero->throwReady);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD_COMBINED));
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_SWORD));
    // The swing goes with it.
    EXPECT_TRUE(hero->GetSword(1)->IsVisible());

    // One beam at a time: the next press only swings, with the plain sound.
    RunFrames(10);
    SoundProbe::StopAll();
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_EQ(Live<ThrowSword>().size(), 1u);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD));
    // Leaving the inner screen, the beam gives the throw back.
    RunUntilDead(beam, 60);
    EXPECT_EQ(beam->GetState(), 0);
    EXPECT_TRUE(hero->throwReady);

    // While a swing runs a press still throws, though it does not swing again.
    RunFrames(10);
    hero->throwReady = false;
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    hero->throwReady = true;
    RunFrames(2);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_EQ(Live<ThrowSword>().size(), 1u);
    RunUntilDead(Live<ThrowSword>()[0], 60);

    // Half a heart down there is no beam.
    RunFrames(10);
    hero->SetHealth(2.5f);
    SoundProbe::StopAll();
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_TRUE(Live<ThrowSword>().empty());
    EXPECT_TRUE(hero->throwReady);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD));
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_SWORD_COMBINED));
}

TEST_F(ProjectileTest, OneItemAtATimeGivenBackWhenItsProjectileDies)
{
    Tavin* hero = AddHero();
    hero->SetDirection(DIR_LEFT);
    hero->selectedItem = 2;
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    ASSERT_EQ(Live<Fire>().size(), 1u);
    EXPECT_EQ(Live<Fire>()[0]->GetPosition(), hero->GetPosition() + Vec2(-32.0f, 0.0f));
    EXPECT_FALSE(hero->itemReady);
    EXPECT_FLOAT_EQ(hero->cooldown, 0.125f);
    // Not again until the flame has gone out, whatever is selected.
    RunFrames(20);
    hero->selectedItem = 3;
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_TRUE(Live<Bomb>().empty());
    RunUntilDead(Live<Fire>()[0], 120);
    EXPECT_TRUE(hero->itemReady);

    // A bomb is laid one tile ahead; while the press cooldown runs nothing more is used.
    hero->SetDirection(DIR_DOWN);
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    ASSERT_EQ(Live<Bomb>().size(), 1u);
    EXPECT_EQ(Live<Bomb>()[0]->GetPosition(), hero->GetPosition() + Vec2(0.0f, 32.0f));
    hero->itemReady = true;
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_EQ(Live<Bomb>().size(), 1u);
    RunUntilDead(Live<Bomb>()[0], 70);
    EXPECT_TRUE(hero->itemReady);
    RunFrames(70);
}

TEST_F(ProjectileTest, TheBoomerangIsThrownOnlyOnTheHostAndOnlyWhenOneIsHeld)
{
    RecordingSession client(false);
    Tavin* peer = AddHero(&client, 110, 83);
    peer->selectedItem = 1;
    peer->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_FALSE(peer->GetBoomerang(0)->IsFlying());
    EXPECT_TRUE(peer->itemReady);

    RecordingSession host(true);
    Tavin* hero = AddHero(&host);
    hero->selectedItem = 1;
    hero->boomerangIndex = -1;
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    EXPECT_TRUE(hero->itemReady);
    EXPECT_FALSE(hero->GetBoomerang(0)->IsFlying());

    hero->boomerangIndex = 1;
    hero->SetDirection(DIR_RIGHT);
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    Boomerang* magic = hero->GetBoomerang(1);
    EXPECT_TRUE(magic->IsFlying());
    EXPECT_FALSE(hero->GetBoomerang(0)->IsFlying());
    EXPECT_FALSE(hero->itemReady);
    EXPECT_FLOAT_EQ(magic->speed, 330.0f);
    EXPECT_EQ(magic->GetDirection(), DIR_RIGHT);
}
