#include <gtest/gtest.h>

#include "tests/tools/SmallWorld.h"
#include "tools/world/TiledMapReader.h"
#include "tools/world/WorldChecker.h"

using namespace MapFormat;
using smallworld::HasProblem;
using smallworld::Joined;
using smallworld::Problems;
using smallworld::Tile;

namespace {

class WorldCheckerTest : public ::testing::Test {
protected:
    MapData map = smallworld::Make();

    void ExpectProblem(const std::string& text)
    {
        std::vector<std::string> problems = Problems(map);
        EXPECT_TRUE(HasProblem(problems, text)) << "expected: " << text << "\ngot:\n" << Joined(problems);
    }
};

}  // namespace

TEST(WorldChecker, TheShippedWorldPasses)
{
    MapData shipped = ktool::TiledMapReader::ReadFile(KARSK_WORLD_SOURCE);
    std::vector<std::string> problems = Problems(shipped);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_F(WorldCheckerTest, TheSmallWorldPasses)
{
    std::vector<std::string> problems = Problems(map);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

// Edges and the start.

TEST_F(WorldCheckerTest, AWallOnOneSideOfAnOpenEdgeIsNamedByItsFreeCell)
{
    Tile(map, 8, 7, 0, 5) = 1;
    ExpectProblem(
        "screen 7,7 cell 15,5: the hero can walk here but not on into cell 0,5 of screen 8,7 across the east "
        "edge");
}

TEST_F(WorldCheckerTest, ACornerPieceOnAnEdgeMismatchesItsFacingCell)
{
    // Tile 3 leaves its bottom-right quarter free; the facing cell is grass.
    Tile(map, 7, 7, 15, 4) = 3;
    ExpectProblem(
        "screen 8,7 cell 0,4: the hero can walk here but not on into cell 15,4 of screen 7,7 across the west "
        "edge");
}

TEST_F(WorldCheckerTest, AnEdgeIntoNoScreenMustBeClosed)
{
    Tile(map, 8, 7, 15, 5) = 0;
    ExpectProblem("screen 8,7 cell 15,5: the east edge leads nowhere (screen 9,7 is not part of the world)");
}

TEST_F(WorldCheckerTest, BlockedStartCellsAreNamed)
{
    map.Cell(0, ktool::WorldChecker::kHostColumn, ktool::WorldChecker::kStartRow) = 1;
    map.Cell(0, ktool::WorldChecker::kGuestColumn, ktool::WorldChecker::kStartRow) = 7;
    ExpectProblem("screen 7,7 cell 8,6: the host hero starts here, but the hero does not fit (tile 1)");
    ExpectProblem("screen 7,7 cell 6,6: the second hero starts here, but the hero does not fit (tile 7)");
}

TEST_F(WorldCheckerTest, TheFirstStepsFromTheStartStayFree)
{
    // A tree corner three cells right of the host and two rows up.
    Tile(map, 7, 7, 11, 4) = 6;
    ExpectProblem("screen 7,7 cell 11,4: holds tile 6, but the clearing around the start");
}

TEST_F(WorldCheckerTest, EnemiesOnTheStartScreenAreRefused)
{
    map.Screen(7, 7).spawnRange[2][1] = 1;
    ExpectProblem("screen 7,7: the start screen spawns krillopBlue");
}

TEST_F(WorldCheckerTest, AScreenCutOffFromTheStartIsUnreachable)
{
    for (int y = 3; y <= 7; ++y) {
        Tile(map, 7, 7, 15, y) = 1;
        Tile(map, 8, 7, 0, y) = 1;
    }
    ExpectProblem("screen 8,7: cannot be reached from the start");
    ExpectProblem("screen 7,20: cannot be reached from the start");
}

// Spawns.

TEST_F(WorldCheckerTest, NerritsNeedWaterOnTheirScreen)
{
    map.Screen(8, 7).spawnRange[6][1] = 1;
    ExpectProblem("screen 8,7: Nerrits spawn here, but there is no water (tile 48)");
    Tile(map, 8, 7, 4, 4) = 48;
    EXPECT_FALSE(HasProblem(Problems(map), "Nerrits")) << Joined(Problems(map));
}

TEST_F(WorldCheckerTest, SpawnRangesMustFitTheFreeCells)
{
    map.Screen(8, 7).spawnRange[0][1] = 100;
    ExpectProblem(
        "screen 8,7: the spawn ranges allow 100 enemies, but columns 2-13, rows 2-8 hold only 84 tiles");
}

TEST_F(WorldCheckerTest, AMinimumAboveTheMaximumIsRefused)
{
    map.Screen(8, 7).spawnRange[9][0] = 3;
    map.Screen(8, 7).spawnRange[9][1] = 1;
    ExpectProblem("screen 8,7: spawn.gorlakRed 3-1 is not a range");
}

// Stairs.

TEST_F(WorldCheckerTest, StairsLandingInAWallAreNamed)
{
    map.Screen(8, 7).stairsTarget = smallworld::TargetOf(7, 20, 1, 1);
    ExpectProblem(
        "screen 8,7 cell 8,3: the stairs land at screen 7,20 cell 1,1 and the cell to its right, where the "
        "hero does not fit");
}

TEST_F(WorldCheckerTest, StairsWithoutATargetAreNamed)
{
    map.Screen(8, 7).stairsTarget = 0;
    ExpectProblem("screen 8,7 cell 8,3: stairs, but the screen has no stairsTarget");
}

TEST_F(WorldCheckerTest, StairsMustLandInARoomThatLeadsBack)
{
    map.Screen(7, 20).exitSouthReturns = 0;
    ExpectProblem(
        "the stairs land in screen 7,20, which does not lead back up (exitSouthReturns is not set)");
    map.Screen(8, 7).stairsTarget = smallworld::TargetOf(7, 7, 4, 4);
    ExpectProblem("the stairs land at screen 7,7 cell 4,4, which is not in a dungeon room");
}

TEST_F(WorldCheckerTest, TheRoomTheStairsLandInHasNoClearDoor)
{
    smallworld::SetDoor(map, 7, 20, DOOR_NORTH, DOOR_CLEAR);
    smallworld::SetDoor(map, 7, 19, DOOR_SOUTH, DOOR_CLEAR);
    map.Screen(7, 19).spawnRange[11][0] = 1;
    map.Screen(7, 19).spawnRange[11][1] = 1;
    ExpectProblem(
        "screen 8,7 cell 8,3: the stairs land in screen 7,20, whose north door opens when the room is clear");
}

TEST_F(WorldCheckerTest, TheRoomTheStairsLandInHoldsNoPushBlock)
{
    map.Cell(1, 7 * 16 + 10, 20 * 11 + 3) = 16;
    ExpectProblem("screen 8,7 cell 8,3: the stairs land in screen 7,20, which has a push-block at cell 10,3");
}

TEST_F(WorldCheckerTest, AWayBackUpNeedsAGapInTheSouthWall)
{
    Tile(map, 7, 20, 7, 9) = 174;
    Tile(map, 7, 20, 8, 9) = 174;
    ExpectProblem("screen 7,20: the way back up across its south edge cannot be reached");
    Tile(map, 7, 20, 7, 10) = 175;
    Tile(map, 7, 20, 8, 10) = 175;
    ExpectProblem(
        "screen 7,20: leads back up the stairs across its south edge, but no gap lets the hero's feet cross "
        "it");
}

// Doors.

TEST_F(WorldCheckerTest, DoorsOnBothSidesOfADoorwayMustAgree)
{
    smallworld::SetDoor(map, 7, 19, DOOR_SOUTH, DOOR_CLEAR);
    ExpectProblem("screen 7,20: the north door (open) faces the south door of screen 7,19, which is clear");
}

TEST_F(WorldCheckerTest, ADoorIntoNoRoomIsRefused)
{
    smallworld::SetDoor(map, 7, 20, DOOR_EAST, DOOR_OPEN);
    ExpectProblem("screen 7,20: the east door (open) leads to screen 8,20, which is not a dungeon room");
}

TEST_F(WorldCheckerTest, DoorCellsMustShowTheDoorsFirstState)
{
    Tile(map, 7, 19, 8, 9) = 160;
    Tile(map, 7, 19, 7, 10) = 174;
    ExpectProblem(
        "screen 7,19 cell 8,9: holds tile 160, but the door state there makes the game draw tile 171");
    ExpectProblem("screen 7,19 cell 7,10: holds tile 174, but the game draws the door frame 123 there");
}

TEST_F(WorldCheckerTest, AnOpenDoorwayMustLetTheHeroThrough)
{
    Tile(map, 7, 19, 8, 8) = 162;
    ExpectProblem(
        "screen 7,20: the hero cannot pass the open north door into screen 7,19; its feet stop at screen "
        "7,19 cell 8,8");
}

TEST_F(WorldCheckerTest, AClearDoorNeedsEnemiesForCertain)
{
    smallworld::SetDoor(map, 7, 20, DOOR_NORTH, DOOR_CLEAR);
    smallworld::SetDoor(map, 7, 19, DOOR_SOUTH, DOOR_CLEAR);
    ExpectProblem(
        "screen 7,19: the south door opens when the room is clear of enemies, so the room must spawn at "
        "least one for certain");
    EXPECT_FALSE(HasProblem(Problems(map), "screen 7,20: the north door opens when"))
        << Joined(Problems(map));
}

TEST_F(WorldCheckerTest, MoreThanTwoLockedDoorwaysNeedMoreKeysThanAHeroHas)
{
    smallworld::MakeRoom(map, 6, 20);
    smallworld::MakeRoom(map, 8, 20);
    smallworld::MakeRoom(map, 6, 19);
    smallworld::SetDoor(map, 6, 20, DOOR_NORTH, DOOR_OPEN);
    smallworld::SetDoor(map, 6, 19, DOOR_SOUTH, DOOR_OPEN);
    smallworld::SetDoor(map, 7, 20, DOOR_WEST, DOOR_LOCKED);
    smallworld::SetDoor(map, 6, 20, DOOR_EAST, DOOR_LOCKED);
    smallworld::SetDoor(map, 7, 20, DOOR_EAST, DOOR_LOCKED);
    smallworld::SetDoor(map, 8, 20, DOOR_WEST, DOOR_LOCKED);
    std::vector<std::string> two = Problems(map);
    EXPECT_TRUE(two.empty()) << Joined(two);
    smallworld::SetDoor(map, 7, 19, DOOR_WEST, DOOR_LOCKED);
    smallworld::SetDoor(map, 6, 19, DOOR_EAST, DOOR_LOCKED);
    ExpectProblem("the world has 3 locked doors");
    ExpectProblem("but each hero starts with 2 keys and nothing gives more");
}

// Push-blocks.

TEST_F(WorldCheckerTest, ABlockWithNoFreeSideCannotBePushed)
{
    const int x = smallworld::kBlockX, y = smallworld::kBlockY;
    Tile(map, 7, 19, x - 1, y) = 162;
    Tile(map, 7, 19, x + 1, y) = 162;
    Tile(map, 7, 19, x, y - 1) = 162;
    Tile(map, 7, 19, x, y + 1) = 162;
    ExpectProblem("screen 7,19 cell 4,4: the push-block cannot be pushed anywhere");
    ExpectProblem(
        "screen 7,19: the north door opens when a block is pushed, but neither this room nor screen 7,18 "
        "holds a push-block");
}

TEST_F(WorldCheckerTest, ABlockThatWouldSlideIntoAWallIsNamed)
{
    map.Cell(1, 7 * 16 + 4, 19 * 11 + 4) = 0;
    map.Cell(1, 7 * 16 + 4, 19 * 11 + 2) = 16;
    ExpectProblem("screen 7,19 cell 4,2: the hero can push this block up into tile 174 at cell 4,1");
}

TEST_F(WorldCheckerTest, AMarkerStopsABlockFromSlidingOntoIt)
{
    const int x = 7 * 16 + smallworld::kBlockX, y = 19 * 11 + smallworld::kBlockY;
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) map.Cell(1, x + dx, y + dy) = 1;
    ExpectProblem("screen 7,19 cell 4,4: the push-block cannot be pushed anywhere");
    ExpectProblem("up onto a marker");
}

TEST_F(WorldCheckerTest, ABlockOutOfTheHerosReachIsNamed)
{
    // Walled in by pillars two cells away: pushable in principle, never reached.
    const int x = smallworld::kBlockX, y = smallworld::kBlockY;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (std::abs(dx) == 2 || std::abs(dy) == 2)
                Tile(map, 7, 19, x + dx, y + dy) = 143;
        }
    }
    ExpectProblem(
        "screen 7,19 cell 4,4: the hero cannot reach a side from which this push-block can be pushed");
}

// Records where they do not belong.

TEST_F(WorldCheckerTest, RecordsBelowTheTileRowsAreRefused)
{
    map.Screen(3, 33).spawnRange[0][1] = 1;
    ExpectProblem("screen 3,33: has a record, but the map has tiles only for screen rows 0-29");
}
