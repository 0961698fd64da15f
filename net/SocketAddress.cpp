#include <cstdio>
#include <cstring>

#include "net/Sockets.h"

bool SocketAddress::IsDottedQuad(const char* text)
{
    if (!text)
        return false;
    const size_t length = strnlen(text, 16);
    if (length > 15)
        return false;
    int dots = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '.')
            ++dots;
        else if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return dots == 3;
}

bool SocketAddress::ParseDottedQuad(const char* text)
{
    if (!IsDottedQuad(text))
        return false;
    uint8_t bytes[4];
    const char* p = text;
    for (uint8_t& byte : bytes) {
        unsigned value = 0;
        int digits = 0;
        for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
            value = value * 10 + unsigned(*p - '0');
            if (value > 255)
                return false;
        }
        if (digits == 0)
            return false;
        byte = uint8_t(value);
        if (*p == '.')
            ++p;
    }
    std::memcpy(&ip, bytes, 4);
    return true;
}

void SocketAddress::Format(char* out) const
{
    uint8_t b[4];
    std::memcpy(b, &ip, 4);
    std::snprintf(out, 16, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
}
