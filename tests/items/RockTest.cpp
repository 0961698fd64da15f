#include "items/Rock.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class RockTest : public TavinTest {
protected:
    Rock* Throw(Vec2 from, int dir)
    {
        Rock* rock = Put(new Rock(nullptr, world), from);
        rock->Launch(dir, 350.0f);
        return rock;
    }
};

}  // namespace

TEST_F(RockTest, AHeroFacingItWithoutSwingingKnocksItAsideForGood)
{
    Tavin* hero = AddHero();
    EXPECT_EQ(hero->GetDirection(), DIR_UP);
    Rock* rock = Throw(hero->GetPosition() + Vec2(0.0f, -40.0f), DIR_DOWN);
    EXPECT_STREQ(rock->GetName(), "Rock");
    EXPECT_TRUE(rock->IsTransient() && rock->IsLocalOnly() && rock->IsUntargetable());
    int frames = 0;
    while (!rock->deflected && frames < 10) {
        RunFrames(1);
        ++frames;
    }
    ASSERT_TRUE(rock->deflected);
    EXPECT_FLOAT_EQ(rock->speed, 175.0f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SHIELD));
    EXPECT_FLOAT_EQ(hero->health, 3.0f);

    // Travelling down, it drifts back up and to the left.
    const Vec2 before = rock->GetPosition();
    // Turned away, the hero is still not hurt by it, nor can he block it again.
    hero->SetDirection(DIR_LEFT);
    RunFrames(1);
    const Vec2 step = rock->GetPosition() - before;
    EXPECT_NEAR(step.x, -175.0f / 60.0f, 1e-3f);
    EXPECT_NEAR(step.y, -175.0f / 60.0f, 1e-3f);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    EXPECT_FLOAT_EQ(rock->speed, 175.0f);

    // A little over 0.3 s after the deflection it is gone.
    const int left = RunUntilDead(rock, 40);
    EXPECT_GE(left, 16);
    EXPECT_LE(left, 18);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
}

TEST_F(RockTest, ItHurtsAHeroWhoSwingsOrLooksAwayAndStopsAtWallsAndTheRim)
{
    Tavin* hero = AddHero();
    hero->throwReady = false;
    hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
    Rock* rock = Throw(hero->GetPosition() + Vec2(0.0f, -30.0f), DIR_DOWN);
    EXPECT_LT(RunUntilDead(rock, 10), 10);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_EQ(hero->pushDirection, DIR_DOWN);

    // Facing any other way than towards it, the hero is hit as well.
    RunFrames(70);
    hero->SetDirection(DIR_RIGHT);
    Rock* fromSide = Throw(hero->GetPosition() + Vec2(-30.0f, 0.0f), DIR_RIGHT);
    RunUntilDead(fromSide, 10);
    EXPECT_FLOAT_EQ(hero->health, 2.0f);

    // A wall tile stops it; tile 97 does not.
    SetTile(116, 80, 97);
    SetTile(118, 80, 1);
    Rock* walled = Throw(At(64.0f, 96.0f), DIR_RIGHT);
    const int frames = RunUntilDead(walled, 60);
    EXPECT_TRUE(frames > 15 && frames < 60) << frames;
    EXPECT_GE(walled->GetPosition().x + 16.0f, 118.0f * 32.0f);
    EXPECT_LT(walled->GetPosition().x, 118.0f * 32.0f);

    // 20 pixels inside a screen edge is outside the inner screen.
    Rock* rim = Throw(At(20.0f, 96.0f), DIR_LEFT);
    Rock* inside = Throw(At(40.0f, 96.0f), DIR_UP);
    RunFrames(1);
    EXPECT_EQ(rim->GetState(), 0);
    EXPECT_NE(inside->GetState(), 0);
}

TEST_F(RockTest, OnlyHeroesInTheWorldWhenItWasThrownAreTargets)
{
    // Thrown before any hero exists, it sees none.
    Rock* early = Throw(At(256.0f, 100.0f), DIR_DOWN);
    early->speed = 0.0f;
    Tavin* hero = AddHero();
    early->SetPosition(hero->GetPosition());
    RunFrames(3);
    EXPECT_NE(early->GetState(), 0);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);

    // A hero taken out of the world (a dropped peer) is kept valid but left alone.
    EntityRef<Tavin> peer = new Tavin("peer", nullptr, nullptr);
    peer->SetUID(1);
    Put(peer.get(), hero->GetPosition() + Vec2(64.0f, 0.0f));
    Rock* rock = Throw(peer->GetPosition() + Vec2(0.0f, -100.0f), DIR_DOWN);
    rock->speed = 0.0f;
    world->GetEntityList().Remove(peer.get());
    rock->SetPosition(peer->GetPosition());
    RunFrames(3);
    EXPECT_FLOAT_EQ(peer->health, 3.0f);
    EXPECT_NE(rock->GetState(), 0);
    // Let go of entirely, the hero lives on in the rock's hold until it dies.
    peer.reset();
    RunFrames(2);
    rock->Dead();
    RunFrames(1);
}
