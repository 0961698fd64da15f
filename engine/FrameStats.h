#pragma once

#include <string>
#include <vector>

namespace Quill {

// Frame pacing of a run: intervals between frame starts (wall clock) and the
// process CPU time spent meanwhile.
class FrameStats {
public:
    struct Summary {
        unsigned frames = 0;
        double meanMs = 0.0;
        double p50Ms = 0.0;
        double p99Ms = 0.0;
        double maxMs = 0.0;
        double wallSeconds = 0.0;
        double cpuSeconds = 0.0;
        double cpuPercent = 0.0;  // of one core
    };

    // Starts a run: forgets earlier frames and notes the CPU time so far.
    void Begin(double wallMs);
    void FrameStarted(double wallMs);
    // Ends the run at `wallMs`; the summary covers Begin to here.
    Summary Finish(double wallMs) const;

    // Nearest-rank percentile (0-100) of `values`; 0 when empty.
    static double Percentile(std::vector<double> values, double percent);
    // Two log lines, "frame stats: ..." and "frame stats: cpu ...".
    static std::vector<std::string> Describe(const Summary& summary);
    // User plus system CPU seconds of this process.
    static double ProcessCpuSeconds();

    const std::vector<double>& Intervals() const { return intervals; }

private:
    std::vector<double> intervals;
    double beginWallMs = 0.0;
    double lastStartMs = -1.0;
    double beginCpuSeconds = 0.0;
    unsigned frames = 0;
};

}  // namespace Quill
