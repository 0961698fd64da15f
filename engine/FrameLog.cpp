#include "engine/FrameLog.h"

#include <cerrno>
#include <cstring>

#include "engine/QuillLogger.h"

namespace Quill {

FrameLog::~FrameLog()
{
    if (file) {
        std::fclose(file);
    }
}

bool FrameLog::Open(const std::string& path)
{
    if (file) {
        std::fclose(file);
    }
    lastStartMs = -1.0;
    file = std::fopen(path.c_str(), "w");
    if (!file) {
        Logger()->Log("cannot write the frame log %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    // A reader follows the file while the game runs, so lines go out whole.
    std::setvbuf(file, nullptr, _IOLBF, 0);
    return true;
}

void FrameLog::FrameStarted(double steadyMs)
{
    if (!file) {
        return;
    }
    const double interval = lastStartMs < 0.0 ? 0.0 : steadyMs - lastStartMs;
    lastStartMs = steadyMs;
    std::fprintf(file, "%.3f %.3f\n", steadyMs, interval);
}

}  // namespace Quill
