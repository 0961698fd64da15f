#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A packet trace for debugging the link: one line per frame sent or
// received, with the time, the direction, the type, the payload length and
// the first payload bytes in hex.
class NetTrace {
public:
    NetTrace() = default;
    ~NetTrace();
    NetTrace(const NetTrace&) = delete;
    NetTrace& operator=(const NetTrace&) = delete;

    // Opens (truncating) the file; false, logged, when it cannot.
    bool Open(const std::string& path);
    void Record(double timeMs, bool sent, int32_t type, uint32_t length, const uint8_t* payload);
    // The line Record writes, without its newline.
    static std::string Format(double timeMs, bool sent, int32_t type, uint32_t length,
                              const uint8_t* payload);

    static constexpr uint32_t kBytesShown = 16;

private:
    std::FILE* file = nullptr;
    double origin = -1.0;  // the first frame's time: lines count from it
};
