#pragma once

#include <cstdint>

namespace Quill {

// Window settings handed to Launch; zero it before filling it in.
struct LaunchContext {
    char title[64];
    void* instance;        // unused on this platform
    char commandLine[256];
    int32_t width;
    int32_t height;
    int32_t reserved;
    uint8_t flags;
};

}  // namespace Quill
