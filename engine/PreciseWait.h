#pragma once

namespace Quill {

// Milliseconds of the monotonic clock (std::chrono::steady_clock).
double SteadyMilliseconds();

// Returns once SteadyMilliseconds() has reached `deadline`. Sleeps while far
// from it, sleeps in short steps near it and spins (yielding) only for the last
// fraction of a millisecond, so waiting out a frame costs almost no CPU.
void SleepUntilSteady(double deadline);

}  // namespace Quill
