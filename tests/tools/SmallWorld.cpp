#include "tests/tools/SmallWorld.h"

namespace smallworld {

using namespace MapFormat;

namespace {

constexpr uint8_t kGrass = 0, kBoulder = 1, kStairs = 64, kFloor = 160, kWall = 174;

void MakeField(MapData& map, int sx, int sy)
{
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x) {
            bool rim = x == 0 || y == 0 || x == kScreenColumns - 1 || y == kScreenRows - 1;
            Tile(map, sx, sy, x, y) = rim ? kBoulder : kGrass;
        }
    }
}

}  // namespace

uint8_t& Tile(MapData& map, int sx, int sy, int x, int y)
{
    return map.Cell(0, sx * kScreenColumns + x, sy * kScreenRows + y);
}

int TargetOf(int sx, int sy, int x, int y)
{
    return (sy * kScreenRows + y) * kColumns + sx * kScreenColumns + x;
}

void MakeRoom(MapData& map, int sx, int sy)
{
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x) {
            bool floor = x >= 2 && x <= 13 && y >= 2 && y <= 8;
            Tile(map, sx, sy, x, y) = floor ? kFloor : kWall;
        }
    }
    map.Screen(sx, sy).isDungeonRoom = 1;
}

void SetDoor(MapData& map, int sx, int sy, int side, int state)
{
    struct Layout {
        int cells[2][2];
        int count;
        int frames[2][2];
        uint8_t frame;
        uint8_t open[2], shut[2], locked[2];
    };
    static const Layout kLayouts[4] = {
        {{{7, 1}, {8, 1}}, 2, {{7, 0}, {8, 0}}, 122, {168, 169}, {152, 153}, {136, 137}},
        {{{7, 9}, {8, 9}}, 2, {{7, 10}, {8, 10}}, 123, {170, 171}, {154, 155}, {138, 139}},
        {{{14, 5}}, 1, {{15, 5}}, 120, {172}, {156}, {140}},
        {{{1, 5}}, 1, {{0, 5}}, 121, {173}, {157}, {141}},
    };
    const Layout& l = kLayouts[side];
    map.Screen(sx, sy).doors[side] = state;
    for (int i = 0; i < l.count; ++i) {
        uint8_t tile = state == DOOR_OPEN                          ? l.open[i]
                       : state == DOOR_PUSH || state == DOOR_CLEAR ? l.shut[i]
                       : state == DOOR_LOCKED                      ? l.locked[i]
                                                                   : kWall;
        Tile(map, sx, sy, l.cells[i][0], l.cells[i][1]) = tile;
        Tile(map, sx, sy, l.frames[i][0], l.frames[i][1]) = state == DOOR_NONE ? kWall : l.frame;
    }
}

MapData Make()
{
    MapData map;
    MakeField(map, 7, 7);
    MakeField(map, 8, 7);
    for (int y = 3; y <= 7; ++y) {
        Tile(map, 7, 7, kScreenColumns - 1, y) = kGrass;
        Tile(map, 8, 7, 0, y) = kGrass;
    }
    Tile(map, 8, 7, kStairsX, kStairsY) = kStairs;
    ScreenInfo& field = map.Screen(8, 7);
    field.stairsTarget = TargetOf(7, 20, 7, 7);
    field.spawnRange[0][0] = 1;
    field.spawnRange[0][1] = 2;

    MakeRoom(map, 7, 20);
    MakeRoom(map, 7, 19);
    MakeRoom(map, 7, 18);
    ScreenInfo& entry = map.Screen(7, 20);
    entry.exitSouthReturns = 1;
    entry.spawnRange[11][0] = 1;
    entry.spawnRange[11][1] = 1;
    // The way back up: a gap in the south walls.
    for (int x = 7; x <= 8; ++x) {
        Tile(map, 7, 20, x, 9) = kFloor;
        Tile(map, 7, 20, x, 10) = 123;
    }
    SetDoor(map, 7, 20, DOOR_NORTH, DOOR_OPEN);
    SetDoor(map, 7, 19, DOOR_SOUTH, DOOR_OPEN);
    SetDoor(map, 7, 19, DOOR_NORTH, DOOR_PUSH);
    SetDoor(map, 7, 18, DOOR_SOUTH, DOOR_PUSH);
    map.Cell(1, 7 * kScreenColumns + kBlockX, 19 * kScreenRows + kBlockY) = 16;
    return map;
}

}  // namespace smallworld
