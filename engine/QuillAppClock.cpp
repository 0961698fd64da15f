// The engine clock: real (steady) time, or a virtual clock that moves only
// when the engine waits, so headless runs are fast and repeatable.
#include "engine/PreciseWait.h"
#include "engine/QuillApp.h"

namespace Quill {

double CQuillApp::GetPreciseTicks() const
{
    return runOptions.fastClock ? virtualTicks : SteadyMilliseconds() - clockOrigin;
}

uint32_t CQuillApp::GetTickCount() const
{
    double ms = GetPreciseTicks();
    // Wraps like a 32-bit millisecond counter instead of overflowing.
    return ms <= 0.0 ? 0u : static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void CQuillApp::WaitUntil(double deadline)
{
    if (runOptions.fastClock) {
        if (deadline > virtualTicks) {
            virtualTicks = deadline;
        }
        return;
    }
    SleepUntilSteady(clockOrigin + deadline);
}

}  // namespace Quill
