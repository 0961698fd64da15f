#include "entity/Entity.h"
#include "tools/world/ScreenProperties.h"
#include "tools/world/WorldChecker.h"

namespace ktool {

using namespace MapFormat;

namespace {

constexpr int kScreenWidthPx = kScreenColumns * 32;
constexpr int kScreenHeightPx = kScreenRows * 32;
constexpr int kStairsTile = 64;
constexpr int kPushBlockMarker = 16;
const char* const kDirectionNames[4] = {"up", "down", "left", "right"};
const int kDirectionStep[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};

}  // namespace

void WorldChecker::CheckDoors(int sx, int sy)
{
    const ScreenInfo& info = Info(sx, sy);
    for (int side = 0; side < 4; ++side) {
        int state = info.doors[side];
        if (state == DOOR_NONE)
            continue;
        const Side& s = kSides[side];
        const int nx = sx + s.dx, ny = sy + s.dy;
        const std::string door =
            std::string("the ") + s.name + " door (" + ScreenProperties::DoorStateName(state) + ")";
        if (!IsRoom(nx, ny)) {
            Report(Where(sx, sy) + ": " + door + " leads to " + Where(nx, ny) +
                   ", which is not a dungeon room");
            continue;
        }
        int other = Info(nx, ny).doors[s.opposite];
        if (other != state)
            Report(Where(sx, sy) + ": " + door + " faces the " + kSides[s.opposite].name + " door of " +
                   Where(nx, ny) + ", which is " + ScreenProperties::DoorStateName(other) +
                   "; both sides of a doorway carry the same state");
    }
    // The game rewrites door cells every frame and draws the frames over the
    // wall; the terrain must already show the same, as it does while the
    // screen scrolls.
    MapData& world = probe.Map();
    std::vector<uint8_t> before;
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x)
            before.push_back(world.Cell(0, sx * kScreenColumns + x, sy * kScreenRows + y));
    }
    std::vector<HeroProbe::DrawnTile> frames = probe.DrawDoors(sx, sy);
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x) {
            int now = world.Cell(0, sx * kScreenColumns + x, sy * kScreenRows + y);
            int was = before[size_t(y * kScreenColumns + x)];
            if (now != was)
                Report(Where(sx, sy, x, y) + ": holds tile " + std::to_string(was) +
                       ", but the door state there makes the game draw tile " + std::to_string(now));
        }
    }
    for (const HeroProbe::DrawnTile& frame : frames) {
        if (frame.x < 0 || frame.y < 0 || frame.x >= kScreenColumns || frame.y >= kScreenRows)
            continue;
        int held = Tile(sx, sy, frame.x, frame.y);
        if (held != frame.tile)
            Report(Where(sx, sy, frame.x, frame.y) + ": holds tile " + std::to_string(held) +
                   ", but the game draws the door frame " + std::to_string(frame.tile) + " there");
    }
}

void WorldChecker::OpenAllDoors()
{
    MapData& world = probe.Map();
    for (int sy = 0; sy < kRows / kScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (!IsRoom(sx, sy))
                continue;
            ScreenInfo& info = world.Screen(sx, sy);
            for (int32_t& door : info.doors) door = door > DOOR_NONE ? DOOR_OPEN : door;
            probe.DrawDoors(sx, sy);
        }
    }
}

// Through an open doorway from the floor of one room to the floor of the next.
void WorldChecker::CheckDoorPassage(int sx, int sy, int side)
{
    const Side& s = kSides[side];
    const int nx = sx + s.dx, ny = sy + s.dy;
    if ((side != 0 && side != 3) || !IsRoom(nx, ny) || Info(nx, ny).doors[s.opposite] == DOOR_NONE)
        return;
    float x, y;
    int steps;
    if (side == 0) {
        x = float(sx * kScreenWidthPx + 7 * 32 + 16);
        y = float(sy * kScreenHeightPx + 2 * 32);
        steps = (2 * 32 + kScreenHeightPx - 8 * 32) / 16;
    } else {
        x = float(sx * kScreenWidthPx + 2 * 32);
        y = float(sy * kScreenHeightPx + 5 * 32);
        steps = (2 * 32 + kScreenWidthPx - 13 * 32) / 16;
    }
    for (int i = 0; i <= steps; ++i) {
        if (probe.HeroFits(x, y)) {
            (side == 0 ? y : x) -= 16.0f;
            continue;
        }
        int column = int(x + 16.0f) / 32, row = int(y + 24.0f) / 32;
        Report(Where(sx, sy) + ": the hero cannot pass the open " + s.name + " door into " + Where(nx, ny) +
               "; its feet stop at " +
               Where(column / kScreenColumns, row / kScreenRows, column % kScreenColumns, row % kScreenRows));
        return;
    }
}

void WorldChecker::CheckStairs(int sx, int sy)
{
    const ScreenInfo& info = Info(sx, sy);
    int stairsX = -1, stairsY = -1;
    for (int y = 0; y < kScreenRows && stairsX < 0; ++y) {
        for (int x = 0; x < kScreenColumns && stairsX < 0; ++x) {
            if (Tile(sx, sy, x, y) == kStairsTile) {
                stairsX = x;
                stairsY = y;
            }
        }
    }
    if (stairsX < 0) {
        if (info.stairsTarget != 0)
            Report(Where(sx, sy) + ": has a stairsTarget but no stairs tile (64)");
        return;
    }
    const std::string stairs = Where(sx, sy, stairsX, stairsY) + ": ";
    if (info.stairsTarget <= 0 || info.stairsTarget >= kColumns * kRows) {
        Report(stairs + "stairs, but the screen has no stairsTarget in the map");
        return;
    }
    const int column = info.stairsTarget % kColumns, row = info.stairsTarget / kColumns;
    const Vec2 landing(float(column * 32 + 16), float(row * 32));
    const Vec2 screen = ScreenOfTile(TileOfPosition(landing));
    const int lx = int(screen.x), ly = int(screen.y);
    const std::string where =
        Where(column / kScreenColumns, row / kScreenRows, column % kScreenColumns, row % kScreenRows);
    if (!IsRoom(lx, ly)) {
        Report(stairs + "the stairs land at " + where + ", which is not in a dungeon room");
        return;
    }
    if (!probe.HeroFits(landing.x, landing.y))
        Report(stairs + "the stairs land at " + where +
               " and the cell to its right, where the hero does not fit");
    if (!Info(lx, ly).exitSouthReturns)
        Report(stairs + "the stairs land in " + Where(lx, ly) +
               ", which does not lead back up (exitSouthReturns is not set)");
    // Only a scroll fills a screen with its enemies and push-blocks, so a
    // room entered by stairs stands empty: its clear doors would open at
    // once and its blocks would be missing.
    for (int side = 0; side < 4; ++side) {
        if (Info(lx, ly).doors[side] == DOOR_CLEAR)
            Report(stairs + "the stairs land in " + Where(lx, ly) + ", whose " + kSides[side].name +
                   " door opens when the room is clear; arriving by stairs does not bring its enemies, so it "
                   "would "
                   "open at once");
    }
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x) {
            if (Marker(lx, ly, x, y) == kPushBlockMarker)
                Report(stairs + "the stairs land in " + Where(lx, ly) + ", which has a push-block at cell " +
                       std::to_string(x) + "," + std::to_string(y) +
                       "; arriving by stairs does not place it (put it in another room)");
        }
    }
}

void WorldChecker::CheckReturn(int sx, int sy)
{
    if (!IsRoom(sx, sy)) {
        Report(Where(sx, sy) + ": exitSouthReturns is set, but only dungeon rooms lead back up the stairs");
        return;
    }
    const float edge = float((sy + 1) * kScreenHeightPx);
    for (int k = 0; k + 1 < 2 * kScreenColumns; ++k) {
        const float x = float(sx * kScreenWidthPx + 16 * k);
        if (probe.HeroFits(x, edge - 32.0f) && probe.HeroFits(x, edge - 16.0f))
            return;
    }
    Report(Where(sx, sy) +
           ": leads back up the stairs across its south edge, but no gap lets the hero's feet cross it "
           "(the wall, or row 0 of the screen below, blocks)");
}

void WorldChecker::CheckPushBlocks(int sx, int sy)
{
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x) {
            if (Marker(sx, sy, x, y) == kPushBlockMarker)
                probe.AddBlock(sx * kScreenColumns + x, sy * kScreenRows + y);
        }
    }
    MapData& world = probe.Map();
    for (int y = 0; y < kScreenRows; ++y) {
        for (int x = 0; x < kScreenColumns; ++x) {
            if (Marker(sx, sy, x, y) != kPushBlockMarker)
                continue;
            const std::string here = Where(sx, sy, x, y) + ": ";
            const int column = sx * kScreenColumns + x, row = sy * kScreenRows + y;
            int under = world.Cell(0, column, row);
            if (probe.TileMask(under) != 0)
                Report(here + "a push-block stands on tile " + std::to_string(under) + ", which blocks");
            PushPlace place{sx, sy, x, y, {}};
            std::string refused;
            for (int d = 0; d < 4; ++d) {
                const int fromC = column - kDirectionStep[d][0], fromR = row - kDirectionStep[d][1];
                const int toC = column + kDirectionStep[d][0], toR = row + kDirectionStep[d][1];
                if (fromC < 0 || fromR < 0 || toC < 0 || toR < 0 || fromC >= kColumns || toC >= kColumns ||
                    fromR >= kRows || toR >= kRows || !probe.HeroFits(float(fromC * 32), float(fromR * 32)))
                    continue;
                if (world.Cell(1, toC, toR) != 0) {
                    refused +=
                        std::string(refused.empty() ? "" : ", ") + kDirectionNames[d] + " onto a marker";
                    continue;
                }
                int target = world.Cell(0, toC, toR);
                if (probe.TileMask(target) != 0) {
                    Report(here + "the hero can push this block " + kDirectionNames[d] + " into tile " +
                           std::to_string(target) + " at cell " + std::to_string(toC % kScreenColumns) + "," +
                           std::to_string(toR % kScreenRows) +
                           "; a block may slide only onto free ground (or put a marker there)");
                    continue;
                }
                place.pushFrom.push_back({fromC, fromR});
            }
            if (place.pushFrom.empty())
                Report(here +
                       "the push-block cannot be pushed anywhere: the hero has no free cell beside it "
                       "with free ground and no marker on the far side" +
                       (refused.empty() ? std::string() : " (" + refused + ")"));
            blocks.push_back(place);
        }
    }
}

void WorldChecker::CheckPushDoors(int sx, int sy)
{
    auto pushDoors = [this](int x, int y) {
        int n = 0;
        for (int32_t door : Info(x, y).doors) n += door == DOOR_PUSH ? 1 : 0;
        return n;
    };
    auto pushable = [this](int x, int y) {
        int n = 0;
        for (const PushPlace& b : blocks) n += b.sx == x && b.sy == y && !b.pushFrom.empty() ? 1 : 0;
        return n;
    };
    const int own = pushDoors(sx, sy);
    for (int side = 0; side < 4; ++side) {
        if (Info(sx, sy).doors[side] != DOOR_PUSH)
            continue;
        const Side& s = kSides[side];
        const int nx = sx + s.dx, ny = sy + s.dy;
        bool opened =
            pushable(sx, sy) >= own || (IsRoom(nx, ny) && Info(nx, ny).doors[s.opposite] == DOOR_PUSH &&
                                        pushable(nx, ny) >= pushDoors(nx, ny));
        if (!opened)
            Report(Where(sx, sy) + ": the " + s.name +
                   " door opens when a block is pushed, but neither this room nor " + Where(nx, ny) +
                   " holds a push-block for each of its such doors");
    }
}

void WorldChecker::CheckClearDoors(int sx, int sy)
{
    const ScreenInfo& info = Info(sx, sy);
    int side = 0;
    while (side < 4 && info.doors[side] != DOOR_CLEAR) ++side;
    if (side == 4)
        return;
    int certain = 0;
    for (int t = 0; t < kSpawnTypes; ++t) {
        // Push-blocks and "nothing" are not enemies.
        if (t != 30 && t != 50 && info.SpawnMax(t) > 0 && info.SpawnMin(t) > 0)
            certain += info.SpawnMin(t);
    }
    if (certain == 0)
        Report(
            Where(sx, sy) + ": the " + kSides[side].name +
            " door opens when the room is clear of enemies, so the room must spawn at least one for certain "
            "(a spawn minimum of 1 or more)");
}

}  // namespace ktool
