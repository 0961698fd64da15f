#include <gtest/gtest.h>

#include "engine/FrameStats.h"

using Quill::FrameStats;

namespace {

TEST(FrameStats, PercentileUsesNearestRank)
{
    std::vector<double> values;
    for (int i = 100; i >= 1; --i) values.push_back(i);
    const struct {
        std::vector<double> values;
        double percent, expected;
    } cases[] = {{values, 50, 50}, {values, 99, 99}, {values, 100, 100}, {values, 0, 1},
                 {{7.0}, 99, 7},   {{}, 50, 0},      {{1, 2, 3}, 50, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(FrameStats::Percentile(c.values, c.percent), c.expected) << c.percent;
}

TEST(FrameStats, SummarisesIntervalsBetweenFrameStartsOfTheLatestRun)
{
    FrameStats stats;
    stats.Begin(0.0);
    stats.FrameStarted(50.0);
    stats.FrameStarted(100.0);
    stats.Begin(1000.0);  // forgets the earlier run
    for (double t : {1000.0, 1016.0, 1033.0, 1050.0, 1070.0}) stats.FrameStarted(t);
    const double start = FrameStats::ProcessCpuSeconds();
    volatile double sink = 0.0;
    while (FrameStats::ProcessCpuSeconds() - start < 0.02) sink = sink + 0.5;  // 20 ms of work
    ASSERT_EQ(stats.Intervals(), (std::vector<double>{16.0, 17.0, 17.0, 20.0}));
    const FrameStats::Summary s = stats.Finish(1080.0);
    EXPECT_EQ(s.frames, 5u);
    EXPECT_DOUBLE_EQ(s.meanMs, 17.5);
    EXPECT_EQ(s.p50Ms, 17.0);
    EXPECT_EQ(s.p99Ms, 20.0);
    EXPECT_EQ(s.maxMs, 20.0);
    EXPECT_DOUBLE_EQ(s.wallSeconds, 0.08);
    EXPECT_GE(s.cpuSeconds, 0.02);
    EXPECT_LT(s.cpuSeconds, 5.0);
    EXPECT_DOUBLE_EQ(s.cpuPercent, 100.0 * s.cpuSeconds / 0.08);

    FrameStats single;
    single.Begin(100.0);
    single.FrameStarted(100.0);
    const FrameStats::Summary one = single.Finish(100.0);
    EXPECT_EQ(one.frames, 1u);
    EXPECT_EQ(one.maxMs, 0.0);
    EXPECT_EQ(one.cpuPercent, 0.0);  // no wall time passed
}

TEST(FrameStats, DescribeGivesTwoParsableLines)
{
    FrameStats::Summary s;
    s.frames = 600;
    s.meanMs = 16.667;
    s.p50Ms = 16.6;
    s.p99Ms = 17.25;
    s.maxMs = 18.5;
    s.cpuPercent = 2.5;
    s.cpuSeconds = 0.25;
    s.wallSeconds = 10.0;
    EXPECT_EQ(FrameStats::Describe(s),
              (std::vector<std::string>{
                  "frame stats: frames 600 interval mean 16.667 ms p50 16.600 ms p99 17.250 ms max 18.500 ms",
                  "frame stats: cpu 2.50% of one core (0.250 s cpu in 10.000 s wall)"}));
}

}  // namespace
