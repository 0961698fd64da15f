#pragma once

#include <cstdio>
#include <string>

namespace Quill {

// Frame times written while the game runs, so that another program can watch
// a live game's pacing: one line per frame, "<start> <interval>", the start in
// milliseconds of the monotonic clock (CLOCK_MONOTONIC, shared by every
// process) and the interval since the previous frame's start (0 for the first).
class FrameLog {
public:
    FrameLog() = default;
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // Truncates the file; false (logged) when it cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return file != nullptr; }
    void FrameStarted(double steadyMs);

private:
    std::FILE* file = nullptr;
    double lastStartMs = -1.0;
};

}  // namespace Quill
