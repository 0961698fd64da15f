#include "net/GameMessages.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

struct HitMessage {
    uint32_t uid;
    float x, y, amount, flashTime;
    int32_t direction, pushDistance;
};

HitMessage DecodeHit(const RecordingSession::Sent& sent)
{
    HitMessage hit{};
    NetStream s(64);
    EXPECT_EQ(sent.type, MSG_HIT);
    EXPECT_EQ(sent.bytes.size(), 28u);
    s.Write(sent.bytes.data(), uint8_t(sent.bytes.size()));
    EXPECT_TRUE(s.ReadU32(hit.uid) && s.ReadF32(hit.x) && s.ReadF32(hit.y) && s.ReadF32(hit.amount) &&
                s.ReadF32(hit.flashTime) && s.ReadI32(hit.direction) && s.ReadI32(hit.pushDistance));
    return hit;
}

}  // namespace

TEST_F(TavinTest, CurrencyIsCountedInOneUnitPerTickUpTo999)
{
    Tavin* hero = AddHero();
    hero->pendingCurrency = 10;
    for (int tick = 1; tick <= 10; ++tick) {
        SoundProbe::StopAll();
        RunFrames(1);
        EXPECT_EQ(hero->currency, tick);
        EXPECT_EQ(hero->pendingCurrency, 10 - tick);
        EXPECT_TRUE(SoundProbe::IsPlaying(SND_TEXT));
        EXPECT_TRUE(SoundProbe::IsPlaying(SND_GET_JESSEL));
    }
    SoundProbe::StopAll();
    RunFrames(3);
    EXPECT_EQ(hero->currency, 10);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_TEXT));

    // Reaching 999 drops whatever was still to come.
    hero->currency = 995;
    hero->AddCurrency(10);
    RunFrames(4);
    EXPECT_EQ(hero->currency, 999);
    EXPECT_EQ(hero->pendingCurrency, 0);
    SoundProbe::StopAll();
    RunFrames(5);
    EXPECT_EQ(hero->currency, 999);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_GET_JESSEL));

    // Spending counts down and stops at nothing.
    hero->currency = 3;
    hero->AddCurrency(-2);
    RunFrames(1);
    EXPECT_EQ(hero->currency, 2);
    SoundProbe::StopAll();
    RunFrames(1);
    EXPECT_EQ(hero->currency, 1);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_TEXT));
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_GET_JESSEL));
    hero->AddCurrency(-5);
    RunFrames(10);
    EXPECT_EQ(hero->currency, 0);
    EXPECT_EQ(hero->pendingCurrency, 0);

    // The peer's hero is counted by the peer.
    Tavin* peer = AddHero(nullptr, 110, 80);
    peer->SetRemote(true);
    peer->pendingCurrency = 4;
    RunFrames(5);
    EXPECT_EQ(peer->currency, 0);
    EXPECT_EQ(peer->pendingCurrency, 4);
}

TEST_F(TavinTest, LowHealthWarnsEveryThreeTenthsOfASecond)
{
    Tavin* hero = AddHero();
    RunFrames(5);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_LOW_HEALTH));

    hero->SetHealth(1.0f);
    RunFrames(1);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_LOW_HEALTH));
    EXPECT_FLOAT_EQ(hero->lowHealthTimer, 0.3f);
    SoundProbe::StopAll();
    // 0.3 s is 18 ticks at 60 a second; rounding may leave a sliver for a 19th.
    RunFrames(17);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_LOW_HEALTH));
    RunFrames(2);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_LOW_HEALTH));

    hero->SetRemote(true);
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
    EXPECT_TRUE(hero->flashing);
    EXPECT_FLOAT_EQ(hero->flashTime, 1.0f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_HURT));
    // Flashing does not shield the hero from a direct call.
    hero->TakeDamage(0.5f, DIR_RIGHT, nullptr);
    EXPECT_FLOAT_EQ(hero->health, 2.25f);

    bool wasHidden = false;
    for (int tick = 1; tick <= 4; ++tick) {
        RunFrames(1);
        EXPECT_FLOAT_EQ(hero->GetPosition().x, start.x + 16.0f * float(tick));
        wasHidden = wasHidden || !hero->IsVisible();
    }
    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, start.x + 64.0f);
    EXPECT_FLOAT_EQ(hero->GetPosition().y, start.y);
    EXPECT_TRUE(wasHidden);
    EXPECT_TRUE(hero->flashing);
    RunFrames(56);
    EXPECT_FALSE(hero->flashing);
    EXPECT_TRUE(hero->IsVisible());

    // A wall ends the knock-back early.
    SetTile(124, 84, 1);
    SetTile(124, 83, 1);
    hero->TakeDamage(1.0f, DIR_RIGHT, nullptr);
    RunFrames(5);
    EXPECT_LT(hero->GetPosition().x + 30.0f, 124.0f * 32.0f);
    EXPECT_GT(hero->GetPosition().x, start.x + 64.0f);
}

TEST_F(TavinTest, TouchingAnEnemyHurtsAndTellsThePeer)
{
    RecordingSession session(false);
    Tavin* hero = AddHero(&session);
    hero->SetUID(1);
    Toucher* enemy = new Toucher(DIR_LEFT);
    world->AddEntity(enemy, false);
    enemy->touchDamage = 2;
    enemy->SetPosition(hero->GetPosition() + Vec2(20.0f, 0.0f));
    const Vec2 at = hero->GetPosition();

    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->health, 2.0f);
    EXPECT_EQ(hero->pushDirection, DIR_LEFT);
    ASSERT_EQ(session.sent.size(), 1u);
    HitMessage hit = DecodeHit(session.sent[0]);
    EXPECT_EQ(hit.uid, 1u);
    EXPECT_FLOAT_EQ(hit.x, at.x);
    EXPECT_FLOAT_EQ(hit.y, at.y);
    EXPECT_FLOAT_EQ(hit.amount, 2.0f);
    EXPECT_FLOAT_EQ(hit.flashTime, 1.0f);
    EXPECT_EQ(hit.direction, DIR_LEFT);
    EXPECT_EQ(hit.pushDistance, 64);

    // Not again while flashing.
    enemy->SetPosition(hero->GetPosition());
    RunFrames(10);
    EXPECT_FLOAT_EQ(hero->health, 2.0f);
    EXPECT_EQ(session.sent.size(), 1u);
}

TEST_F(TavinTest, AWalkingHeroIsKnockedBackTheWayHeCame)
{
    Tavin* hero = AddHero();
    Toucher* enemy = new Toucher(DIR_NONE);
    world->AddEntity(enemy, false);
    enemy->SetPosition(hero->GetPosition() + Vec2(0.0f, -25.0f));
    Hold(hero, Tavin::EVENT_WALK_UP, 3);
    ASSERT_TRUE(hero->flashing);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_EQ(hero->pushDirection, DIR_DOWN);
}

TEST_F(TavinTest, SomeTouchesDoNotHurt)
{
    RecordingSession session(true);
    Tavin* hero = AddHero(&session);
    auto touchAfter = [&](Entity* e) {
        world->AddEntity(e, false);
        e->SetPosition(hero->GetPosition() + Vec2(20.0f, 20.0f));
        RunFrames(2);
        bool hurt = hero->health < 3.0f;
        world->GetEntityList().Remove(e);
        return hurt;
    };
    // Still appearing.
    Toucher* appearing = new Toucher(DIR_LEFT);
    appearing->spawnDelay = 1.0f;
    EXPECT_FALSE(touchAfter(appearing));
    // Flashing itself.
    Toucher* flashing = new Toucher(DIR_LEFT);
    flashing->StartFlashing(-1.0f);
    EXPECT_FALSE(touchAfter(flashing));
    // Harmless on touch, or a push-block.
    Toucher* harmless = new Toucher(DIR_LEFT);
    harmless->hurtsOnTouch = false;
    EXPECT_FALSE(touchAfter(harmless));
    Toucher* block = new Toucher(DIR_LEFT);
    block->isPushable = true;
    EXPECT_FALSE(touchAfter(block));
    // Neither the hero nor the enemy moving: no way to knock the hero.
    EXPECT_FALSE(touchAfter(new Toucher(DIR_NONE)));
    // Too far: the boxes shrunk by 5 pixels only touch.
    Toucher* near = new Toucher(DIR_LEFT);
    world->AddEntity(near, false);
    near->SetPosition(hero->GetPosition() + Vec2(22.0f, 0.0f));
    RunFrames(2);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    near->SetPosition(hero->GetPosition() + Vec2(21.0f, 0.0f));
    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_EQ(session.sent.size(), 1u);
    world->GetEntityList().Remove(near);

    // The peer's hero is judged by the peer.
    Tavin* peer = AddHero(&session, 100, 80);
    peer->SetRemote(true);
    Toucher* enemy = new Toucher(DIR_LEFT);
    world->AddEntity(enemy, false);
    enemy->SetPosition(peer->GetPosition());
    RunFrames(3);
    EXPECT_FLOAT_EQ(peer->health, 3.0f);
}

TEST_F(TavinTest, TheSwordSwingsOncePerAttackAndHoldsTheHeroBriefly)
{
    Tavin* hero = AddHero();
    hero->SetDirection(DIR_RIGHT);
    Sword* wood = hero->GetSword(0);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD));
    EXPECT_TRUE(wood->IsVisible());
    EXPECT_EQ(wood->GetPosition(), hero->GetPosition() + Vec2(27.0f, 0.0f));
    EXPECT_EQ(wood->GetDirection(), DIR_RIGHT);
    EXPECT_FALSE(hero->GetSword(1)->IsVisible());
    EXPECT_FLOAT_EQ(hero->attackTimer, 0.125f);
    EXPECT_FLOAT_EQ(hero->cooldown, 0.125f);

    RunFrames(1);
    EXPECT_EQ(hero->frameBase, 5);
    EXPECT_FLOAT_EQ(hero->frame, 0.0f);
    EXPECT_FLOAT_EQ(hero->frameCount, 1.0f);
    // Walking waits for the cooldown.
    const Vec2 at = hero->GetPosition();
    hero->SendEvent(Tavin::EVENT_WALK_LEFT, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), at);

    // A second press while the swing runs sounds but does not swing.
    SoundProbe::StopAll();
    wood->SetPosition(Vec2(0.0f, 0.0f));
    RunFrames(2);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD));
    EXPECT_NE(wood->GetPosition(), hero->GetPosition() + Vec2(27.0f, 0.0f));
    EXPECT_LT(hero->attackTimer, 0.125f);

    // The strike pose lasts while 0.02 s of the swing are left.
    RunFrames(3);
    EXPECT_EQ(hero->frameBase, 5);
    RunFrames(1);
    EXPECT_EQ(hero->frameBase, 3);
    EXPECT_FLOAT_EQ(hero->frameCount, 1.0f);
    RunFrames(2);
    EXPECT_FLOAT_EQ(hero->attackTimer, 0.0f);
    EXPECT_FLOAT_EQ(hero->frameCount, 2.0f);
    EXPECT_FLOAT_EQ(hero->cooldown, 0.0f);
    hero->SendEvent(Tavin::EVENT_WALK_LEFT, nullptr, nullptr);
    EXPECT_LT(hero->GetPosition().x, at.x);

    // The next press swings the sword of the hero's grade.
    hero->swordType = 2;
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_TRUE(hero->GetSword(2)->IsVisible());
    EXPECT_EQ(hero->GetSword(2)->GetDirection(), DIR_LEFT);
}

TEST_F(TavinTest, ASwordPressWithoutASwordOrOutOfTheNormalStateOnlySounds)
{
    Tavin* hero = AddHero();
    hero->swordType = -1;
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SWORD));
    for (int grade = 0; grade < Tavin::kSwordCount; ++grade) EXPECT_FALSE(hero->GetSword(grade)->IsVisible());
    EXPECT_FLOAT_EQ(hero->attackTimer, 0.125f);

    RunFrames(10);
    hero->swordType = 7;
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    for (int grade = 0; grade < Tavin::kSwordCount; ++grade) EXPECT_FALSE(hero->GetSword(grade)->IsVisible());

    RunFrames(10);
    hero->swordType = 0;
    hero->SendEvent(Tavin::EVENT_STAIRS_UP, nullptr, nullptr);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_FALSE(hero->GetSword(0)->IsVisible());
    EXPECT_FLOAT_EQ(hero->attackTimer, 0.0f);

    // Out of view the press is silent.
    RunUntilNormal(hero, 70);
    SoundProbe::StopAll();
    world->SetPlayer(nullptr);
    RunFrames(1);
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_SWORD));
    EXPECT_TRUE(hero->GetSword(0)->IsVisible());
}
