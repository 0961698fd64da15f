#include "items/Fire.h"
#include "net/GameMessages.h"
#include "tests/player/TavinTestSupport.h"

using ProjectileTest = TavinTest;

TEST_F(ProjectileTest, FireCreepsOneTileThenBurnsThereForEightTenthsOfASecond)
{
    Fire* fire = Put(new Fire(nullptr, world, nullptr), At(256.0f, 96.0f));
    fire->Launch(DIR_RIGHT, 60.0f, 1.0f);
    const Vec2 start = fire->GetPosition();
    int travel = 0;
    for (; fire->distance < 32.0f && travel < 40; ++travel) RunFrames(1);
    EXPECT_GE(travel, 31);
    EXPECT_LE(travel, 33);
    const Vec2 settled = fire->GetPosition();
    EXPECT_NEAR(settled.x - start.x, 32.0f, 0.5f);
    EXPECT_EQ(settled.y, start.y);
    const int linger = RunUntilDead(fire, 60);
    EXPECT_GE(linger, 48);
    EXPECT_LE(linger, 50);
    EXPECT_EQ(fire->GetPosition(), settled);
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
    EXPECT_EQ(DecodeHit(session.sent[0]),
              (HitMessage{0, flame + Vec2(0.0f, 10.0f), 1.0f, 1.0f, DIR_DOWN, 0}));

    // Enemies are pushed on the way it travelled, every tick once they stop
    // flashing; one still flashing is spared.
    Target* enemy = Put(new Target(), flame + Vec2(8.0f, 0.0f));
    enemy->SetUID(40);
    Target* flashing = Put(new Target(), flame + Vec2(-8.0f, 0.0f));
    flashing->StartFlashing(-1.0f);
    RunFrames(1);
    EXPECT_EQ(enemy->directions, std::vector<int>{DIR_UP});
    RunFrames(31);
    EXPECT_EQ(enemy->amounts.size(), 2u);
    EXPECT_TRUE(flashing->amounts.empty());
    // The flame scorches itself too, but that is not news for the peer:
    // only the hero and the enemy hits were sent.
    EXPECT_LT(fire->GetHealth(), 0.0f);
    EXPECT_EQ(session.sent.size(), 3u);
    EXPECT_EQ(DecodeHit(session.sent[1]).uid, 40u);
    EXPECT_EQ(DecodeHit(session.sent[2]).uid, 40u);

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
