#pragma once

#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

#include "engine/Singleton.h"

namespace Quill {

// Writes printf-style lines to standard error and, once a file is opened, to
// the log file. The most recent lines are kept in memory so that tests and the
// on-screen message can read them back.
class CQuillLogger {
public:
    CQuillLogger();
    ~CQuillLogger();

    // One line; a trailing newline in the message is dropped. The log file
    // gets a time stamp (seconds since start) in front of each line.
    bool Log(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    // Opens (truncating) the log file; an empty path closes it.
    bool OpenFile(const std::string& path);
    void SetEchoToStderr(bool echo) { echoToStderr = echo; }

    const std::deque<std::string>& RecentLines() const { return recent; }
    bool Contains(const std::string& fragment) const;
    void ClearRecent() { recent.clear(); }

    static constexpr size_t kRecentLimit = 512;

private:
    std::FILE* file = nullptr;
    bool echoToStderr = true;
    std::deque<std::string> recent;
    // The sound layer may log from its audio thread.
    mutable std::mutex mutex;
    double startSeconds = 0.0;
};

inline CQuillLogger* Logger()
{
    return CSingleton<CQuillLogger>::Instance();
}

}  // namespace Quill
