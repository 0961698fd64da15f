#include "items/DeathSpark.h"
#include "tests/player/TavinTestSupport.h"

using ProjectileTest = TavinTest;

TEST_F(ProjectileTest, ADeathSparkShowsFourFramesOverFourTenthsOfASecondAndSaysNothing)
{
    RecordingSession session(true);
    DeathSpark* spark = Put(new DeathSpark(&session), At(100.0f, 100.0f));
    EXPECT_STREQ(spark->GetName(), "DeathSpark");
    EXPECT_TRUE(spark->IsTransient() && spark->IsLocalOnly() && spark->IsUntargetable());
    float shown = 0.0f;
    int frames = 0;
    while (spark->GetState() != 0 && frames < 40) {
        shown = spark->frame;
        RunFrames(1);
        ++frames;
    }
    EXPECT_GE(frames, 23);
    EXPECT_LE(frames, 25);
    EXPECT_LT(shown, 4.0f);
    EXPECT_GE(shown, 3.0f);
    EXPECT_TRUE(spark->IsDead());
    EXPECT_FALSE(spark->IsVisible());
    EXPECT_TRUE(session.sent.empty());
}
