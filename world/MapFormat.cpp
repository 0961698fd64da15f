#include "world/MapFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace MapFormat {
namespace {

int32_t ReadI32(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

void WriteI32(uint8_t* p, int32_t value)
{
    uint32_t v = uint32_t(value);
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

}  // namespace

void DecodeScreenInfo(const uint8_t* bytes, ScreenInfo& out)
{
    out.stairsTarget = ReadI32(bytes + 0);
    std::memcpy(out.reserved0, bytes + 4, sizeof out.reserved0);
    for (int t = 0; t < kSpawnTypes; ++t) {
        out.spawnRange[t][0] = int8_t(bytes[9 + 2 * t]);
        out.spawnRange[t][1] = int8_t(bytes[10 + 2 * t]);
    }
    out.reserved1 = bytes[137];
    out.exitSouthReturns = bytes[138];
    out.isDungeonRoom = bytes[139];
    std::memcpy(out.reserved2, bytes + 140, sizeof out.reserved2);
    for (int d = 0; d < 4; ++d) out.doors[d] = ReadI32(bytes + 160 + 4 * d);
}

void EncodeScreenInfo(const ScreenInfo& in, uint8_t* bytes)
{
    WriteI32(bytes + 0, in.stairsTarget);
    std::memcpy(bytes + 4, in.reserved0, sizeof in.reserved0);
    for (int t = 0; t < kSpawnTypes; ++t) {
        bytes[9 + 2 * t] = uint8_t(in.spawnRange[t][0]);
        bytes[10 + 2 * t] = uint8_t(in.spawnRange[t][1]);
    }
    bytes[137] = in.reserved1;
    bytes[138] = in.exitSouthReturns;
    bytes[139] = in.isDungeonRoom;
    std::memcpy(bytes + 140, in.reserved2, sizeof in.reserved2);
    for (int d = 0; d < 4; ++d) WriteI32(bytes + 160 + 4 * d, in.doors[d]);
}

bool Decode(const uint8_t* bytes, size_t size, MapData& out, std::string& error)
{
    if (size != kFileBytes) {
        error = "expected " + std::to_string(kFileBytes) + " bytes, found " + std::to_string(size);
        return false;
    }
    out.tiles.assign(bytes, bytes + kTileBytes);
    out.screens.resize(kScreenCount);
    for (int i = 0; i < kScreenCount; ++i)
        DecodeScreenInfo(bytes + kTileBytes + size_t(i) * kScreenRecordBytes, out.screens[size_t(i)]);
    return true;
}

std::vector<uint8_t> Encode(const MapData& map)
{
    std::vector<uint8_t> bytes(kFileBytes, 0);
    std::memcpy(bytes.data(), map.tiles.data(), kTileBytes);
    for (int i = 0; i < kScreenCount; ++i)
        EncodeScreenInfo(map.screens[size_t(i)], bytes.data() + kTileBytes + size_t(i) * kScreenRecordBytes);
    return bytes;
}

bool ReadFile(const std::string& path, MapData& out, std::string& error)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    // Read one byte more than a map holds so that an overlong file is caught.
    std::vector<uint8_t> bytes(kFileBytes + 1);
    size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) {
        error = path + ": read error";
        return false;
    }
    std::string why;
    if (!Decode(bytes.data(), got, out, why)) {
        error = path + ": not a map file: " +
                (got > kFileBytes ? "longer than " + std::to_string(kFileBytes) + " bytes" : why);
        return false;
    }
    return true;
}

bool WriteFile(const std::string& path, const MapData& map, std::string& error)
{
    std::vector<uint8_t> bytes = Encode(map);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = path + ": cannot create: " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok)
        error = path + ": write failed";
    return ok;
}

}  // namespace MapFormat
