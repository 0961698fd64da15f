#include "engine/QuillLogger.h"

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <vector>

namespace Quill {

namespace {
double NowSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string FormatV(const char* fmt, va_list args)
{
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0) {
        return fmt;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        return std::string(small, static_cast<size_t>(n));
    }
    std::vector<char> big(static_cast<size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<size_t>(n));
}
}  // namespace

CQuillLogger::CQuillLogger() : startSeconds(NowSeconds()) {}

CQuillLogger::~CQuillLogger()
{
    if (file) {
        std::fclose(file);
    }
}

bool CQuillLogger::Log(const char* fmt, ...)
{
    if (!fmt) {
        return false;
    }
    va_list args;
    va_start(args, fmt);
    std::string line = FormatV(fmt, args);
    va_end(args);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }

    std::lock_guard<std::mutex> lock(mutex);
    if (echoToStderr) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (file) {
        std::fprintf(file, "%10.3f %s\n", NowSeconds() - startSeconds, line.c_str());
        std::fflush(file);
    }
    recent.push_back(line);
    while (recent.size() > kRecentLimit) {
        recent.pop_front();
    }
    return true;
}

bool CQuillLogger::OpenFile(const std::string& path)
{
    std::FILE* opened = nullptr;
    if (!path.empty()) {
        opened = std::fopen(path.c_str(), "w");
        if (!opened) {
            Log("log: cannot open %s: %s", path.c_str(), std::strerror(errno));
            return false;
        }
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (file) {
        std::fclose(file);
    }
    file = opened;
    return true;
}

bool CQuillLogger::Contains(const std::string& fragment) const
{
    std::lock_guard<std::mutex> lock(mutex);
    for (const std::string& line : recent) {
        if (line.find(fragment) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace Quill
