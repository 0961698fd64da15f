#include <string>

#include "tools/common/TileRules.h"
#include "tools/world/WorldSource.h"

namespace ktool {
namespace {

constexpr int W = MapFormat::kScreenColumns;
constexpr int H = MapFormat::kScreenRows;

struct Cell {
    int x, y;
};

struct DoorSideInfo {
    char mark;
    Cell cells[2];
    int cellCount;
    Cell frames[2];
    int frameTile;
    int open[2], locked[2], shut[2];
    int opposite;
    int dx, dy;
};

// Where each side's door and frame sit in a room, and the tile per state.
const DoorSideInfo kSides[4] = {
    {'N',
     {{7, 1}, {8, 1}},
     2,
     {{7, 0}, {8, 0}},
     kTileFrameNorth,
     {168, 169},
     {136, 137},
     {152, 153},
     1,
     0,
     -1},
    {'S',
     {{7, 9}, {8, 9}},
     2,
     {{7, 10}, {8, 10}},
     kTileFrameSouth,
     {170, 171},
     {138, 139},
     {154, 155},
     0,
     0,
     1},
    {'E', {{14, 5}, {0, 0}}, 1, {{15, 5}, {0, 0}}, kTileFrameEast, {172, 0}, {140, 0}, {156, 0}, 3, 1, 0},
    {'W', {{1, 5}, {0, 0}}, 1, {{0, 5}, {0, 0}}, kTileFrameWest, {173, 0}, {141, 0}, {157, 0}, 2, -1, 0},
};

const char* const kSideNames[4] = {"north", "south", "east", "west"};
const char* const kStateNames[5] = {"none", "open", "push", "clear", "locked"};

std::string Pos(int x, int y)
{
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

uint8_t& Tile(WorldSource& world, const ScreenBlock& block, int x, int y)
{
    return world.map.Cell(0, block.sx * W + x, block.sy * H + y);
}

const SourceLine& InfoOrHeader(const ScreenBlock& block)
{
    return block.hasInfo ? block.info : block.header;
}

const ScreenBlock* Neighbour(const WorldSource& world, const ScreenBlock& block, int dx, int dy)
{
    int sx = block.sx + dx, sy = block.sy + dy;
    if (sx < 0 || sy < 0 || sx >= MapFormat::kScreenGridWidth || sy >= MapFormat::kScreenGridHeight)
        return nullptr;
    auto found = world.screens.find(sy * MapFormat::kScreenGridWidth + sx);
    return found == world.screens.end() ? nullptr : &found->second;
}

bool IsRoom(const WorldSource& world, const ScreenBlock& block)
{
    return world.map.screens[size_t(block.sy * MapFormat::kScreenGridWidth + block.sx)].isDungeonRoom != 0;
}

void ResolveDoors(WorldSource& world, ScreenBlock& block)
{
    const ScreenInfo& info = world.map.Screen(block.sx, block.sy);
    bool room = info.isDungeonRoom != 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            char mark = block.doorMarks[size_t(y)][size_t(x)];
            if (!mark)
                continue;
            const SourceLine& row = block.rows[size_t(y)];
            if (!room)
                row.Fail("door cell " + Pos(x, y) + " in screen " + Pos(block.sx, block.sy) +
                         ", which is not a dungeon room");
            int side = 0;
            while (kSides[side].mark != mark) ++side;
            const DoorSideInfo& s = kSides[side];
            int piece = -1;
            for (int i = 0; i < s.cellCount; ++i) {
                if (s.cells[i].x == x && s.cells[i].y == y)
                    piece = i;
            }
            if (piece < 0)
                row.Fail(std::string("a ") + kSideNames[side] + " door cell belongs at " +
                         Pos(s.cells[0].x, s.cells[0].y) +
                         (s.cellCount > 1 ? " and " + Pos(s.cells[1].x, s.cells[1].y) : "") + ", not " +
                         Pos(x, y));
            int state = info.doors[side];
            if (state == MapFormat::DOOR_NONE)
                row.Fail(std::string("door cell ") + Pos(x, y) + " but the screen table gives no " +
                         kSideNames[side] + " door for screen " + Pos(block.sx, block.sy));
            const int* tiles = state == MapFormat::DOOR_OPEN     ? s.open
                               : state == MapFormat::DOOR_LOCKED ? s.locked
                                                                 : s.shut;
            Tile(world, block, x, y) = uint8_t(tiles[piece]);
        }
    }
}

void CheckRoomDoors(WorldSource& world, const ScreenBlock& block)
{
    const ScreenInfo& info = world.map.Screen(block.sx, block.sy);
    const SourceLine& where = InfoOrHeader(block);
    for (int side = 0; side < 4; ++side) {
        const DoorSideInfo& s = kSides[side];
        int state = info.doors[side];
        if (state == MapFormat::DOOR_NONE)
            continue;
        for (int i = 0; i < s.cellCount; ++i) {
            if (block.doorMarks[size_t(s.cells[i].y)][size_t(s.cells[i].x)] != s.mark)
                block.rows[size_t(s.cells[i].y)].Fail(
                    std::string("the ") + kSideNames[side] + " door of screen " + Pos(block.sx, block.sy) +
                    " needs a door cell at " + Pos(s.cells[i].x, s.cells[i].y));
            int frame = Tile(world, block, s.frames[i].x, s.frames[i].y);
            if (frame != s.frameTile)
                block.rows[size_t(s.frames[i].y)].Fail(std::string("the ") + kSideNames[side] +
                                                       " door frame at " + Pos(s.frames[i].x, s.frames[i].y) +
                                                       " must be tile " + std::to_string(s.frameTile) +
                                                       ", not " + std::to_string(frame));
        }
        const ScreenBlock* other = Neighbour(world, block, s.dx, s.dy);
        if (!other || !IsRoom(world, *other))
            where.Fail(std::string("the ") + kSideNames[side] + " door of screen " + Pos(block.sx, block.sy) +
                       " leads to no dungeon room");
        int otherState =
            world.map.screens[size_t(other->sy * MapFormat::kScreenGridWidth + other->sx)].doors[s.opposite];
        if (otherState != state)
            where.Fail(std::string("the ") + kSideNames[side] + " door of screen " + Pos(block.sx, block.sy) +
                       " is " + kStateNames[state] + " but the matching door of screen " +
                       Pos(other->sx, other->sy) + " is " + kStateNames[otherState]);
    }
}

bool IsDoorPlace(const ScreenInfo& info, int x, int y)
{
    for (int side = 0; side < 4; ++side) {
        if (info.doors[side] == MapFormat::DOOR_NONE)
            continue;
        for (int i = 0; i < kSides[side].cellCount; ++i) {
            if ((kSides[side].cells[i].x == x && kSides[side].cells[i].y == y) ||
                (kSides[side].frames[i].x == x && kSides[side].frames[i].y == y))
                return true;
        }
    }
    return false;
}

void CheckRoomWalls(WorldSource& world, const ScreenBlock& block)
{
    const ScreenInfo& info = world.map.Screen(block.sx, block.sy);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            bool ring = x <= 1 || y <= 1 || x >= W - 2 || y >= H - 2;
            bool southGap = info.exitSouthReturns && y >= H - 2 && (x == 7 || x == 8);
            int tile = Tile(world, block, x, y);
            if (southGap) {
                if (BlockMask(tile) != 0)
                    block.rows[size_t(y)].Fail("screen " + Pos(block.sx, block.sy) +
                                               " returns up the stairs to the south, so " + Pos(x, y) +
                                               " must be free floor, not tile " + std::to_string(tile));
            } else if (ring && !IsDoorPlace(info, x, y) && BlockMask(tile) != kBlockAll) {
                block.rows[size_t(y)].Fail("room wall cell " + Pos(x, y) + " of screen " +
                                           Pos(block.sx, block.sy) + " must be a wall, not tile " +
                                           std::to_string(tile));
            }
        }
    }
}

// Walking across a screen edge must never land in a wall, and the edge of the
// outdoor region must hold the hero in.
void CheckOutdoorEdges(WorldSource& world, const ScreenBlock& block)
{
    for (int side = 0; side < 4; ++side) {
        const DoorSideInfo& s = kSides[side];
        const ScreenBlock* other = Neighbour(world, block, s.dx, s.dy);
        bool open = other && !IsRoom(world, *other);
        int count = s.dx != 0 ? H : W;
        for (int i = 0; i < count; ++i) {
            int x = s.dx < 0 ? 0 : s.dx > 0 ? W - 1 : i;
            int y = s.dy < 0 ? 0 : s.dy > 0 ? H - 1 : i;
            int mask = BlockMask(Tile(world, block, x, y));
            const SourceLine& row = block.rows[size_t(y)];
            if (!open) {
                if (mask != kBlockAll)
                    row.Fail("cell " + Pos(x, y) + " of screen " + Pos(block.sx, block.sy) +
                             " is on the outer " + kSideNames[side] + " edge and must be blocked");
                continue;
            }
            int ox = s.dx < 0 ? W - 1 : s.dx > 0 ? 0 : x;
            int oy = s.dy < 0 ? H - 1 : s.dy > 0 ? 0 : y;
            int otherMask = BlockMask(Tile(world, *other, ox, oy));
            if ((mask == 0) != (otherMask == 0))
                row.Fail("cell " + Pos(x, y) + " of screen " + Pos(block.sx, block.sy) + " is " +
                         (mask == 0 ? "free" : "blocked") + " but the facing cell " + Pos(ox, oy) +
                         " of screen " + Pos(other->sx, other->sy) + " is " +
                         (otherMask == 0 ? "free" : "blocked"));
        }
    }
}

void CheckStairs(WorldSource& world, const ScreenBlock& block)
{
    const ScreenInfo& info = world.map.Screen(block.sx, block.sy);
    bool hasStairs = false;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (Tile(world, block, x, y) == kTileStairs)
                hasStairs = true;
        }
    }
    if (!hasStairs) {
        if (info.stairsTarget != 0)
            InfoOrHeader(block).Fail("screen " + Pos(block.sx, block.sy) +
                                     " has a stairs target but no stairs tile " +
                                     std::to_string(kTileStairs));
        return;
    }
    const SourceLine& where = InfoOrHeader(block);
    if (info.stairsTarget == 0)
        where.Fail("screen " + Pos(block.sx, block.sy) + " has stairs but the screen table gives no stairs=");
    int column = info.stairsTarget % MapFormat::kColumns;
    int row = info.stairsTarget / MapFormat::kColumns;
    const ScreenBlock* target = Neighbour(world, block, column / W - block.sx, row / H - block.sy);
    if (!target || !IsRoom(world, *target))
        where.Fail("the stairs of screen " + Pos(block.sx, block.sy) + " lead to no dungeon room");
    if (column % W + 1 >= W)
        where.Fail("the stairs landing needs two free cells side by side; column " +
                   std::to_string(column % W) + " is the last");
    for (int c = column; c <= column + 1; ++c) {
        int tile = world.map.Cell(0, c, row);
        if (BlockMask(tile) != 0)
            where.Fail("the stairs land on tile " + std::to_string(tile) + " at " + Pos(c % W, row % H) +
                       " of screen " + Pos(target->sx, target->sy) + ", which is not free floor");
    }
}

}  // namespace

void CheckWorld(WorldSource& world)
{
    for (auto& entry : world.screens) ResolveDoors(world, entry.second);
    for (auto& entry : world.screens) {
        const ScreenBlock& block = entry.second;
        if (IsRoom(world, block)) {
            CheckRoomDoors(world, block);
            CheckRoomWalls(world, block);
        } else {
            if (world.map.Screen(block.sx, block.sy).exitSouthReturns)
                InfoOrHeader(block).Fail("exit-south is only for dungeon rooms");
            CheckOutdoorEdges(world, block);
        }
        CheckStairs(world, block);
    }
}

}  // namespace ktool
