#pragma once

// The game's blocking rules for map tiles, mirrored here so the content tools
// can check that maps are walkable where they must be.
namespace ktool {

// Quarter bits of a tile's blocking mask.
enum : int { kBlockTopLeft = 1, kBlockTopRight = 2, kBlockBottomLeft = 4, kBlockBottomRight = 8 };
constexpr int kBlockAll = 15;

// Tile numbers with fixed meanings that the tools place or check.
enum : int {
    kTileStairs = 64,
    kTileFrameEast = 120,
    kTileFrameWest = 121,
    kTileFrameNorth = 122,
    kTileFrameSouth = 123,
    kTileFloor = 160,
};

int BlockMask(int tile);
bool EnemyWalkable(int tile);

}  // namespace ktool
