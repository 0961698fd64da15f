#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

class MapLoadTest : public WorldTest {
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

constexpr size_t kRecords = 168960;

}  // namespace

TEST_F(MapLoadTest, ReadsLayersAndRecordsAtTheirOffsets)
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

TEST_F(MapLoadTest, WrongSizesAndMissingFilesAreRejectedAndLeaveTheWorldAlone)
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
