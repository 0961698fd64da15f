#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TestSupport.h"

namespace {

class DrawMapTest : public WorldTest {
protected:
    // The tile drawn at a pixel place, or −1.
    int TileAt(int x, int y)
    {
        for (auto& c : world->tiles)
            if (c.x == x && c.y == y)
                return c.tile;
        return -1;
    }
};

}  // namespace

TEST_F(DrawMapTest, AtRestEveryVisibleCellIsDrawnOnceInPlace)
{
    // Each cell of screen (7, 6) gets a distinct tile number from its place.
    for (int c = 0; c < 16; ++c)
        for (int r = 0; r < 11; ++r) SetTile(7 * 16 + c, 6 * 11 + r, uint8_t(c + 16 * (r % 8)));
    world->DrawMap(7, 6, 0.0f, 0.0f);
    EXPECT_EQ(world->tiles.size(), 18u * 13u);
    for (auto& call : world->tiles) EXPECT_EQ(call.sheetOrFrame, 0);
    EXPECT_EQ(TileAt(0, 128), 0);
    EXPECT_EQ(TileAt(5 * 32, 128 + 3 * 32), 5 + 16 * 3);
    EXPECT_EQ(TileAt(15 * 32, 128 + 10 * 32), 15 + 16 * 2);
    // The border ring lies under the bands and past the edges.
    EXPECT_NE(TileAt(-32, 96), -1);
    EXPECT_NE(TileAt(512, 480), -1);
}

TEST_F(DrawMapTest, ScrollFractionsShiftTheView)
{
    SetTile(7 * 16, 6 * 11, 77);      // top-left cell of screen (7, 6)
    SetTile(6 * 16 + 8, 6 * 11, 66);  // middle of screen (6, 6)
    world->DrawMap(6, 6, 1.0f, 0.0f);
    EXPECT_EQ(TileAt(0, 128), 77);
    world->tiles.clear();
    world->DrawMap(6, 6, 0.5f, 0.0f);
    EXPECT_EQ(TileAt(0, 128), 66);
    EXPECT_EQ(TileAt(256, 128), 77);

    // A fraction between tiles leaves a pixel remainder.
    world->tiles.clear();
    world->DrawMap(6, 6, 1.0f / 64.0f, 0.0f);
    auto leftmost = std::min_element(world->tiles.begin(), world->tiles.end(),
                                     [](auto& a, auto& b) { return a.x < b.x; });
    EXPECT_EQ(leftmost->x, -32 - 8);
}

TEST_F(DrawMapTest, OutOfRangeViewsDrawNothing)
{
    world->DrawMap(7, 6, 1.5f, 0.0f);
    world->DrawMap(16, 6, 0.0f, 0.0f);
    world->DrawMap(7, -1, 0.0f, 0.0f);
    world->DrawMap(7, 6, 0.0f, -1.01f);
    EXPECT_TRUE(world->tiles.empty());

    // Screen rows past the terrain show the marker layer; cells before the
    // whole block are skipped.
    SetTile(0, 0, 5, 1);
    world->DrawMap(0, 30, 0.0f, 0.0f);
    EXPECT_EQ(TileAt(0, 128), 5);
    world->tiles.clear();
    world->DrawMap(0, 0, 0.0f, 0.0f);
    EXPECT_EQ(world->tiles.size(),
              18u * 13u - 18u - 1u);  // row −1 and one cell of column −1 precede the block
}
