#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace netfault {

// What a running host shows of itself: whether its process lives, its frame
// log (--frame-log: "<start ms> <interval ms>" per frame) and its log file.
class HostWatch {
public:
    HostWatch(std::string frameLogPath, std::string logPath, pid_t pid)
        : frameLog(std::move(frameLogPath)), log(std::move(logPath)), hostPid(pid)
    {
    }

    bool Alive() const;
    // The longest frame among those that started between the two times
    // (monotonic ms), counting a frame still unfinished at `toMs` as lasting
    // until then; -1 when the frame log cannot be read.
    double LongestFrame(double fromMs, double toMs) const;
    // The log's length now: lines written later are read from there.
    long LogMark() const;
    std::vector<std::string> LogLinesSince(long mark) const;
    // The first line since `mark` holding `fragment`, or empty.
    std::string FindLine(long mark, const std::string& fragment) const;
    int CountLines(long mark, const std::string& fragment) const;
    // Waits until a line since `mark` holds `fragment`: true when one came.
    bool WaitForLine(long mark, const std::string& fragment, int timeoutMs) const;

private:
    std::string frameLog;
    std::string log;
    pid_t hostPid;
};

}  // namespace netfault
