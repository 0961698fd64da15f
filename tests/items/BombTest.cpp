#include "items/Bomb.h"
#include "items/Smoke.h"
#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class BombTest : public TavinTest {
protected:
    Bomb* Lay(NetSession* session, Vec2 at, Entity* owner = nullptr)
    {
        Bomb* bomb = Put(new Bomb(session, world, owner), at);
        bomb->Launch(DIR_RIGHT, 60.0f, 2.0f);
        return bomb;
    }
};

}  // namespace

TEST_F(BombTest, AHerosBombLiesASecondThenBlastsEnemiesWithin60AndHeroesWithin28)
{
    RecordingSession session(true);
    Tavin* hero = AddHero(&session);
    const Vec2 at = hero->GetPosition() + Vec2(32.0f, 0.0f);
    Bomb* bomb = Lay(&session, at, hero);

    Target* enemyIn = Put(new Target(), at + Vec2(36.0f, 48.0f));
    Target* enemyOut = Put(new Target(), at + Vec2(61.0f, 0.0f));
    Target* heroIn = Put(new Target(Target::PLAYER), at + Vec2(0.0f, 28.0f));
    Target* heroOut = Put(new Target(Target::PLAYER), at + Vec2(0.0f, -29.0f));
    Target* spared = Put(new Target(), at + Vec2(10.0f, 0.0f));
    spared->StartFlashing(-1.0f);
    enemyIn->SetUID(60);
    heroIn->SetUID(61);

    RunFrames(59);
    EXPECT_NE(bomb->GetState(), 0);
    EXPECT_TRUE(enemyIn->amounts.empty());
    const int fuse = RunUntilDead(bomb, 5);
    EXPECT_GE(fuse, 1);
    EXPECT_LE(fuse, 2);
    EXPECT_EQ(bomb->GetState(), 0);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_BOMB_BLOW));

    // Enemies fly the way the hero faced, heroes back towards the one who laid it.
    EXPECT_EQ(enemyIn->amounts, std::vector<float>{2.0f});
    EXPECT_EQ(enemyIn->directions, std::vector<int>{DIR_RIGHT});
    EXPECT_EQ(heroIn->directions, std::vector<int>{DIR_LEFT});
    EXPECT_TRUE(enemyOut->amounts.empty() && heroOut->amounts.empty() && spared->amounts.empty());
    // The one who laid it stood 64 pixels away as a hero: untouched.
    EXPECT_FLOAT_EQ(hero->health, 3.0f);

    ASSERT_EQ(session.sent.size(), 2u);
    EXPECT_EQ(DecodeHit(session.sent[0]), (HitMessage{60, enemyIn->GetPosition(), 2.0f, 0.5f, DIR_RIGHT, 0}));
    EXPECT_EQ(DecodeHit(session.sent[1]), (HitMessage{61, heroIn->GetPosition(), 2.0f, 0.5f, DIR_LEFT, 0}));

    // A ring of seven puffs around where it lay.
    const std::vector<Smoke*> puffs = Live<Smoke>();
    ASSERT_EQ(puffs.size(), 7u);
    const Vec2 ring[7] = {{0.0f, 0.0f},   {16.0f, 32.0f},  {-16.0f, 32.0f}, {32.0f, 0.0f},
                          {-32.0f, 0.0f}, {16.0f, -32.0f}, {-16.0f, -32.0f}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(puffs[size_t(i)]->GetPosition(), at + ring[i]);
        EXPECT_GE(puffs[size_t(i)]->frameRate, 3.0f);
        EXPECT_LT(puffs[size_t(i)]->frameRate, 5.0f);
    }
}

TEST_F(BombTest, ABombAtTheScreensRimDiesUnexplodedAndAClientsDealsNoDamage)
{
    Tavin* hero = AddHero();
    hero->itemReady = false;
    Bomb* left = Lay(nullptr, At(3.0f, 100.0f), hero);
    Bomb* right = Lay(nullptr, At(509.0f, 100.0f));
    Bomb* top = Lay(nullptr, At(100.0f, 3.0f));
    Bomb* bottom = Lay(nullptr, At(100.0f, 349.0f));
    Bomb* edgeLeft = Lay(nullptr, At(4.0f, 100.0f));
    Bomb* edgeRight = Lay(nullptr, At(508.0f, 200.0f));
    Bomb* edgeBottom = Lay(nullptr, At(200.0f, 348.0f));
    RunFrames(1);
    for (Bomb* gone : {left, right, top, bottom}) EXPECT_EQ(gone->GetState(), 0);
    for (Bomb* kept : {edgeLeft, edgeRight, edgeBottom}) EXPECT_NE(kept->GetState(), 0);
    EXPECT_TRUE(Live<Smoke>().empty());
    EXPECT_TRUE(hero->itemReady);
    RunFrames(61);
    EXPECT_EQ(Live<Bomb>().size(), 0u);
    EXPECT_EQ(Live<Smoke>().size(), 21u);

    // A client's bomb blows up and smokes, but the host deals the damage.
    RunFrames(61);
    RecordingSession client(false);
    Target* enemy = Put(new Target(), At(200.0f, 100.0f));
    Bomb* bomb = Lay(&client, At(210.0f, 100.0f));
    RunUntilDead(bomb, 70);
    EXPECT_TRUE(enemy->amounts.empty());
    EXPECT_TRUE(client.sent.empty());
    EXPECT_EQ(Live<Smoke>().size(), 7u);
}

TEST_F(BombTest, AllPuffsRunDownOneFlickerTimer)
{
    Lay(nullptr, At(200.0f, 100.0f));
    Lay(nullptr, At(300.0f, 100.0f));
    Smoke::flickerTimer = 10.0f;
    int frames = 0;
    while (Live<Smoke>().empty() && frames < 70) {
        RunFrames(1);
        ++frames;
    }
    ASSERT_EQ(Live<Smoke>().size(), 14u);
    // Fourteen puffs each take a tick's worth off the same timer.
    const float before = Smoke::flickerTimer;
    RunFrames(1);
    EXPECT_NEAR(Smoke::flickerTimer, before - 14.0f / 60.0f, 1e-4f);

    // Steady for their first half frame, then they take turns flickering.
    Smoke::flickerTimer = 0.0f;
    RunFrames(4);
    for (Smoke* puff : Live<Smoke>()) EXPECT_TRUE(puff->IsVisible());
    int hidden = 0;
    for (int tick = 0; tick < 20; ++tick) {
        RunFrames(1);
        for (Smoke* puff : Live<Smoke>()) hidden += puff->IsVisible() ? 0 : 1;
    }
    EXPECT_GT(hidden, 0);
    EXPECT_GT(Smoke::flickerTimer, 0.0f);
    EXPECT_LE(Smoke::flickerTimer, 0.03f);
    // Three frames at 3 to 5 a second: all gone within a second.
    RunFrames(40);
    EXPECT_TRUE(Live<Smoke>().empty());
}

TEST_F(BombTest, APuffShowsSteadilyForItsFirstHalfFrameThenFlickers)
{
    Smoke* puff = Put(new Smoke(nullptr, world), Vec2());
    puff->Start(At(100.0f, 100.0f).x, At(100.0f, 100.0f).y);
    EXPECT_EQ(puff->GetPosition(), At(100.0f, 100.0f));
    puff->frameRate = 2.9f;  // past half a frame in the 11th tick
    for (int tick = 1; tick <= 10; ++tick) {
        RunFrames(1);
        ASSERT_TRUE(puff->IsVisible()) << tick;
    }
    RunFrames(1);
    EXPECT_FALSE(puff->IsVisible());
    EXPECT_FLOAT_EQ(Smoke::flickerTimer, 0.03f);
}
