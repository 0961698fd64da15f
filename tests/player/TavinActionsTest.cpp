#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

TEST_F(TavinTest, CurrencyIsCountedInOneUnitPerTickWithinZeroTo999)
{
    Tavin* hero = AddHero();
    hero->pendingCurrency = 10;
    for (int tick = 1; tick <= 10; ++tick) {
        SoundProbe::StopAll();
        RunFrames(1);
        EXPECT_EQ(hero->currency, tick);
        EXPECT_TRUE(SoundProbe::IsPlaying(SND_TEXT) && SoundProbe::IsPlaying(SND_GET_JESSEL));
    }
    // Reaching 999 drops whatever was still to come.
    hero->currency = 995;
    hero->AddCurrency(10);
    RunFrames(4);
    EXPECT_EQ(hero->currency, 999);
    EXPECT_EQ(hero->pendingCurrency, 0);
    // Spending counts down with the text sound only and stops at nothing.
    hero->currency = 2;
    hero->AddCurrency(-5);
    SoundProbe::StopAll();
    RunFrames(1);
    EXPECT_EQ(hero->currency, 1);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_GET_JESSEL));
    RunFrames(5);
    EXPECT_EQ(hero->currency, 0);
    EXPECT_EQ(hero->pendingCurrency, 0);
    // The peer's hero is counted by the peer.
    hero->SetRemote(true);
    hero->pendingCurrency = 4;
    RunFrames(5);
    EXPECT_EQ(hero->currency, 0);
}

TEST_F(TavinTest, LowHealthWarnsEveryThreeTenthsOfASecond)
{
    Tavin* hero = AddHero();
    hero->SetHealth(1.0f);
    RunFrames(1);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_LOW_HEALTH));
    SoundProbe::StopAll();
    // 0.3 s is 18 ticks at 60 a second; rounding may leave a sliver for a 19th.
    RunFrames(17);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_LOW_HEALTH));
    RunFrames(2);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_LOW_HEALTH));
    hero->SetHealth(1.5f);
    SoundProbe::StopAll();
    RunFrames(40);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_LOW_HEALTH));
}

TEST_F(TavinTest, DamageHalvesKnocksBack64PixelsOverFourTicksAndFlashesForASecond)
{
    Tavin* hero = AddHero();
    const Vec2 start = hero->GetPosition();
    hero->TakeDamage(1.0f, DIR_RIGHT, nullptr);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_HURT));
    bool wasHidden = false;
    for (int tick = 1; tick <= 5; ++tick) {
        RunFrames(1);
        EXPECT_EQ(hero->GetPosition(), start + Vec2(16.0f * float(tick < 4 ? tick : 4), 0.0f));
        wasHidden = wasHidden || !hero->IsVisible();
    }
    EXPECT_TRUE(wasHidden && hero->flashing);
    RunFrames(56);
    EXPECT_FALSE(hero->flashing);
    EXPECT_TRUE(hero->IsVisible());
    // A wall ends the knock-back at the last free pixel.
    SetTile(124, 83, 1);
    hero->TakeDamage(1.0f, DIR_RIGHT, nullptr);
    RunFrames(5);
    EXPECT_FLOAT_EQ(hero->GetPosition().x + 30.0f, 124.0f * 32.0f - 1.0f);
}

TEST_F(TavinTest, TouchingAnEnemyHurtsOnceAndTellsThePeer)
{
    RecordingSession session(false);
    Tavin* hero = AddHero(&session);
    hero->SetUID(1);
    // Of two enemies touching at once only the first hurts: the hero flashes.
    Toucher* enemy = new Toucher(DIR_LEFT);
    Toucher* second = new Toucher(DIR_RIGHT);
    for (Toucher* e : {enemy, second}) {
        world->AddEntity(e, false);
        e->SetPosition(hero->GetPosition() + Vec2(20.0f, 0.0f));
    }
    enemy->touchDamage = 2;
    const Vec2 at = hero->GetPosition();
    // Standing still, the hero is knocked the way the enemy walks.
    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->health, 2.0f);
    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(DecodeHit(session.sent[0]), (HitMessage{1, at, 2.0f, 1.0f, DIR_LEFT, 64}));
    // Not again while flashing.
    enemy->SetPosition(hero->GetPosition());
    RunFrames(10);
    EXPECT_EQ(session.sent.size(), 1u);

    // Walking, the hero is knocked back the way he came.
    enemy->SetPosition(hero->GetPosition() + Vec2(200.0f, 0.0f));
    RunFrames(60);
    enemy->moveDirection = DIR_NONE;
    enemy->SetPosition(hero->GetPosition() + Vec2(0.0f, -25.0f));
    Hold(hero, Tavin::EVENT_WALK_UP, 3);
    EXPECT_FLOAT_EQ(hero->health, 1.0f);
    EXPECT_EQ(hero->pushDirection, DIR_DOWN);
}

TEST_F(TavinTest, SomeTouchesDoNotHurt)
{
    Tavin* hero = AddHero();
    // Heroes do not hurt each other by touch, even walking.
    Tavin* other = AddHero(nullptr, 121, 83);
    other->SetPosition(hero->GetPosition() + Vec2(10.0f, 0.0f));
    other->moveDirection = DIR_LEFT;
    RunFrames(2);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    other->SetPosition(Vec2());
    auto hurts = [&](Toucher* e, Vec2 offset) {
        world->AddEntity(e, false);
        e->SetPosition(hero->GetPosition() + offset);
        RunFrames(2);
        world->GetEntityList().Remove(e);
        return hero->health < 3.0f;
    };
    Toucher* appearing = new Toucher(DIR_LEFT);
    appearing->spawnDelay = 1.0f;
    EXPECT_FALSE(hurts(appearing, Vec2(20.0f, 20.0f)));
    Toucher* flashing = new Toucher(DIR_LEFT);
    flashing->StartFlashing(-1.0f);
    EXPECT_FALSE(hurts(flashing, Vec2(20.0f, 20.0f)));
    Toucher* block = new Toucher(DIR_LEFT);
    block->isPushable = true;
    EXPECT_FALSE(hurts(block, Vec2(20.0f, 20.0f)));
    // Nobody moving gives no way to knock the hero.
    EXPECT_FALSE(hurts(new Toucher(DIR_NONE), Vec2(20.0f, 20.0f)));
    // Shrunk by 5 pixels, boxes 22 apart only touch; 21 apart they overlap.
    EXPECT_FALSE(hurts(new Toucher(DIR_LEFT), Vec2(22.0f, 0.0f)));
    EXPECT_TRUE(hurts(new Toucher(DIR_LEFT), Vec2(21.0f, 0.0f)));
    // The peer's hero is judged by the peer.
    Tavin* peer = AddHero(nullptr, 100, 80);
    peer->SetRemote(true);
    world->AddEntity(new Toucher(DIR_LEFT), false);
    world->GetEntityList().Get(world->GetEntityList().Count() - 1)->SetPosition(peer->GetPosition());
    RunFrames(3);
    EXPECT_FLOAT_EQ(peer->health, 3.0f);
}

TEST_F(TavinTest, ASwordPressSwingsOnlyWhenNoSwingRuns)
{
    Tavin* hero = AddHero();
    // Only the swing here; the beam a full-health press throws is tested with the projectiles.
    hero->throwReady = false;
    hero->SetDirection(DIR_RIGHT);
    Sword* wood = hero->GetSword(0);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD));
    EXPECT_EQ(wood->GetPosition(), hero->GetPosition() + Vec2(27.0f, 0.0f));
    EXPECT_FALSE(hero->GetSword(1)->IsVisible());
    RunFrames(1);
    EXPECT_EQ(hero->frameBase, 5);
    const Vec2 at = hero->GetPosition();
    hero->SendEvent(Tavin::EVENT_WALK_LEFT, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), at);

    // A second press while the swing runs sounds but does not swing.
    SoundProbe::StopAll();
    wood->SetPosition(Vec2(0.0f, 0.0f));
    RunFrames(2);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD));
    EXPECT_EQ(wood->GetPosition(), Vec2(0.0f, 0.0f));

    // The strike pose lasts while 0.02 s of the 0.125 s swing are left.
    RunFrames(3);
    EXPECT_EQ(hero->frameBase, 5);
    RunFrames(1);
    EXPECT_EQ(hero->frameBase, 3);
    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->attackTimer, 0.0f);
    hero->SendEvent(Tavin::EVENT_WALK_LEFT, nullptr, nullptr);
    EXPECT_LT(hero->GetPosition().x, at.x);

    // The sword of the hero's grade swings; without one, or on the stairs, none does.
    RunFrames(10);
    hero->swordType = 2;
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_EQ(hero->GetSword(2)->GetDirection(), DIR_LEFT);
    RunFrames(20);
    hero->swordType = 7;
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    RunFrames(20);
    hero->swordType = 0;
    hero->SendEvent(Tavin::EVENT_STAIRS_UP, nullptr, nullptr);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    for (int grade = 0; grade < 3; ++grade) EXPECT_FALSE(hero->GetSword(grade)->IsVisible());
}
