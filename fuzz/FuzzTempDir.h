#pragma once

#include <ftw.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

inline int RemoveFuzzEntry(const char* path, const struct stat*, int, struct FTW*)
{
    return std::remove(path);
}

// A private folder under $TMPDIR (or /tmp) for loaders that only take a file
// name; made once per process and removed with what it holds at exit.
inline const std::string& FuzzTempDir()
{
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/karsk-fuzz-XXXXXX";
        if (!mkdtemp(&pattern[0])) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    static const bool cleanup =
        (std::atexit([] { nftw(dir.c_str(), RemoveFuzzEntry, 8, FTW_DEPTH | FTW_PHYS); }), true);
    (void)cleanup;
    return dir;
}

// Replaces `path` with the bytes.
inline void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}
