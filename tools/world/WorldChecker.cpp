#include "tools/world/WorldChecker.h"

#include "tools/world/ScreenProperties.h"

namespace ktool {

using namespace MapFormat;

const WorldChecker::Side WorldChecker::kSides[4] = {
    {"north", 0, -1, 1},
    {"south", 0, 1, 0},
    {"east", 1, 0, 3},
    {"west", -1, 0, 2},
};

namespace {

constexpr int kTileScreenRows = kRows / kScreenRows;  // screen rows that have tiles
constexpr int kNerritType = 6;
constexpr int kWaterTile = 48;
constexpr int kPushBlockType = 30;
constexpr int kNothingType = 50;

// The tiles the game's RandomFreeTile accepts for a new enemy.
bool IsSpawnTile(int tile)
{
    return tile == 0 || tile == 16 || tile == 32 || tile == 64 || tile == 145 || tile == 160 || tile == 161;
}

}  // namespace

WorldChecker::WorldChecker(const MapData& world) : map(world), probe(world) {}

const ScreenInfo& WorldChecker::Info(int sx, int sy) const
{
    return map.screens[size_t(sy * kScreenGridWidth + sx)];
}

int WorldChecker::Tile(int sx, int sy, int x, int y) const
{
    return map.tiles[size_t(sy * kScreenRows + y) * kColumns + size_t(sx * kScreenColumns + x)];
}

int WorldChecker::Marker(int sx, int sy, int x, int y) const
{
    return map.tiles[size_t(kLayerBytes) + size_t(sy * kScreenRows + y) * kColumns +
                     size_t(sx * kScreenColumns + x)];
}

bool WorldChecker::IsDesigned(int sx, int sy) const
{
    if (sx < 0 || sy < 0 || sx >= kScreenGridWidth || sy >= kTileScreenRows)
        return false;
    if (!ScreenProperties::IsZero(Info(sx, sy)))
        return true;
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x) {
            if (Tile(sx, sy, x, y) != 0 || Marker(sx, sy, x, y) != 0)
                return true;
        }
    }
    return false;
}

bool WorldChecker::IsRoom(int sx, int sy) const
{
    return IsDesigned(sx, sy) && Info(sx, sy).isDungeonRoom != 0;
}

std::string WorldChecker::Where(int sx, int sy)
{
    return "screen " + std::to_string(sx) + "," + std::to_string(sy);
}

std::string WorldChecker::Where(int sx, int sy, int x, int y)
{
    return Where(sx, sy) + " cell " + std::to_string(x) + "," + std::to_string(y);
}

void WorldChecker::Report(const std::string& message)
{
    if (reported.insert(message).second)
        problems.push_back(message);
}

std::vector<std::string> WorldChecker::Check()
{
    problems.clear();
    reported.clear();
    CheckRecordsBelowTiles();
    // The door cells as the game draws them come first: later checks walk
    // through the doors.
    for (int sy = 0; sy < kTileScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (IsRoom(sx, sy))
                CheckDoors(sx, sy);
        }
    }
    OpenAllDoors();
    for (int sy = 0; sy < kTileScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (IsDesigned(sx, sy))
                CheckPushBlocks(sx, sy);
        }
    }
    CheckStart();
    for (int sy = 0; sy < kTileScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (!IsDesigned(sx, sy))
                continue;
            CheckEdges(sx, sy);
            CheckSpawns(sx, sy);
            CheckStairs(sx, sy);
            if (Info(sx, sy).exitSouthReturns)
                CheckReturn(sx, sy);
            if (IsRoom(sx, sy)) {
                for (int side = 0; side < 4; ++side) {
                    if (Info(sx, sy).doors[side] > DOOR_NONE)
                        CheckDoorPassage(sx, sy, side);
                }
                CheckPushDoors(sx, sy);
                CheckClearDoors(sx, sy);
            }
        }
    }
    CheckKeys();
    CheckReachable();
    return problems;
}

void WorldChecker::CheckRecordsBelowTiles()
{
    for (int sy = kTileScreenRows; sy < kScreenGridHeight; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (!ScreenProperties::IsZero(Info(sx, sy)))
                Report(Where(sx, sy) + ": has a record, but the map has tiles only for screen rows 0-29");
        }
    }
}

void WorldChecker::CheckStart()
{
    if (!IsOverworld(kStartScreenX, kStartScreenY)) {
        Report(Where(kStartScreenX, kStartScreenY) + ": the start screen must be an overworld screen");
        return;
    }
    const struct {
        const char* who;
        int column;
    } heroes[2] = {{"host", kHostColumn}, {"second", kGuestColumn}};
    for (const auto& h : heroes) {
        if (!probe.HeroFits(float(h.column * 32), float(kStartRow * 32)))
            Report(Where(kStartScreenX, kStartScreenY, h.column % kScreenColumns, kStartRow % kScreenRows) +
                   ": the " + h.who + " hero starts here, but the hero does not fit (tile " +
                   std::to_string(map.Cell(0, h.column, kStartRow)) + ")");
    }
    // The heroes' first steps right and up from the start must not meet a
    // wall, even in a corner of a tile.
    for (int row = kStartRow - kClearingRows + 1; row <= kStartRow; ++row) {
        for (int column = kGuestColumn; column <= kHostColumn + kClearingRight; ++column) {
            int tile = map.Cell(0, column, row);
            if (probe.TileMask(tile) != 0)
                Report(Where(kStartScreenX, kStartScreenY, column % kScreenColumns, row % kScreenRows) +
                       ": holds tile " + std::to_string(tile) +
                       ", but the clearing around the start (cells " +
                       std::to_string(kGuestColumn % kScreenColumns) + "-" +
                       std::to_string((kHostColumn + kClearingRight) % kScreenColumns) + ", " +
                       std::to_string((kStartRow - kClearingRows + 1) % kScreenRows) + "-" +
                       std::to_string(kStartRow % kScreenRows) + ") must be free ground");
        }
    }
    const ScreenInfo& start = Info(kStartScreenX, kStartScreenY);
    for (int t = 0; t < kSpawnTypes; ++t) {
        if (start.SpawnMax(t) > 0 && t != kNothingType) {
            Report(Where(kStartScreenX, kStartScreenY) + ": the start screen spawns " +
                   ScreenProperties::SpawnPropertyName(t).substr(6) + "; it must stay free of enemies");
            break;
        }
    }
}

void WorldChecker::CheckSpawns(int sx, int sy)
{
    const ScreenInfo& info = Info(sx, sy);
    int total = 0;
    for (int t = 0; t < kSpawnTypes; ++t) {
        int lo = info.SpawnMin(t), hi = info.SpawnMax(t);
        if (lo == 0 && hi == 0)
            continue;
        std::string name = ScreenProperties::SpawnPropertyName(t);
        if (lo < 0 || hi < 0 || lo > hi)
            Report(Where(sx, sy) + ": " + name + " " + std::to_string(lo) + "-" + std::to_string(hi) +
                   " is not a range from a minimum up to a maximum of 0 or more");
        if (t == kPushBlockType)
            Report(Where(sx, sy) + ": " + name +
                   " is placed by marker 16 in the markers layer, not by a spawn range");
        if (hi > 0)
            total += hi;
        if (t == kNerritType && hi > 0) {
            bool water = false;
            for (int y = 1; y <= 9; ++y) {
                for (int x = 1; x <= 14; ++x) water = water || Tile(sx, sy, x, y) == kWaterTile;
            }
            if (!water)
                Report(Where(sx, sy) +
                       ": Nerrits spawn here, but there is no water (tile 48) in columns 1-14, "
                       "rows 1-9 for them to surface in");
        }
    }
    if (total == 0)
        return;
    int free = 0;
    for (int y = 2; y <= 8; ++y) {
        for (int x = 2; x <= 13; ++x) free += IsSpawnTile(Tile(sx, sy, x, y)) ? 1 : 0;
    }
    if (free < total)
        Report(Where(sx, sy) + ": the spawn ranges allow " + std::to_string(total) +
               " enemies, but columns 2-13, rows 2-8 hold only " + std::to_string(free) +
               " tiles they may appear on (0, 16, 32, 64, 145, 160, 161)");
}

void WorldChecker::CheckKeys()
{
    std::vector<std::string> locked;
    for (int sy = 0; sy < kTileScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (!IsRoom(sx, sy))
                continue;
            // Counted from the north and west side of each doorway only, so
            // a doorway is counted once; a key opens both of its sides.
            for (int side : {0, 3}) {
                const Side& s = kSides[side];
                bool here = Info(sx, sy).doors[side] == DOOR_LOCKED;
                bool there = IsRoom(sx + s.dx, sy + s.dy) &&
                             Info(sx + s.dx, sy + s.dy).doors[s.opposite] == DOOR_LOCKED;
                if (here || there)
                    locked.push_back(Where(sx, sy) + " " + s.name);
            }
            for (int side : {1, 2}) {
                const Side& s = kSides[side];
                if (Info(sx, sy).doors[side] == DOOR_LOCKED && !IsRoom(sx + s.dx, sy + s.dy))
                    locked.push_back(Where(sx, sy) + " " + s.name);
            }
        }
    }
    if (int(locked.size()) <= kKeys)
        return;
    std::string list;
    for (const std::string& door : locked) list += (list.empty() ? "" : "; ") + door;
    Report("the world has " + std::to_string(locked.size()) + " locked doors (" + list +
           "), but each hero starts with " + std::to_string(kKeys) + " keys and nothing gives more");
}

}  // namespace ktool
