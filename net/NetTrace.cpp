#include "net/NetTrace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/QuillLogger.h"

NetTrace::~NetTrace()
{
    if (file)
        std::fclose(file);
}

bool NetTrace::Open(const std::string& path)
{
    if (file)
        std::fclose(file);
    file = std::fopen(path.c_str(), "w");
    if (!file) {
        Quill::Logger()->Log("cannot write the packet trace %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    std::fputs("# time_ms dir type length first_bytes\n", file);
    return true;
}

std::string NetTrace::Format(double timeMs, bool sent, int32_t type, uint32_t length, const uint8_t* payload)
{
    char head[64];
    std::snprintf(head, sizeof head, "%.3f %s %d %u", timeMs, sent ? "send" : "recv", int(type),
                  unsigned(length));
    std::string line = head;
    const uint32_t shown = payload ? std::min(length, kBytesShown) : 0;
    if (shown > 0)
        line += ' ';
    for (uint32_t i = 0; i < shown; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", unsigned(payload[i]));
        line += hex;
    }
    if (length > shown && shown > 0)
        line += "..";
    return line;
}

void NetTrace::Record(double timeMs, bool sent, int32_t type, uint32_t length, const uint8_t* payload)
{
    if (!file)
        return;
    if (origin < 0.0)
        origin = timeMs;
    const std::string line = Format(timeMs - origin, sent, type, length, payload);
    std::fputs(line.c_str(), file);
    std::fputc('\n', file);
    std::fflush(file);
}
