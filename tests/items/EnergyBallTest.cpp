#include <cmath>
#include <limits>
#include <utility>

#include "items/EnergyBall.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class EnergyBallTest : public TavinTest {
protected:
    EnergyBall* Fire(Vec2 from, Vec2 velocity, float power)
    {
        EnergyBall* ball = Put(new EnergyBall(nullptr, world), from);
        ball->Launch(velocity.x, velocity.y, 225.0f, power);
        return ball;
    }
};

}  // namespace

TEST_F(EnergyBallTest, OnlyAShieldAsStrongAsTheBallStopsIt)
{
    Tavin* hero = AddHero();
    // Power 2 against shield 1: the hero facing it still takes 2 − 1.
    EnergyBall* strong = Fire(hero->GetPosition() + Vec2(0.0f, -40.0f), Vec2(0.0f, 1.0f), 2.0f);
    EXPECT_EQ(strong->GetDirection(), DIR_DOWN);
    Vec2 last = strong->GetPosition();
    while (strong->GetState() != 0) {
        last = strong->GetPosition();
        RunFrames(1);
    }
    EXPECT_FLOAT_EQ(hero->health, 3.0f - 1.0f * hero->damageFactor);
    // The tick that hits does not move the ball.
    EXPECT_EQ(strong->GetPosition(), last);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_SHIELD));

    // While the hero flashes the ball passes through him.
    EnergyBall* passing = Fire(hero->GetPosition() + Vec2(0.0f, -10.0f), Vec2(0.0f, 1.0f), 2.0f);
    RunFrames(4);
    EXPECT_NE(passing->GetState(), 0);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    passing->Dead();
    RunFrames(70);

    // Power 1 is blocked by the facing hero.
    EnergyBall* weak = Fire(hero->GetPosition() + Vec2(0.0f, -40.0f), Vec2(0.0f, 1.0f), 1.0f);
    EXPECT_LT(RunUntilDead(weak, 20), 20);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SHIELD));
}

TEST_F(EnergyBallTest, ItFacesTheLargerPartOfItsVelocityAndTiesGoVertical)
{
    const std::pair<Vec2, int> rows[] = {{{2, 1}, DIR_RIGHT}, {{1, 1}, DIR_DOWN},   {{-1, 1}, DIR_DOWN},
                                         {{-2, 1}, DIR_LEFT}, {{1, -1}, DIR_UP},    {{3, -1}, DIR_RIGHT},
                                         {{-1, -1}, DIR_UP},  {{-3, -1}, DIR_LEFT}, {{0, 0}, DIR_UP}};
    for (const auto& [velocity, dir] : rows)
        EXPECT_EQ(DirectionOfVelocity(velocity), dir) << velocity.x << ", " << velocity.y;

    // It moves by velocity × speed, over walls, and dies past x 460 or y 300.
    SetTile(121, 80, 1);
    EnergyBall* ball = Fire(At(288.0f, 96.0f), Vec2(0.6f, 0.8f), 2.0f);
    const Vec2 from = ball->GetPosition();
    RunFrames(1);
    EXPECT_NEAR(ball->GetPosition().x - from.x, 0.6f * 225.0f / 60.0f, 1e-3f);
    EXPECT_NEAR(ball->GetPosition().y - from.y, 0.8f * 225.0f / 60.0f, 1e-3f);
    EnergyBall* right = Fire(At(461.0f, 100.0f), Vec2(0.0f, 0.0f), 2.0f);
    EnergyBall* edge = Fire(At(460.0f, 300.0f), Vec2(0.0f, 0.0f), 2.0f);
    RunFrames(1);
    EXPECT_EQ(right->GetState(), 0);
    EXPECT_NE(edge->GetState(), 0);

    // A still ball faces up and stays put; an aim that is not a number is a still one.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EnergyBall* lost = Fire(At(200.0f, 200.0f), Vec2(nan, nan), 2.0f);
    EXPECT_EQ(lost->GetDirection(), DIR_UP);
    RunFrames(5);
    EXPECT_EQ(lost->GetPosition(), At(200.0f, 200.0f));
    EXPECT_NE(lost->GetState(), 0);
}
