#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

// A world whose map file is written by the test.
class TileWorldTest : public WorldTest {
protected:
    std::string WriteBytes(const std::vector<uint8_t>& bytes)
    {
        std::string path = TempPath("map");
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        paths.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (auto& p : paths) std::remove(p.c_str());
        WorldTest::TearDown();
    }
    std::vector<std::string> paths;
};

constexpr size_t kRecords = 168960;  // where the screen records start

}  // namespace

TEST_F(TileWorldTest, TheBlockingTableMasksTheBlockedQuarters)
{
    for (int t : {1, 2, 7, 8, 18, 48, 56, 92, 136, 141, 150, 159, 162, 164, 174, 255})
        EXPECT_EQ(world->TileFlags(uint8_t(t)), 15) << t;
    for (int t : {0, 9, 10, 16, 25, 32, 57, 64, 122, 123, 145, 160, 161, 165})
        EXPECT_EQ(world->TileFlags(uint8_t(t)), 0) << t;
    // Quarters: 1 top-left, 2 top-right, 4 bottom-left, 8 bottom-right.
    const std::pair<int, int> kPartial[] = {{3, 7},   {19, 7},   {36, 11}, {21, 13}, {38, 14},
                                            {168, 5}, {171, 10}, {120, 3}, {173, 3}};
    for (auto [tile, mask] : kPartial) EXPECT_EQ(world->TileFlags(uint8_t(tile)), mask) << tile;
    EXPECT_TRUE(world->IsTileBlocked(3, 1));
    EXPECT_FALSE(world->IsTileBlocked(3, 8));
}

TEST_F(TileWorldTest, QuarterTestPicksTheQuarterOfTheFraction)
{
    SetTile(5, 5, 168);  // left half blocked
    EXPECT_TRUE(world->IsPointBlocked(Vec2(5.2f, 5.2f)));
    EXPECT_TRUE(world->IsPointBlocked(Vec2(5.49f, 5.9f)));
    EXPECT_FALSE(world->IsPointBlocked(Vec2(5.5f, 5.2f)));
    EXPECT_FALSE(world->IsPointBlocked(Vec2(5.99f, 5.99f)));
    SetTile(6, 5, 120);  // top half blocked
    EXPECT_TRUE(world->IsPointBlocked(Vec2(6.7f, 5.1f)));
    EXPECT_FALSE(world->IsPointBlocked(Vec2(6.7f, 5.5f)));
    SetTile(7, 5, 3);  // all but bottom-right
    EXPECT_FALSE(world->IsPointBlocked(Vec2(7.6f, 5.6f)));
    EXPECT_TRUE(world->IsPointBlocked(Vec2(7.4f, 5.6f)));
}

TEST_F(TileWorldTest, CellsScreensAndPointsOutsideTheMapAreSafe)
{
    EXPECT_EQ(world->GetMapTile(-1, 0, 0), 255);
    EXPECT_EQ(world->GetMapTile(256, 0, 0), 255);
    EXPECT_EQ(world->GetMapTile(0, 330, 0), 255);
    EXPECT_EQ(world->GetMapTile(0, -5, 1), 0);
    EXPECT_EQ(world->GetMapTile(0, 0, 2), 0);
    EXPECT_TRUE(world->IsPointBlocked(Vec2(300.0f, 3.0f)));

    ScreenInfo* outside = world->GetScreenInfo(16, 0);
    outside->doors[0] = 4;  // a careless writer must not poison the next caller
    ScreenInfo* again = world->GetScreenInfo(-1, 99);
    EXPECT_EQ(again->doors[0], 0);
    EXPECT_EQ(again->stairsTarget, 0);
    EXPECT_EQ(again->isDungeonRoom, 0);
    for (int sx = 0; sx < 16; ++sx)
        for (int sy = 0; sy < 38; ++sy) EXPECT_NE(world->GetScreenInfo(sx, sy), again);

    // Points left of or above the map are blocked.
    EXPECT_TRUE(world->IsPointBlocked(Vec2(-0.25f, 3.0f)));
    EXPECT_TRUE(world->IsPointBlocked(Vec2(3.0f, -0.75f)));
    EXPECT_FALSE(world->IsPointBlocked(Vec2(0.25f, 3.0f)));
}

TEST_F(TileWorldTest, ReadsLayersAndRecordsAtTheirOffsets)
{
    std::vector<uint8_t> bytes(275968u, 0);
    bytes[6 * 11 * 256 + 7 * 16] = 42;   // layer 0, column 112, row 66
    bytes[84480 + 83 * 256 + 120] = 16;  // layer 1 marker under the start tile
    const size_t screen01 = kRecords + 16 * 176;
    bytes[screen01 + 0] = 0x34;  // stairs target, little-endian
    bytes[screen01 + 1] = 0x12;
    bytes[screen01 + 9 + 2 * 7] = 2;      // type 7: minimum 2
    bytes[screen01 + 10 + 2 * 7] = 0xFF;  // maximum −1 (signed)
    bytes[screen01 + 138] = 1;
    bytes[screen01 + 164] = 4;  // south door locked
    const size_t last = kRecords + 607 * 176;
    bytes[last + 139] = 1;

    ASSERT_TRUE(world->LoadMap(WriteBytes(bytes).c_str()));
    EXPECT_EQ(world->GetMapTile(112, 66, 0), 42);
    EXPECT_EQ(world->GetMapTile(120, 83, 1), 16);
    ScreenInfo* info = world->GetScreenInfo(0, 1);
    EXPECT_EQ(info->stairsTarget, 0x1234);
    EXPECT_EQ(info->SpawnMin(7), 2);
    EXPECT_EQ(info->SpawnMax(7), -1);
    EXPECT_EQ(info->exitSouthReturns, 1);
    EXPECT_EQ(info->doors[MapFormat::DOOR_SOUTH], 4);
    EXPECT_EQ(world->GetScreenInfo(15, 37)->isDungeonRoom, 1);
    EXPECT_EQ(world->GetScreenInfo(14, 37)->isDungeonRoom, 0);

    // The format writes back exactly what it read.
    EXPECT_EQ(MapFormat::Encode(world->Map()), bytes);
}

TEST_F(TileWorldTest, WrongSizesAndMissingFilesAreRejectedAndLeaveTheWorldAlone)
{
    SetTile(3, 3, 99);
    std::string shortFile = WriteBytes(std::vector<uint8_t>(275968u - 1, 1));
    EXPECT_FALSE(world->LoadMap(shortFile.c_str()));
    EXPECT_TRUE(LogContains(shortFile));
    EXPECT_TRUE(LogContains("found 275967"));

    std::string longFile = WriteBytes(std::vector<uint8_t>(275968u + 1, 1));
    EXPECT_FALSE(world->LoadMap(longFile.c_str()));
    EXPECT_TRUE(LogContains("longer than 275968"));

    std::string missing = TempPath("missing_map");
    EXPECT_FALSE(world->LoadMap(missing.c_str()));
    EXPECT_TRUE(LogContains(missing + ": cannot open"));

    EXPECT_EQ(world->GetMapTile(3, 3, 0), 99);
}
