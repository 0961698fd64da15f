#include "engine/PreciseWait.h"

#include <chrono>
#include <thread>

namespace Quill {

namespace {
// A long sleep can overshoot by a scheduler tick; stop it this early.
constexpr double kCoarseMarginMs = 1.0;
// Short sleeps overshoot by tens of microseconds; spin the rest.
constexpr double kSpinMs = 0.15;

void SleepMilliseconds(double ms)
{
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}
}  // namespace

double SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void SleepUntilSteady(double deadline)
{
    for (;;) {
        double remaining = deadline - SteadyMilliseconds();
        if (remaining <= 0.0) {
            return;
        }
        if (remaining > kCoarseMarginMs) {
            SleepMilliseconds(remaining - kCoarseMarginMs);
        } else if (remaining > kSpinMs) {
            SleepMilliseconds(remaining - kSpinMs);
        } else {
            std::this_thread::yield();
        }
    }
}

}  // namespace Quill
