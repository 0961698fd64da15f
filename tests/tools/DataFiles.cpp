#include "tests/tools/DataFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace datatest {
namespace {

uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

}  // namespace

std::string DataPath(const std::string& name)
{
    return std::string(KARSK_TEST_DATA_DIR) + "/" + name;
}

bool ReadBytes(const std::string& path, std::vector<uint8_t>& out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + got);
    std::fclose(f);
    return true;
}

BmpInfo ReadBmpInfo(const std::string& path)
{
    BmpInfo info;
    std::vector<uint8_t> bytes;
    if (!ReadBytes(path, bytes) || bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M')
        return info;
    info.width = int(int32_t(U32(&bytes[18])));
    int32_t height = int32_t(U32(&bytes[22]));
    info.height = height < 0 ? -height : height;
    info.bitsPerPixel = U16(&bytes[28]);
    size_t rowBytes = (size_t(info.width) * size_t(info.bitsPerPixel) / 8 + 3) / 4 * 4;
    info.ok = U32(&bytes[10]) + rowBytes * size_t(info.height) <= bytes.size();
    return info;
}

BmpPixels ReadBmpPixels(const std::string& path)
{
    BmpPixels out;
    BmpInfo info = ReadBmpInfo(path);
    std::vector<uint8_t> bytes;
    if (!info.ok || (info.bitsPerPixel != 24 && info.bitsPerPixel != 32) || !ReadBytes(path, bytes))
        return out;
    bool bottomUp = int32_t(U32(&bytes[22])) > 0;
    size_t bpp = size_t(info.bitsPerPixel) / 8;
    size_t rowBytes = (size_t(info.width) * bpp + 3) / 4 * 4;
    size_t start = U32(&bytes[10]);
    out.width = info.width;
    out.height = info.height;
    out.rgb.resize(size_t(info.width) * size_t(info.height));
    for (int y = 0; y < info.height; ++y) {
        const uint8_t* row = &bytes[start + rowBytes * size_t(bottomUp ? info.height - 1 - y : y)];
        for (int x = 0; x < info.width; ++x) {
            const uint8_t* p = row + bpp * size_t(x);
            out.rgb[size_t(y) * size_t(info.width) + size_t(x)] =
                uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    }
    out.ok = true;
    return out;
}

WavInfo ReadWav(const std::string& path)
{
    WavInfo info;
    std::vector<uint8_t> b;
    if (!ReadBytes(path, b)) {
        info.error = "cannot read " + path;
        return info;
    }
    if (b.size() < 12 || std::memcmp(&b[0], "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) {
        info.error = "not a RIFF WAVE file";
        return info;
    }
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint32_t size = U32(&b[at + 4]);
        size_t body = at + 8;
        if (body + size > b.size()) {
            info.error = "chunk runs past the end";
            return info;
        }
        if (std::memcmp(&b[at], "fmt ", 4) == 0 && size >= 16) {
            if (U16(&b[body]) != 1) {
                info.error = "not PCM";
                return info;
            }
            info.channels = U16(&b[body + 2]);
            info.sampleRate = int(U32(&b[body + 4]));
            info.bitsPerSample = U16(&b[body + 14]);
            haveFormat = true;
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            if (!haveFormat) {
                info.error = "data before fmt";
                return info;
            }
            for (size_t i = 0; i + 1 < size; i += 2) info.samples.push_back(int16_t(U16(&b[body + i])));
            info.ok = true;
            return info;
        }
        at = body + size + (size & 1);
    }
    info.error = "no data chunk";
    return info;
}

std::string UniqueTempPath(const std::string& stem)
{
    static std::atomic<int> counter{0};
    return testing::TempDir() + "karsk_" + stem + "_" + std::to_string(getpid()) + "_" +
           std::to_string(counter++);
}

}  // namespace datatest
