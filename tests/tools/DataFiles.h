#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Helpers for tests that inspect the generated data files.
namespace datatest {

std::string DataPath(const std::string& name);
bool ReadBytes(const std::string& path, std::vector<uint8_t>& out);

struct BmpInfo {
    bool ok = false;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};
BmpInfo ReadBmpInfo(const std::string& path);

// A decoded 24- or 32-bit BMP as 0xRRGGBB values, top row first.
struct BmpPixels {
    bool ok = false;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
    uint32_t At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};
BmpPixels ReadBmpPixels(const std::string& path);
constexpr uint32_t kMagenta = 0xFF00FF;

struct WavInfo {
    bool ok = false;
    std::string error;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::vector<int16_t> samples;
};
WavInfo ReadWav(const std::string& path);

// A fresh path under the test temp directory that no other test uses.
std::string UniqueTempPath(const std::string& stem);

}  // namespace datatest
