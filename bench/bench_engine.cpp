// How closely WaitUntil meets its deadline on the real clock, and what the
// wait costs in CPU (compare the CPU column with the wall time).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "engine/QuillApp.h"

namespace {

class IdleApp : public Quill::CQuillApp {
public:
    void Update() override {}
    void RenderOverlay() override {}
    void OnEvent(int, int) override {}
    bool Initialize() override { return true; }
};

// Argument: how far ahead the deadline is, in microseconds.
void BM_WaitUntilOvershoot(benchmark::State& state)
{
    IdleApp app;
    const double ahead = static_cast<double>(state.range(0)) / 1000.0;
    double total = 0.0;
    double worst = 0.0;
    for (auto _ : state) {
        const double deadline = app.GetPreciseTicks() + ahead;
        app.WaitUntil(deadline);
        const double overshoot = app.GetPreciseTicks() - deadline;
        total += overshoot;
        worst = std::max(worst, overshoot);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["overshoot_mean_us"] = n > 0 ? total / n * 1000.0 : 0.0;
    state.counters["overshoot_max_us"] = worst * 1000.0;
}
BENCHMARK(BM_WaitUntilOvershoot)
    ->Arg(500)
    ->Arg(2000)
    ->Arg(16667)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// A 60 Hz deadline sequence as the frame loop keeps it: the interval between
// returns should stay at 16.67 ms.
void BM_FrameDeadlines(benchmark::State& state)
{
    IdleApp app;
    const double period = 1000.0 / 60.0;
    double deadline = app.GetPreciseTicks();
    double previous = deadline;
    double worstError = 0.0;
    for (auto _ : state) {
        deadline += period;
        app.WaitUntil(deadline);
        const double now = app.GetPreciseTicks();
        worstError = std::max(worstError, std::abs(now - previous - period));
        previous = now;
    }
    state.counters["interval_max_error_us"] = worstError * 1000.0;
}
BENCHMARK(BM_FrameDeadlines)->Iterations(120)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
