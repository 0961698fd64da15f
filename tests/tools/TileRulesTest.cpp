#include <gtest/gtest.h>

#include "tools/common/TileRules.h"
#include "world/KarskRenderer.h"

namespace {

// The tools check maps with their own copy of the blocking rules; it must
// agree with the game's table for every tile.
TEST(TileRules, MatchTheGamesBlockingTable)
{
    KarskRenderer renderer;
    renderer.InitTileFlags();
    for (int t = 0; t < 256; ++t)
        EXPECT_EQ(ktool::BlockMask(t), renderer.TileFlags(uint8_t(t)) & 15) << "tile " << t;
}

TEST(TileRules, OnlyTheListedTilesAreOpenToOtherWalkers)
{
    int open = 0;
    for (int t = 0; t < 256; ++t) open += ktool::EnemyWalkable(t);
    EXPECT_EQ(open, 10);
    EXPECT_TRUE(ktool::EnemyWalkable(160));
    EXPECT_FALSE(ktool::EnemyWalkable(11));
}

}  // namespace
