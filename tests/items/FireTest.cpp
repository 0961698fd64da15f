#include "items/Fire.h"
#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "tests/items/ProjectileTestSupport.h"
#include "tests/player/SoundProbe.h"

TEST_F(ProjectileTest, FireCreepsOneTileThenBurnsThereForEightTenthsOfASecond)
{
    Tavin* hero = AddHero();
    hero->SetDirection(DIR_RIGHT);
    hero->selectedItem = 2;
    hero->SendEvent(Tavin::EVENT_ITEM, nullptr, nullptr);
    ASSERT_EQ(Live<Fire>().size(), 1u);
    Fire* fire = Live<Fire>()[0];
    EXPECT_EQ(fire->GetPosition(), hero->GetPosition() + Vec2(32.0f, 0.0f));
    // Stored reversed: it pushes those it burns back towards the thrower.
    EXPECT_EQ(fire->GetDirection(), DIR_LEFT);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_FIRE));
    EXPECT_FALSE(hero->itemReady);

    const Vec2 start = fire->GetPosition();
    int travel = 0;
    while (fire->distance < 32.0f && travel < 40) {
        RunFrames(1);
        ++travel;
    }
    EXPECT_GE(travel, 31);
    EXPECT_LE(travel, 33);
    const Vec2 settled = fire->GetPosition();
    EXPECT_NEAR(settled.x - start.x, 32.0f, 0.5f);
    EXPECT_EQ(settled.y, start.y);
    const int linger = RunUntilDead(fire, 60);
    EXPECT_GE(linger, 48);
    EXPECT_LE(linger, 50);
    EXPECT_EQ(fire->GetPosition(), settled);
    EXPECT_TRUE(hero->itemReady);
}

TEST_F(ProjectileTest, FireBurnsEverythingInItOnTheHostItsThrowerToo)
{
    RecordingSession session(true);
    Tavin* hero = AddHero(&session);
    hero->SetUID(0);
    EntityRef<Fire> fire = Put(new Fire(&session, world, hero), hero->GetPosition() + Vec2(0.0f, -64.0f));
    fire->Launch(DIR_UP, 60.0f, 1.0f);
    fire->distance = 32.0f;
    fire->lingerTime = 10.0f;
    const Vec2 flame = fire->GetPosition();

    // The thrower walking into it is burned and pushed back the way he came.
    hero->SetPosition(flame + Vec2(0.0f, 10.0f));
    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_EQ(hero->pushDirection, DIR_DOWN);
    ASSERT_EQ(session.sent.size(), 1u);
    HitMessage hit;
    ASSERT_TRUE(DecodeHit(session.sent[0], hit));
    EXPECT_EQ(hit.uid, 0u);
    EXPECT_FLOAT_EQ(hit.amount, 1.0f);
    EXPECT_FLOAT_EQ(hit.flashTime, 1.0f);
    EXPECT_EQ(hit.direction, DIR_DOWN);
    EXPECT_EQ(hit.push, 0);

    // Enemies are pushed on the way it travelled, every tick once they stop
    // flashing; one still flashing is spared.
    Target* enemy = Put(new Target(), flame + Vec2(8.0f, 0.0f));
    enemy->SetUID(40);
    Target* flashing = Put(new Target(), flame + Vec2(-8.0f, 0.0f));
    flashing->StartFlashing(-1.0f);
    RunFrames(1);
    ASSERT_EQ(enemy->amounts.size(), 1u);
    EXPECT_EQ(enemy->directions[0], DIR_UP);
    RunFrames(31);
    EXPECT_EQ(enemy->amounts.size(), 2u);
    EXPECT_TRUE(flashing->amounts.empty());
    // The flame scorches itself too, but that is not news for the peer:
    // only the hero and the enemy hits were sent.
    EXPECT_LT(fire->GetHealth(), 0.0f);
    EXPECT_EQ(session.sent.size(), 3u);
    for (const auto& sent : session.sent) {
        ASSERT_TRUE(DecodeHit(sent, hit));
        EXPECT_TRUE(hit.uid == 0u || hit.uid == 40u);
    }

    // On a client the flame burns nothing.
    RecordingSession client(false);
    Fire* clientFire = Put(new Fire(&client, world, nullptr), flame + Vec2(64.0f, 0.0f));
    clientFire->Launch(DIR_UP, 0.0f, 1.0f);
    Target* near = Put(new Target(), clientFire->GetPosition());
    RunFrames(3);
    EXPECT_TRUE(near->amounts.empty());
    EXPECT_TRUE(client.sent.empty());
    fire->Dead();
}
