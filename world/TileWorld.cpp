#include <cmath>
#include <initializer_list>

#include "engine/QuillLogger.h"
#include "world/KarskRenderer.h"

using namespace MapFormat;

namespace {

constexpr uint8_t kOutsideTile = 255;        // fully blocked, and no walker may enter it
constexpr int kBlockRows = kRows * kLayers;  // the two layers drawn as one block of 660 rows

void SetFlags(uint8_t* flags, uint8_t mask, std::initializer_list<int> tiles)
{
    for (int t : tiles) flags[t] = mask;
}

void SetFlagRange(uint8_t* flags, uint8_t mask, int first, int last)
{
    for (int t = first; t <= last; ++t) flags[t] = mask;
}

}  // namespace

bool KarskRenderer::LoadMap(const char* path)
{
    MapData loaded;
    std::string error;
    if (!MapFormat::ReadFile(path, loaded, error)) {
        Quill::Logger()->Log("LoadMap: %s", error.c_str());
        return false;
    }
    map = std::move(loaded);
    openedDoors.clear();
    return true;
}

void KarskRenderer::InitTileFlags()
{
    for (auto& f : tileFlags) f = 0;
    SetFlags(tileFlags, 15, {1,  2,  7,  8,  17, 18, 23,  24,  33,  34,  39,  40,  59,
                             60, 63, 66, 67, 78, 79, 110, 111, 126, 127, 143, 166, 167});
    SetFlagRange(tileFlags, 15, 48, 56);
    SetFlagRange(tileFlags, 15, 92, 95);
    SetFlagRange(tileFlags, 15, 136, 141);
    SetFlagRange(tileFlags, 15, 150, 159);
    SetFlagRange(tileFlags, 15, 162, 164);
    SetFlagRange(tileFlags, 15, 174, 255);
    SetFlags(tileFlags, 7, {3, 19, 35});
    SetFlags(tileFlags, 11, {4, 20, 36});
    SetFlags(tileFlags, 13, {5, 21, 37});
    SetFlags(tileFlags, 14, {6, 22, 38});
    SetFlags(tileFlags, 5, {168, 170});
    SetFlags(tileFlags, 10, {169, 171});
    SetFlags(tileFlags, 3, {120, 121, 172, 173});
}

uint8_t KarskRenderer::GetMapTile(int column, int row, int layer) const
{
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows || layer < 0 || layer >= kLayers)
        return layer == 0 ? kOutsideTile : 0;
    return map.tiles[size_t(layer) * kLayerBytes + size_t(row) * kColumns + size_t(column)];
}

bool KarskRenderer::IsTileBlocked(uint8_t tile, int mask) const
{
    return (tileFlags[tile] & mask) != 0;
}

bool KarskRenderer::IsPointBlocked(Vec2 p) const
{
    // Rounded down so that a point left of or above the map reads off-map.
    float column = std::floor(p.x), row = std::floor(p.y);
    int mask = 1;
    if (p.x - column >= 0.5f)
        mask <<= 1;
    if (p.y - row >= 0.5f)
        mask <<= 2;
    return IsTileBlocked(GetMapTile(int(column), int(row), 0), mask);
}

bool KarskRenderer::IsScreenInGrid(int sx, int sy) const
{
    return sx >= 0 && sx < kScreenGridWidth && sy >= 0 && sy < kScreenGridHeight;
}

ScreenInfo* KarskRenderer::GetScreenInfo(int sx, int sy)
{
    if (!IsScreenInGrid(sx, sy)) {
        // Reset each time: a caller may have written to the last one handed out.
        outOfGridRecord = ScreenInfo();
        return &outOfGridRecord;
    }
    return &map.Screen(sx, sy);
}

void KarskRenderer::DrawMap(int sx, int sy, float fx, float fy)
{
    if (!(fx >= -1.0f && fx <= 1.0f && fy >= -1.0f && fy <= 1.0f) || !IsScreenInGrid(sx, sy))
        return;
    const float tx = std::floor(fx * 16.0f), ty = std::floor(fy * 11.0f);
    const float ox = (fx * 16.0f - tx) * 32.0f, oy = (fy * 11.0f - ty) * 32.0f;
    const long base = long(sx) * 16 + long(sy) * 11 * kColumns + long(ty) * kColumns + long(tx);
    const long blockSize = long(kBlockRows) * kColumns;
    for (int c = -1; c <= 16; ++c) {
        for (int r = -1; r <= 11; ++r) {
            // The block is addressed as one array, so a cell just off a row's
            // end reads the neighbouring row; cells before or after the whole
            // block are not drawn.
            long index = base + long(r) * kColumns + c;
            if (index < 0 || index >= blockSize)
                continue;
            DrawTile(0, map.tiles[size_t(index)], int(std::trunc(c * 32 - ox)),
                     int(std::trunc(r * 32 + 128 - oy)));
        }
    }
}
