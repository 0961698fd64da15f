#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {
class TileWorldTest : public WorldTest {};
}  // namespace

TEST_F(TileWorldTest, BlockingTableMasks)
{
    for (int t : {1, 2, 7, 8, 18, 48, 56, 92, 136, 141, 150, 159, 162, 164, 174, 255})
        EXPECT_EQ(world->TileFlags(uint8_t(t)), 15) << t;
    for (int t : {0, 9, 10, 16, 25, 32, 57, 64, 122, 123, 145, 160, 161, 165})
        EXPECT_EQ(world->TileFlags(uint8_t(t)), 0) << t;
    EXPECT_EQ(world->TileFlags(3), 7);
    EXPECT_EQ(world->TileFlags(36), 11);
    EXPECT_EQ(world->TileFlags(21), 13);
    EXPECT_EQ(world->TileFlags(38), 14);
    EXPECT_EQ(world->TileFlags(168), 5);
    EXPECT_EQ(world->TileFlags(171), 10);
    EXPECT_EQ(world->TileFlags(120), 3);
    EXPECT_EQ(world->TileFlags(173), 3);
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

TEST_F(TileWorldTest, CellsAndScreensOutsideTheMapAreSafe)
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
}

TEST_F(TileWorldTest, PointsLeftOfOrAboveTheMapAreBlocked)
{
    EXPECT_TRUE(world->IsPointBlocked(Vec2(-0.25f, 3.0f)));
    EXPECT_TRUE(world->IsPointBlocked(Vec2(3.0f, -0.75f)));
    EXPECT_FALSE(world->IsPointBlocked(Vec2(0.25f, 3.0f)));
}
