#pragma once

#include <memory>
#include <vector>

#include "entity/EntityRef.h"
#include "tools/world/StillBlock.h"
#include "world/MapFormat.h"

class Tavin;

namespace ktool {

class DoorRecorder;

// The game's own collision code on a copy of a world, without video: the
// blocking table and quarter test of the world renderer, and the hero's probe
// test with push-blocks in its way.
class HeroProbe {
public:
    explicit HeroProbe(const MapFormat::MapData& map);
    ~HeroProbe();
    HeroProbe(const HeroProbe&) = delete;
    HeroProbe& operator=(const HeroProbe&) = delete;

    // The world as the game reads it; tools may rewrite cells (doors) on it.
    MapFormat::MapData& Map();
    // Whether the hero may stand with its box's top-left corner on the pixel.
    bool HeroFits(float x, float y);
    // The game's quarter test at a pixel.
    bool PixelBlocked(float x, float y) const;
    // The blocked quarters of a tile (bit 1 top-left, 2 top-right, 4 bottom-left, 8 bottom-right).
    int TileMask(int tile) const;
    // Puts an immovable push-block on the cell.
    void AddBlock(int column, int row);

    // A tile the game drew, by screen cell.
    struct DrawnTile {
        int tile, x, y;
    };
    // Has the game draw the doors of a room at rest: its door cells are
    // rewritten on Map() for the room's door states, and the door frames
    // drawn are returned.
    std::vector<DrawnTile> DrawDoors(int sx, int sy);

private:
    std::unique_ptr<DoorRecorder> world;
    EntityRef<Tavin> hero;
};

}  // namespace ktool
