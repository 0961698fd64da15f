#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The world file: two tile layers of 256 × 330 bytes, then one 176-byte
// record per screen of a 16 × 38 grid. No header; integers little-endian.
namespace MapFormat {

constexpr int kColumns = 256;
constexpr int kRows = 330;
constexpr int kLayers = 2;
constexpr int kLayerBytes = kColumns * kRows;  // 84480
constexpr int kTileBytes = kLayerBytes * kLayers;
constexpr int kScreenColumns = 16;  // tiles per screen across
constexpr int kScreenRows = 11;     // tiles per screen down
constexpr int kScreenGridWidth = 16;
constexpr int kScreenGridHeight = 38;
constexpr int kScreenCount = kScreenGridWidth * kScreenGridHeight;  // 608
constexpr int kScreenRecordBytes = 176;
constexpr size_t kFileBytes = size_t(kTileBytes) + size_t(kScreenCount) * kScreenRecordBytes;  // 275968
constexpr int kSpawnTypes = 64;

enum DoorState { DOOR_NONE = 0, DOOR_OPEN = 1, DOOR_PUSH = 2, DOOR_CLEAR = 3, DOOR_LOCKED = 4 };
enum DoorSide { DOOR_NORTH = 0, DOOR_SOUTH = 1, DOOR_EAST = 2, DOOR_WEST = 3 };

}  // namespace MapFormat

// One screen's record. Reserved bytes are kept so that a file read and written
// again is byte-identical.
struct ScreenInfo {
    int32_t stairsTarget = 0;  // global tile index (row * 256 + column) the stairs lead to
    uint8_t reserved0[5] = {};
    int8_t spawnRange[MapFormat::kSpawnTypes][2] = {};  // per spawn type: minimum, maximum
    uint8_t reserved1 = 0;
    uint8_t exitSouthReturns = 0;
    uint8_t isDungeonRoom = 0;
    uint8_t reserved2[20] = {};
    int32_t doors[4] = {};  // north, south, east, west

    int SpawnMin(int type) const { return spawnRange[type][0]; }
    int SpawnMax(int type) const { return spawnRange[type][1]; }
};

namespace MapFormat {

void DecodeScreenInfo(const uint8_t* bytes, ScreenInfo& out);
void EncodeScreenInfo(const ScreenInfo& in, uint8_t* bytes);

struct MapData {
    std::vector<uint8_t> tiles = std::vector<uint8_t>(kTileBytes, 0);  // layer 0 then layer 1
    std::vector<ScreenInfo> screens = std::vector<ScreenInfo>(kScreenCount);

    uint8_t& Cell(int layer, int column, int row)
    {
        return tiles[size_t(layer) * kLayerBytes + size_t(row) * kColumns + size_t(column)];
    }
    ScreenInfo& Screen(int sx, int sy) { return screens[size_t(sy) * kScreenGridWidth + size_t(sx)]; }
};

// False with a reason when the byte count is not exactly the file size.
bool Decode(const uint8_t* bytes, size_t size, MapData& out, std::string& error);
std::vector<uint8_t> Encode(const MapData& map);

// Whole-file helpers; errors name the file.
bool ReadFile(const std::string& path, MapData& out, std::string& error);
bool WriteFile(const std::string& path, const MapData& map, std::string& error);

}  // namespace MapFormat
