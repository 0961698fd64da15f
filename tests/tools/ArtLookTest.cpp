#include <gtest/gtest.h>

#include <set>

#include "tests/tools/DataFiles.h"

// Checks on how the generated pictures fit together: tiles that must join,
// door states that must share their frame, animations that must move and
// the heads-up places that the game draws over.
namespace {

struct Area {
    int x, y, w, h;
};

// The pixels of an area of a picture; none when it reaches outside.
std::vector<uint32_t> Pixels(const ktool::Image& img, int x0, int y0, Area a)
{
    std::vector<uint32_t> out;
    for (int y = y0 + a.y; y < y0 + a.y + a.h; ++y) {
        for (int x = x0 + a.x; x < x0 + a.x + a.w; ++x) {
            if (!img.Inside(x, y))
                return {};
            out.push_back(img.At(x, y));
        }
    }
    return out;
}

// An area of map tile `tile` (tile-relative coordinates).
std::vector<uint32_t> TilePixels(const ktool::Image& map, int tile, Area a)
{
    return Pixels(map, tile % 16 * 32, tile / 16 * 32, a);
}

std::vector<uint32_t> Frame(const ktool::Image& sprite, int frame)
{
    return Pixels(sprite, frame * 32, 0, {0, 0, 32, 32});
}

TEST(ArtLook, BanksMeetOpenWaterOnTheirWaterSide)
{
    const ktool::Image map = datatest::Picture("tiles/map.bmp");
    ASSERT_EQ(map.width, 512);
    const Area bottom{0, 31, 32, 1}, top{0, 0, 32, 1}, left{0, 0, 1, 32}, right{31, 0, 1, 32};
    // Land north, south, west, east: the opposite edge is plain water.
    EXPECT_EQ(TilePixels(map, 49, bottom), TilePixels(map, 48, bottom));
    EXPECT_EQ(TilePixels(map, 50, top), TilePixels(map, 48, top));
    EXPECT_EQ(TilePixels(map, 51, right), TilePixels(map, 48, right));
    EXPECT_EQ(TilePixels(map, 52, left), TilePixels(map, 48, left));
    // Corners keep water in the quarter away from both shores.
    const Area br{24, 24, 8, 8}, bl{0, 24, 8, 8}, tr{24, 0, 8, 8}, tl{0, 0, 8, 8};
    EXPECT_EQ(TilePixels(map, 53, br), TilePixels(map, 48, br));
    EXPECT_EQ(TilePixels(map, 54, bl), TilePixels(map, 48, bl));
    EXPECT_EQ(TilePixels(map, 55, tr), TilePixels(map, 48, tr));
    EXPECT_EQ(TilePixels(map, 56, tl), TilePixels(map, 48, tl));
    // Shores that run on from one bank into the next corner line up; the
    // shore strip is the outer 14 pixels.
    const Area leftShore{0, 0, 1, 14}, rightShore{31, 0, 1, 14}, topShore{0, 0, 14, 1},
        bottomShore{0, 31, 14, 1}, rightShoreLow{31, 18, 1, 14}, leftShoreLow{0, 18, 1, 14},
        topShoreRight{18, 0, 14, 1}, bottomShoreRight{18, 31, 14, 1};
    EXPECT_EQ(TilePixels(map, 49, leftShore), TilePixels(map, 53, rightShore));
    EXPECT_EQ(TilePixels(map, 49, rightShore), TilePixels(map, 54, leftShore));
    EXPECT_EQ(TilePixels(map, 50, rightShoreLow), TilePixels(map, 56, leftShoreLow));
    EXPECT_EQ(TilePixels(map, 50, leftShoreLow), TilePixels(map, 55, rightShoreLow));
    EXPECT_EQ(TilePixels(map, 51, topShore), TilePixels(map, 53, bottomShore));
    EXPECT_EQ(TilePixels(map, 51, bottomShore), TilePixels(map, 55, topShore));
    EXPECT_EQ(TilePixels(map, 52, topShoreRight), TilePixels(map, 54, bottomShoreRight));
    EXPECT_EQ(TilePixels(map, 52, bottomShoreRight), TilePixels(map, 56, topShoreRight));
}

TEST(ArtLook, CornerPiecesShowGroundExactlyOnTheirFreeQuarter)
{
    const ktool::Image map = datatest::Picture("tiles/map.bmp");
    ASSERT_EQ(map.width, 512);
    // Free quarter by corner: 3 bottom-right, 4 bottom-left, 5 top-right,
    // 6 top-left; the inner four pixels are the edge and its shadow.
    const Area quarter[4] = {{20, 20, 12, 12}, {0, 20, 12, 12}, {20, 0, 12, 12}, {0, 0, 12, 12}};
    for (int ground : {0, 16, 32}) {
        for (int c = 0; c < 4; ++c) {
            int tile = ground + 3 + c;
            EXPECT_EQ(TilePixels(map, tile, quarter[c]), TilePixels(map, ground, quarter[c]))
                << "tile " << tile;
            // The opposite quarter is the solid piece.
            EXPECT_EQ(TilePixels(map, tile, quarter[3 - c]), TilePixels(map, ground + 7, quarter[3 - c]))
                << "tile " << tile;
        }
    }
}

TEST(ArtLook, EachDoorKeepsItsFrameInEveryState)
{
    const ktool::Image map = datatest::Picture("tiles/map.bmp");
    ASSERT_EQ(map.width, 512);
    // Open, shut, locked: the posts of north and south doors and the lintel
    // of east and west doors are the same in all three.
    const struct {
        int open, shut, locked;
        Area frame;
    } kDoors[] = {
        {168, 152, 136, {0, 0, 8, 32}},  {169, 153, 137, {24, 0, 8, 32}}, {170, 154, 138, {0, 0, 8, 32}},
        {171, 155, 139, {24, 0, 8, 32}}, {172, 156, 140, {0, 0, 32, 16}}, {173, 157, 141, {0, 0, 32, 16}},
    };
    for (const auto& d : kDoors) {
        EXPECT_EQ(TilePixels(map, d.shut, d.frame), TilePixels(map, d.open, d.frame)) << d.shut;
        EXPECT_EQ(TilePixels(map, d.locked, d.frame), TilePixels(map, d.open, d.frame)) << d.locked;
        EXPECT_NE(TilePixels(map, d.shut, {0, 0, 32, 32}), TilePixels(map, d.open, {0, 0, 32, 32}));
        EXPECT_NE(TilePixels(map, d.locked, {0, 0, 32, 32}), TilePixels(map, d.shut, {0, 0, 32, 32}));
    }
}

TEST(ArtLook, WalkingFramesMoveAndStrikesDiffer)
{
    // Hero: walk pairs at 0, 3, 6, 9 and a strike after each.
    for (const char* hero : {"sprites/Tavin.bmp", "sprites/Tavin2.bmp"}) {
        const ktool::Image img = datatest::Picture(hero);
        for (int base : {0, 3, 6, 9}) {
            EXPECT_NE(Frame(img, base), Frame(img, base + 1)) << hero << " frame " << base;
            EXPECT_NE(Frame(img, base + 2), Frame(img, base)) << hero << " frame " << base + 2;
            EXPECT_NE(Frame(img, base + 2), Frame(img, base + 1)) << hero << " frame " << base + 2;
        }
    }
    // Walkers: the spawn cloud grows, then each way has two steps.
    for (const char* enemy : {"sprites/KrillopRed.bmp", "sprites/KrillopBlue.bmp", "sprites/GorlakRed.bmp",
                              "sprites/GorlakBlue.bmp"}) {
        const ktool::Image img = datatest::Picture(enemy);
        std::set<std::vector<uint32_t>> distinct;
        for (int f = 0; f < 11; ++f) distinct.insert(Frame(img, f));
        EXPECT_EQ(distinct.size(), 11u) << enemy;
    }
    for (const char* two : {"sprites/BatRed.bmp", "sprites/BatBlue.bmp", "sprites/Skeleton.bmp",
                            "sprites/Heart.bmp", "sprites/Fire.bmp", "sprites/Jessel.bmp"}) {
        const ktool::Image img = datatest::Picture(two);
        EXPECT_NE(Frame(img, 0), Frame(img, 1)) << two;
    }
}

TEST(ArtLook, TheHeadsUpPlacesAreLeftClearForTheOverlay)
{
    const ktool::Image hud = datatest::Picture("kskhud32.bmp");
    ASSERT_EQ(hud.width, 512);
    // Where the game draws the counters, the item, the sword and the hearts
    // the band is one flat colour, so what is drawn there reads clearly.
    const Area kPlaces[] = {
        {195, 48, 48, 16}, {195, 80, 48, 32}, {251, 65, 16, 16}, {298, 65, 32, 32}, {346, 68, 135, 36},
    };
    for (const Area& a : kPlaces) {
        uint32_t first = hud.At(a.x, a.y);
        int other = 0;
        for (int y = a.y; y < a.y + a.h; ++y) {
            for (int x = a.x; x < a.x + a.w; ++x) other += hud.At(x, y) != first;
        }
        EXPECT_EQ(other, 0) << "place at " << a.x << "," << a.y;
        EXPECT_NE(first, ktool::kMagenta) << "place at " << a.x << "," << a.y;
    }
    // Each place has a frame around it: the row above the item box differs.
    EXPECT_NE(hud.At(259, 60), hud.At(259, 70));
    EXPECT_NE(hud.At(314, 61), hud.At(314, 70));
}

}  // namespace
