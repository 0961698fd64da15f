#include <gtest/gtest.h>

#include "engine/FrameStats.h"

using Quill::FrameStats;

namespace {

TEST(FrameStats, PercentileUsesNearestRank)
{
    std::vector<double> values;
    for (int i = 100; i >= 1; --i) {
        values.push_back(i);
    }
    EXPECT_EQ(FrameStats::Percentile(values, 50), 50.0);
    EXPECT_EQ(FrameStats::Percentile(values, 99), 99.0);
    EXPECT_EQ(FrameStats::Percentile(values, 100), 100.0);
    EXPECT_EQ(FrameStats::Percentile(values, 0), 1.0);
    EXPECT_EQ(FrameStats::Percentile({7.0}, 99), 7.0);
    EXPECT_EQ(FrameStats::Percentile({}, 50), 0.0);
    EXPECT_EQ(FrameStats::Percentile({1.0, 2.0, 3.0}, 50), 2.0);
}

TEST(FrameStats, IntervalsAreBetweenFrameStarts)
{
    FrameStats stats;
    stats.Begin(1000.0);
    for (double t : {1000.0, 1016.0, 1033.0, 1050.0, 1070.0}) {
        stats.FrameStarted(t);
    }
    ASSERT_EQ(stats.Intervals(), (std::vector<double>{16.0, 17.0, 17.0, 20.0}));
    FrameStats::Summary s = stats.Finish(1080.0);
    EXPECT_EQ(s.frames, 5u);
    EXPECT_DOUBLE_EQ(s.meanMs, 17.5);
    EXPECT_EQ(s.p50Ms, 17.0);
    EXPECT_EQ(s.p99Ms, 20.0);
    EXPECT_EQ(s.maxMs, 20.0);
    EXPECT_DOUBLE_EQ(s.wallSeconds, 0.08);
    EXPECT_GE(s.cpuSeconds, 0.0);
    EXPECT_GE(s.cpuPercent, 0.0);
}

TEST(FrameStats, BeginForgetsAnEarlierRun)
{
    FrameStats stats;
    stats.Begin(0.0);
    stats.FrameStarted(0.0);
    stats.FrameStarted(50.0);
    stats.Begin(100.0);
    stats.FrameStarted(100.0);
    EXPECT_TRUE(stats.Intervals().empty());
    FrameStats::Summary s = stats.Finish(100.0);
    EXPECT_EQ(s.frames, 1u);
    EXPECT_EQ(s.maxMs, 0.0);
    EXPECT_EQ(s.cpuPercent, 0.0);  // no wall time passed
}

TEST(FrameStats, CpuTimeCountsWorkDone)
{
    FrameStats stats;
    stats.Begin(0.0);
    const double start = FrameStats::ProcessCpuSeconds();
    volatile double sink = 0.0;
    while (FrameStats::ProcessCpuSeconds() - start < 0.02) {
        for (int i = 0; i < 10000; ++i) {
            sink = sink + i * 0.5;
        }
    }
    EXPECT_GE(stats.Finish(1000.0).cpuSeconds, 0.02);
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
    std::vector<std::string> lines = FrameStats::Describe(s);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "frame stats: frames 600 interval mean 16.667 ms p50 16.600 ms p99 17.250 ms max 18.500 ms");
    EXPECT_EQ(lines[1], "frame stats: cpu 2.50% of one core (0.250 s cpu in 10.000 s wall)");
}

}  // namespace
