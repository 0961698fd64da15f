#include <gtest/gtest.h>

#include "engine/PreciseWait.h"
#include "engine/QuillApp.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(FastClock, JumpsExactlyToEachDeadlineNeverBackAndWrapsLikeA32BitCounter)
{
    TestEngine app;
    Quill::RunOptions options;
    options.fastClock = true;
    app.SetRunOptions(options);
    EXPECT_EQ(app.GetPreciseTicks(), 0.0);
    EXPECT_EQ(app.GetTickCount(), 0u);
    app.WaitUntil(1000.0 / 60.0);
    EXPECT_EQ(app.GetPreciseTicks(), 1000.0 / 60.0);
    EXPECT_EQ(app.GetTickCount(), 16u);
    app.WaitUntil(123.75);
    EXPECT_EQ(app.GetTickCount(), 123u);
    app.WaitUntil(100.0);
    EXPECT_EQ(app.GetPreciseTicks(), 123.75);
    app.WaitUntil(4294967296.0 + 5.0);
    EXPECT_EQ(app.GetTickCount(), 5u);
}

TEST(RealClock, WaitsReachTheDeadlineAndPastOnesReturnAtOnce)
{
    TestEngine app;
    const double deadline = app.GetPreciseTicks() + 3.0;
    app.WaitUntil(deadline);
    EXPECT_GE(app.GetPreciseTicks(), deadline);
    const double before = app.GetPreciseTicks();
    app.WaitUntil(before - 100.0);
    EXPECT_GE(app.GetPreciseTicks(), before);
    EXPECT_LE(double(app.GetTickCount()), app.GetPreciseTicks());
    for (double ahead : {0.05, 0.5, 1.5, 4.0}) {
        const double until = Quill::SteadyMilliseconds() + ahead;
        Quill::SleepUntilSteady(until);
        EXPECT_GE(Quill::SteadyMilliseconds(), until) << ahead;
    }
}

}  // namespace
