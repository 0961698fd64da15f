#include "engine/FrameStats.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace Quill {

void FrameStats::Begin(double wallMs)
{
    intervals.clear();
    frames = 0;
    lastStartMs = -1.0;
    beginWallMs = wallMs;
    beginCpuSeconds = ProcessCpuSeconds();
}

void FrameStats::FrameStarted(double wallMs)
{
    if (lastStartMs >= 0.0) {
        intervals.push_back(wallMs - lastStartMs);
    }
    lastStartMs = wallMs;
    ++frames;
}

FrameStats::Summary FrameStats::Finish(double wallMs) const
{
    Summary s;
    s.frames = frames;
    if (!intervals.empty()) {
        s.meanMs =
            std::accumulate(intervals.begin(), intervals.end(), 0.0) / static_cast<double>(intervals.size());
        s.p50Ms = Percentile(intervals, 50.0);
        s.p99Ms = Percentile(intervals, 99.0);
        s.maxMs = *std::max_element(intervals.begin(), intervals.end());
    }
    s.wallSeconds = std::max(0.0, (wallMs - beginWallMs) / 1000.0);
    s.cpuSeconds = std::max(0.0, ProcessCpuSeconds() - beginCpuSeconds);
    s.cpuPercent = s.wallSeconds > 0.0 ? 100.0 * s.cpuSeconds / s.wallSeconds : 0.0;
    return s;
}

double FrameStats::Percentile(std::vector<double> values, double percent)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    double rank = std::ceil(percent / 100.0 * static_cast<double>(values.size()));
    size_t index = rank < 1.0 ? 0 : static_cast<size_t>(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}

std::vector<std::string> FrameStats::Describe(const Summary& s)
{
    char first[200];
    std::snprintf(first, sizeof first,
                  "frame stats: frames %u interval mean %.3f ms p50 %.3f ms p99 %.3f ms max %.3f ms",
                  s.frames, s.meanMs, s.p50Ms, s.p99Ms, s.maxMs);
    char second[200];
    std::snprintf(second, sizeof second, "frame stats: cpu %.2f%% of one core (%.3f s cpu in %.3f s wall)",
                  s.cpuPercent, s.cpuSeconds, s.wallSeconds);
    return {first, second};
}

double FrameStats::ProcessCpuSeconds()
{
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return 0.0;
    }
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace Quill
