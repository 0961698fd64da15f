#include <type_traits>

#include "items/Arrow.h"
#include "items/Bomb.h"
#include "items/Boomerang.h"
#include "items/Fire.h"
#include "items/ThrowSword.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

using ProjectileTest = TavinTest;

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
    EXPECT_LT(RunUntilDead(beam, 60), 60);
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

// Fire, bomb and arrow: each is put one tile ahead and launched with its own
// speed and damage; one item at a time, given back when its projectile dies.
TEST_F(ProjectileTest, EachItemIsUsedOneTileAheadOnceAtATimeAndGivenBackWhenItsProjectileDies)
{
    Tavin* hero = AddHero();
    hero->currency = 3;
    hero->bombs = 4;
    auto use = [&](auto* kind, int item, int dir, Vec2 ahead, int sound, float speed, float damage,
                   int stored) {
        using T = std::remove_pointer_t<decltype(kind)>;
        SCOPED_TRACE(item);
        hero->SetDirection(dir);
        hero->selectedItem = item;
        SoundProbe::StopAll();
        hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
        ASSERT_EQ(Live<T>().size(), 1u);
        T* made = Live<T>()[0];
        EXPECT_EQ(made->GetPosition(), hero->GetPosition() + ahead);
        EXPECT_EQ(made->GetDirection(), stored);
        EXPECT_FLOAT_EQ(made->speed, speed);
        EXPECT_FLOAT_EQ(made->damage, damage);
        EXPECT_TRUE(SoundProbe::IsPlaying(sound));
        EXPECT_FALSE(hero->itemReady);
        EXPECT_FLOAT_EQ(hero->cooldown, 0.125f);
        EXPECT_FLOAT_EQ(hero->attackTimer, 0.125f);
        // While the press cooldown runs nothing more is used, nor until it comes back.
        hero->itemReady = true;
        hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
        hero->itemReady = false;
        RunFrames(20);
        for (int other : {2, 3, 4}) {
            hero->selectedItem = other;
            hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
        }
        EXPECT_EQ(Live<Fire>().size() + Live<Bomb>().size() + Live<Arrow>().size(), 1u);
        RunUntilDead(made, 200);
        EXPECT_TRUE(hero->itemReady);
    };
    use(static_cast<Fire*>(nullptr), 2, DIR_LEFT, Vec2(-32.0f, 0.0f), SND_FIRE, 60.0f, 1.0f, DIR_RIGHT);
    use(static_cast<Bomb*>(nullptr), 3, DIR_DOWN, Vec2(0.0f, 32.0f), SND_BOMB_DROP, 60.0f, 2.0f, DIR_UP);
    use(static_cast<Arrow*>(nullptr), 4, DIR_RIGHT, Vec2(32.0f, 0.0f), SND_ARROW, 320.0f, 1.0f, DIR_RIGHT);
    EXPECT_EQ(hero->bombs, 4);
    EXPECT_EQ(hero->currency, 2);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);

    // An arrow costs one currency; without, nothing happens and the count stays at 0.
    for (int currency : {0, -4}) {
        RunFrames(10);
        hero->currency = currency;
        hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
        EXPECT_EQ(hero->currency, 0);
        EXPECT_TRUE(Live<Arrow>().empty());
        EXPECT_TRUE(hero->itemReady);
        EXPECT_FLOAT_EQ(hero->cooldown, 0.0f);
    }
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
