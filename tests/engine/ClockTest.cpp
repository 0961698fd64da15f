#include <gtest/gtest.h>

#include "engine/PreciseWait.h"
#include "engine/QuillApp.h"

using namespace Quill;

namespace {

// The smallest app: the clock lives in CQuillApp.
class ClockApp : public CQuillApp {
public:
    void Update() override {}
    void RenderOverlay() override {}
    void OnEvent(int, int) override {}
    bool Initialize() override { return true; }
};

RunOptions FastClock()
{
    RunOptions options;
    options.fastClock = true;
    return options;
}

TEST(FastClock, StartsAtZeroAndJumpsExactlyToEachDeadline)
{
    ClockApp app;
    app.SetRunOptions(FastClock());
    EXPECT_EQ(app.GetPreciseTicks(), 0.0);
    EXPECT_EQ(app.GetTickCount(), 0u);
    app.WaitUntil(1000.0 / 60.0);
    EXPECT_EQ(app.GetPreciseTicks(), 1000.0 / 60.0);
    EXPECT_EQ(app.GetTickCount(), 16u);
    app.WaitUntil(123.75);
    EXPECT_EQ(app.GetPreciseTicks(), 123.75);
    EXPECT_EQ(app.GetTickCount(), 123u);
}

TEST(FastClock, NeverGoesBackwards)
{
    ClockApp app;
    app.SetRunOptions(FastClock());
    app.WaitUntil(500.0);
    app.WaitUntil(100.0);
    EXPECT_EQ(app.GetPreciseTicks(), 500.0);
    EXPECT_EQ(app.GetPreciseTicks(), app.GetPreciseTicks());
}

TEST(FastClock, TickCountWrapsLikeA32BitCounter)
{
    ClockApp app;
    app.SetRunOptions(FastClock());
    app.WaitUntil(4294967296.0 + 5.0);
    EXPECT_EQ(app.GetTickCount(), 5u);
}

TEST(RealClock, WaitUntilReturnsOnlyAfterTheDeadline)
{
    ClockApp app;
    const double deadline = app.GetPreciseTicks() + 3.0;
    app.WaitUntil(deadline);
    EXPECT_GE(app.GetPreciseTicks(), deadline);
}

TEST(RealClock, PastDeadlinesReturnAtOnceAndTheClockNeverGoesBack)
{
    ClockApp app;
    double before = app.GetPreciseTicks();
    app.WaitUntil(before - 100.0);
    double after = app.GetPreciseTicks();
    EXPECT_GE(after, before);
    EXPECT_LE(static_cast<double>(app.GetTickCount()), app.GetPreciseTicks());
}

TEST(RealClock, SleepUntilSteadyReachesTheDeadline)
{
    for (double ahead : {0.05, 0.5, 1.5, 4.0}) {
        const double deadline = SteadyMilliseconds() + ahead;
        SleepUntilSteady(deadline);
        EXPECT_GE(SteadyMilliseconds(), deadline) << ahead;
    }
}

}  // namespace
