#include <gtest/gtest.h>

#include <functional>

#include "tests/tools/SmallWorld.h"
#include "tools/world/WorldChecker.h"

using namespace MapFormat;
using smallworld::SetDoor;
using smallworld::Tile;

// The checker on the small world, broken one rule at a time. The shipped world
// is checked by its own build, which compiles it only when the checker passes.
namespace {

struct Case {
    std::function<void(MapData&)> change;
    std::vector<std::string> problems;  // each must be part of some problem; none at all when empty
    const char* absent = nullptr;       // a text no problem may contain
};

const int kBx = smallworld::kBlockX, kBy = smallworld::kBlockY;

void Wall(MapData& map, int sx, int sy, int x, int y, uint8_t tile)
{
    Tile(map, sx, sy, x, y) = tile;
}

// Both sides of the doorway on `side` of room (sx, sy).
void Doorway(MapData& map, int sx, int sy, int side, int state)
{
    static const int kDx[] = {0, 0, 1, -1}, kDy[] = {-1, 1, 0, 0}, kFacing[] = {1, 0, 3, 2};
    SetDoor(map, sx, sy, side, state);
    SetDoor(map, sx + kDx[side], sy + kDy[side], kFacing[side], state);
}

const Case kCases[] = {
    // The small world as it is.
    {[](MapData&) {}, {}},
    // Edges and the start.
    {[](MapData& m) { Wall(m, 8, 7, 0, 5, 1); },
     {"screen 7,7 cell 15,5: the hero can walk here but not on into cell 0,5 of screen 8,7 across the east "
      "edge"}},
    {[](MapData& m) { Wall(m, 7, 7, 15, 4, 3); },
     {"screen 8,7 cell 0,4: the hero can walk here but not on into cell 15,4 of screen 7,7 across the west "
      "edge"}},
    {[](MapData& m) { Wall(m, 8, 7, 15, 5, 0); },
     {"screen 8,7 cell 15,5: the east edge leads nowhere (screen 9,7 is not part of the world)"}},
    {[](MapData& m) {
         m.Cell(0, 120, 83) = 1;
         m.Cell(0, 118, 83) = 7;
     },
     {"screen 7,7 cell 8,6: the host hero starts here, but the hero does not fit (tile 1)",
      "screen 7,7 cell 6,6: the second hero starts here, but the hero does not fit (tile 7)"}},
    {[](MapData& m) { Wall(m, 7, 7, 11, 4, 6); },
     {"screen 7,7 cell 11,4: holds tile 6, but the clearing around the start"}},
    {[](MapData& m) { m.Screen(7, 7).spawnRange[2][1] = 1; },
     {"screen 7,7: the start screen spawns krillopBlue"}},
    {[](MapData& m) {
         for (int y = 3; y <= 7; ++y) {
             Wall(m, 7, 7, 15, y, 1);
             Wall(m, 8, 7, 0, y, 1);
         }
     },
     {"screen 8,7: cannot be reached from the start", "screen 7,20: cannot be reached from the start"}},
    // Spawns.
    {[](MapData& m) { m.Screen(8, 7).spawnRange[6][1] = 1; },
     {"screen 8,7: Nerrits spawn here, but there is no water (tile 48)"}},
    {[](MapData& m) {
         m.Screen(8, 7).spawnRange[6][1] = 1;
         Wall(m, 8, 7, 4, 4, 48);
     },
     {},
     "Nerrits"},
    {[](MapData& m) { m.Screen(8, 7).spawnRange[0][1] = 100; },
     {"screen 8,7: the spawn ranges allow 100 enemies, but columns 2-13, rows 2-8 hold only 84 tiles"}},
    {[](MapData& m) {
         m.Screen(8, 7).spawnRange[9][0] = 3;
         m.Screen(8, 7).spawnRange[9][1] = 1;
     },
     {"screen 8,7: spawn.gorlakRed 3-1 is not a range"}},
    // Stairs.
    {[](MapData& m) { m.Screen(8, 7).stairsTarget = smallworld::TargetOf(7, 20, 1, 1); },
     {"screen 8,7 cell 8,3: the stairs land at screen 7,20 cell 1,1 and the cell to its right, where the "
      "hero does not fit"}},
    {[](MapData& m) { m.Screen(8, 7).stairsTarget = 0; },
     {"screen 8,7 cell 8,3: stairs, but the screen has no stairsTarget"}},
    {[](MapData& m) { m.Screen(7, 20).exitSouthReturns = 0; },
     {"the stairs land in screen 7,20, which does not lead back up (exitSouthReturns is not set)"}},
    {[](MapData& m) { m.Screen(8, 7).stairsTarget = smallworld::TargetOf(7, 7, 4, 4); },
     {"the stairs land at screen 7,7 cell 4,4, which is not in a dungeon room"}},
    {[](MapData& m) {
         Doorway(m, 7, 20, DOOR_NORTH, DOOR_CLEAR);
         m.Screen(7, 19).spawnRange[11][0] = 1;
         m.Screen(7, 19).spawnRange[11][1] = 1;
     },
     {"screen 8,7 cell 8,3: the stairs land in screen 7,20, whose north door opens when the room is clear"}},
    {[](MapData& m) { m.Cell(1, 7 * 16 + 10, 20 * 11 + 3) = 16; },
     {"screen 8,7 cell 8,3: the stairs land in screen 7,20, which has a push-block at cell 10,3"}},
    {[](MapData& m) { Tile(m, 7, 20, 7, 9) = Tile(m, 7, 20, 8, 9) = 174; },
     {"screen 7,20: the way back up across its south edge cannot be reached"}},
    {[](MapData& m) {
         Tile(m, 7, 20, 7, 9) = Tile(m, 7, 20, 8, 9) = 174;
         Tile(m, 7, 20, 7, 10) = Tile(m, 7, 20, 8, 10) = 175;
     },
     {"screen 7,20: leads back up the stairs across its south edge, but no gap lets the hero's feet cross "
      "it"}},
    // Doors.
    {[](MapData& m) { SetDoor(m, 7, 19, DOOR_SOUTH, DOOR_CLEAR); },
     {"screen 7,20: the north door (open) faces the south door of screen 7,19, which is clear"}},
    {[](MapData& m) { SetDoor(m, 7, 20, DOOR_EAST, DOOR_OPEN); },
     {"screen 7,20: the east door (open) leads to screen 8,20, which is not a dungeon room"}},
    {[](MapData& m) {
         Wall(m, 7, 19, 8, 9, 160);
         Wall(m, 7, 19, 7, 10, 174);
     },
     {"screen 7,19 cell 8,9: holds tile 160, but the door state there makes the game draw tile 171",
      "screen 7,19 cell 7,10: holds tile 174, but the game draws the door frame 123 there"}},
    {[](MapData& m) { Wall(m, 7, 19, 8, 8, 162); },
     {"screen 7,20: the hero cannot pass the open north door into screen 7,19; its feet stop at screen "
      "7,19 cell 8,8"}},
    {[](MapData& m) { Doorway(m, 7, 20, DOOR_NORTH, DOOR_CLEAR); },
     {"screen 7,19: the south door opens when the room is clear of enemies, so the room must spawn at "
      "least one for certain"},
     "screen 7,20: the north door opens when"},
    // Each hero has two keys: two locked doorways are fine, three are not.
    {[](MapData& m) {
         for (int sx : {6, 8}) smallworld::MakeRoom(m, sx, 20);
         Doorway(m, 7, 20, DOOR_WEST, DOOR_LOCKED);
         Doorway(m, 7, 20, DOOR_EAST, DOOR_LOCKED);
     },
     {}},
    {[](MapData& m) {
         for (auto [sx, sy] : {std::pair{6, 20}, {8, 20}, {6, 19}}) smallworld::MakeRoom(m, sx, sy);
         Doorway(m, 6, 20, DOOR_NORTH, DOOR_OPEN);
         Doorway(m, 7, 20, DOOR_WEST, DOOR_LOCKED);
         Doorway(m, 7, 20, DOOR_EAST, DOOR_LOCKED);
         Doorway(m, 7, 19, DOOR_WEST, DOOR_LOCKED);
     },
     {"the world has 3 locked doors", "but each hero starts with 2 keys and nothing gives more"}},
    // Push-blocks.
    {[](MapData& m) {
         for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
             Wall(m, 7, 19, kBx + dx, kBy + dy, 162);
     },
     {"screen 7,19 cell 4,4: the push-block cannot be pushed anywhere",
      "screen 7,19: the north door opens when a block is pushed, but neither this room nor screen 7,18 "
      "holds a push-block"}},
    {[](MapData& m) {
         m.Cell(1, 7 * 16 + 4, 19 * 11 + 4) = 0;
         m.Cell(1, 7 * 16 + 4, 19 * 11 + 2) = 16;
     },
     {"screen 7,19 cell 4,2: the hero can push this block up into tile 174 at cell 4,1"}},
    {[](MapData& m) {
         for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
             m.Cell(1, 7 * 16 + kBx + dx, 19 * 11 + kBy + dy) = 1;
     },
     {"screen 7,19 cell 4,4: the push-block cannot be pushed anywhere", "up onto a marker"}},
    {[](MapData& m) {
         for (int dy = -2; dy <= 2; ++dy) {
             for (int dx = -2; dx <= 2; ++dx) {
                 if (std::abs(dx) == 2 || std::abs(dy) == 2)
                     Wall(m, 7, 19, kBx + dx, kBy + dy, 143);
             }
         }
     },
     {"screen 7,19 cell 4,4: the hero cannot reach a side from which this push-block can be pushed"}},
    // Records where they do not belong.
    {[](MapData& m) { m.Screen(3, 33).spawnRange[0][1] = 1; },
     {"screen 3,33: has a record, but the map has tiles only for screen rows 0-29"}},
};

}  // namespace

TEST(WorldChecker, EachBrokenRuleIsNamedByScreenAndCell)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE("case " + std::to_string(&c - kCases));
        MapData map = smallworld::Make();
        c.change(map);
        const std::vector<std::string> problems = ktool::WorldChecker(map).Check();
        std::string all;
        for (const std::string& p : problems) all += p + "\n";
        auto has = [&](const std::string& text) { return all.find(text) != std::string::npos; };
        if (c.problems.empty() && !c.absent) {
            EXPECT_TRUE(problems.empty()) << all;
        }
        for (const std::string& p : c.problems) EXPECT_TRUE(has(p)) << p << "\ngot:\n" << all;
        if (c.absent) {
            EXPECT_FALSE(has(c.absent)) << all;
        }
    }
}
