#pragma once

#include <string>
#include <vector>

#include "world/MapFormat.h"

// A small world that passes the world checker, for tests that break one
// thing in it: the start screen 7,7 and its east neighbour 8,7 share an open
// edge (rows 3-7); stairs on 8,7 cell 8,3 lead to the entry room 7,20, which
// returns south and opens north into room 7,19; a push-block at cell 4,4 of
// 7,19 opens its north door to room 7,18 (state push on both sides).
namespace smallworld {

constexpr int kStairsX = 8, kStairsY = 3;  // on screen 8,7
constexpr int kBlockX = 4, kBlockY = 4;    // on screen 7,19

MapFormat::MapData Make();

// A layer-0 cell by screen and cell.
uint8_t& Tile(MapFormat::MapData& map, int sx, int sy, int x, int y);
// The global tile index of a screen's cell, as a stairs target holds it.
int TargetOf(int sx, int sy, int x, int y);
// A dungeon room: two wall rings around floor 160, no doors.
void MakeRoom(MapFormat::MapData& map, int sx, int sy);
// Sets a door's state and its cells and frame tiles as the game draws them
// (side 0 north, 1 south, 2 east, 3 west).
void SetDoor(MapFormat::MapData& map, int sx, int sy, int side, int state);

}  // namespace smallworld
