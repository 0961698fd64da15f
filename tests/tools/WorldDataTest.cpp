#include <gtest/gtest.h>

#include <queue>
#include <set>

#include "tests/tools/DataFiles.h"
#include "tools/common/TileRules.h"
#include "world/MapFormat.h"

namespace {

using MapFormat::kScreenColumns;
using MapFormat::kScreenRows;

class WorldData : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(MapFormat::ReadFile(datatest::DataPath("overworld1.kmap"), map, error)) << error;
    }
    int Tile(int column, int row) { return map.Cell(0, column, row); }
    bool Free(int column, int row) { return ktool::BlockMask(Tile(column, row)) == 0; }

    // Every free cell the hero can reach on foot from `start`, across screen edges.
    std::set<std::pair<int, int>> Reachable(int column, int row)
    {
        std::set<std::pair<int, int>> seen{{column, row}};
        std::queue<std::pair<int, int>> frontier;
        frontier.push({column, row});
        while (!frontier.empty()) {
            auto [c, r] = frontier.front();
            frontier.pop();
            const int step[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (auto& d : step) {
                int nc = c + d[0], nr = r + d[1];
                if (nc < 0 || nr < 0 || nc >= MapFormat::kColumns || nr >= MapFormat::kRows)
                    continue;
                if (Free(nc, nr) && seen.insert({nc, nr}).second)
                    frontier.push({nc, nr});
            }
        }
        return seen;
    }

    MapFormat::MapData map;
};

TEST_F(WorldData, FileHasTheExactMapSize)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(datatest::ReadBytes(datatest::DataPath("overworld1.kmap"), bytes));
    EXPECT_EQ(bytes.size(), 275968u);
}

TEST_F(WorldData, HeroStartCellsAndSurroundingsAreFree)
{
    for (int column : {118, 120}) {
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc)
                EXPECT_TRUE(Free(column + dc, 83 + dr)) << "cell " << column + dc << "," << 83 + dr;
        }
    }
}

TEST_F(WorldData, NeighboursOfTheStartScreenAreReachableAndTheRegionIsClosed)
{
    auto seen = Reachable(120, 83);
    std::set<std::pair<int, int>> screens;
    for (auto [c, r] : seen) {
        int sx = c / kScreenColumns, sy = r / kScreenRows;
        screens.insert({sx, sy});
        ASSERT_FALSE(map.Screen(sx, sy).isDungeonRoom) << "walked into a room at " << c << "," << r;
    }
    for (int sy = 6; sy <= 8; ++sy) {
        for (int sx = 6; sx <= 8; ++sx)
            EXPECT_TRUE(screens.count({sx, sy})) << "screen " << sx << "," << sy << " not reachable";
    }
    // Walls round the outside: nothing beyond the nine screens is reachable.
    EXPECT_EQ(screens.size(), 9u);
    EXPECT_TRUE(seen.count({118, 83}));
}

TEST_F(WorldData, StairsAreReachableAndLandOnFreeFloorInARoom)
{
    auto seen = Reachable(120, 83);
    int found = 0;
    for (int sy = 6; sy <= 8; ++sy) {
        for (int sx = 6; sx <= 8; ++sx) {
            for (int r = 0; r < kScreenRows; ++r) {
                for (int c = 0; c < kScreenColumns; ++c) {
                    int column = sx * kScreenColumns + c, row = sy * kScreenRows + r;
                    if (Tile(column, row) != ktool::kTileStairs)
                        continue;
                    ++found;
                    EXPECT_TRUE(seen.count({column, row}));
                    EXPECT_FALSE(column == 120 && row == 83);
                    EXPECT_FALSE(column == 118 && row == 83);
                    int target = map.Screen(sx, sy).stairsTarget;
                    int tc = target % MapFormat::kColumns, tr = target / MapFormat::kColumns;
                    ASSERT_GT(target, 0);
                    EXPECT_TRUE(map.Screen(tc / kScreenColumns, tr / kScreenRows).isDungeonRoom);
                    EXPECT_EQ(tc / kScreenColumns, (tc + 1) / kScreenColumns);
                    EXPECT_TRUE(Free(tc, tr));
                    EXPECT_TRUE(Free(tc + 1, tr));
                }
            }
        }
    }
    EXPECT_EQ(found, 1);
}

TEST_F(WorldData, DungeonRoomsHaveWallsAndMatchingDoors)
{
    const int dx[4] = {0, 0, 1, -1}, dy[4] = {-1, 1, 0, 0}, opposite[4] = {1, 0, 3, 2};
    int rooms = 0;
    std::set<int> states;
    for (int sy = 0; sy < MapFormat::kScreenGridHeight; ++sy) {
        for (int sx = 0; sx < MapFormat::kScreenGridWidth; ++sx) {
            const ScreenInfo& info = map.Screen(sx, sy);
            if (!info.isDungeonRoom)
                continue;
            ++rooms;
            EXPECT_GE(sy, 12) << "rooms belong in the lower screen rows";
            EXPECT_FALSE(ktool::BlockMask(Tile(sx * 16, sy * 11)) == 0)
                << "corner of room " << sx << "," << sy;
            for (int side = 0; side < 4; ++side) {
                if (!info.doors[side])
                    continue;
                states.insert(info.doors[side]);
                const ScreenInfo& other = map.Screen(sx + dx[side], sy + dy[side]);
                EXPECT_TRUE(other.isDungeonRoom) << "door of " << sx << "," << sy << " side " << side;
                EXPECT_EQ(other.doors[opposite[side]], info.doors[side])
                    << sx << "," << sy << " side " << side;
            }
            for (int c = 2; c <= 13; ++c)
                EXPECT_FALSE(Free(sx * 16 + c, sy * 11 + 1) && Free(sx * 16 + c, sy * 11)) << "gap in wall";
        }
    }
    EXPECT_GE(rooms, 4);
    EXPECT_TRUE(states.count(MapFormat::DOOR_OPEN));
    EXPECT_TRUE(states.count(MapFormat::DOOR_LOCKED));
}

TEST_F(WorldData, EntryRoomReturnsToTheSouthThroughAGap)
{
    int target = map.Screen(7, 7).stairsTarget;
    int sx = target % 256 / 16, sy = target / 256 / 11;
    EXPECT_EQ(map.Screen(sx, sy).exitSouthReturns, 1);
    for (int r : {9, 10}) {
        for (int c : {7, 8}) EXPECT_TRUE(Free(sx * 16 + c, sy * 11 + r)) << c << "," << r;
    }
}

TEST_F(WorldData, RedEnemiesSpawnAroundButNotOnTheStartScreen)
{
    EXPECT_EQ(map.Screen(7, 7).SpawnMax(0), 0);
    EXPECT_EQ(map.Screen(7, 7).SpawnMax(7), 0);
    int spawning = 0;
    for (int sy = 6; sy <= 8; ++sy) {
        for (int sx = 6; sx <= 8; ++sx) {
            const ScreenInfo& info = map.Screen(sx, sy);
            EXPECT_LE(info.SpawnMin(0), info.SpawnMax(0));
            if (info.SpawnMax(0) > 0 || info.SpawnMax(7) > 0)
                ++spawning;
        }
    }
    EXPECT_GE(spawning, 4);
}

TEST_F(WorldData, ObjectLayerHoldsOnlyPushBlocksOnFreeFloor)
{
    int blocks = 0;
    for (int r = 0; r < MapFormat::kRows; ++r) {
        for (int c = 0; c < MapFormat::kColumns; ++c) {
            int marker = map.Cell(1, c, r);
            ASSERT_TRUE(marker == 0 || marker == 16) << c << "," << r;
            if (marker == 16) {
                ++blocks;
                EXPECT_TRUE(Free(c, r));
            }
        }
    }
    EXPECT_GE(blocks, 1);
}

}  // namespace
