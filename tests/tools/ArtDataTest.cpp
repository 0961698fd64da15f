#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "engine/SpriteDef.h"
#include "tests/tools/DataFiles.h"

// The generated pictures: what the game names and sizes, and how they fit
// together (tiles that must join, door states that share their frame,
// animations that move, heads-up places left clear for the overlay).
namespace {

using datatest::Picture;
using ktool::kMagenta;
using Pixels = std::vector<ktool::Rgb>;

struct Area {
    int x, y, w, h;
};

// The pixels of an area at (x0, y0) of a picture; none when it reaches outside.
Pixels Cut(const ktool::Image& img, int x0, int y0, Area a)
{
    Pixels out;
    for (int y = y0 + a.y; y < y0 + a.y + a.h; ++y) {
        for (int x = x0 + a.x; x < x0 + a.x + a.w; ++x) {
            if (!img.Inside(x, y))
                return {};
            out.push_back(img.At(x, y));
        }
    }
    return out;
}

// An area of tile `tile` of a sheet of 16 x 16 tiles of `size` pixels.
Pixels Tile(const ktool::Image& sheet, int tile, Area a, int size = 32)
{
    return Cut(sheet, tile % 16 * size, tile / 16 * size, a);
}

Pixels Frame(const ktool::Image& sprite, int frame)
{
    return Cut(sprite, frame * 32, 0, {0, 0, 32, 32});
}

int Clear(const Pixels& p)
{
    return int(std::count(p.begin(), p.end(), kMagenta));
}

Quill::SpriteDefFile ReadSpriteDef()
{
    std::ifstream in(datatest::DataPath("sprite.def"));
    std::stringstream text;
    text << in.rdbuf();
    return Quill::ParseSpriteDef(text.str(), "sprite.def");
}

}  // namespace

TEST(ArtData, EverySpriteIsListedWithItsFramesEachDrawnOnATransparentGround)
{
    const struct {
        const char* name;
        int frames;
    } kSprites[] = {
        {"Tavin", 12},      {"Tavin2", 12},    {"WoodSword", 4},   {"SteelSword", 4}, {"MagicSword", 4},
        {"ThrowSword", 12}, {"Arrow", 4},      {"Rock", 1},        {"EnergyBall", 4}, {"Fire", 2},
        {"Boomerang", 8},   {"BoomerangB", 8}, {"Bomb", 1},        {"Smoke", 3},      {"DeathSpark", 5},
        {"Key", 1},         {"Heart", 2},      {"Jessel", 2},      {"PushStone", 1},  {"KrillopBlue", 11},
        {"KrillopRed", 11}, {"GorlakRed", 11}, {"GorlakBlue", 11}, {"Nerrit", 4},     {"BatRed", 2},
        {"BatBlue", 2},     {"Skeleton", 2},   {"Snake", 4},
    };
    const Quill::SpriteDefFile def = ReadSpriteDef();
    ASSERT_TRUE(def.errors.empty()) << (def.errors.empty() ? "" : def.errors.front());
    for (const auto& w : kSprites) {
        SCOPED_TRACE(w.name);
        auto s =
            std::find_if(def.sprites.begin(), def.sprites.end(), [&](auto& e) { return e.name == w.name; });
        ASSERT_NE(s, def.sprites.end());
        EXPECT_EQ(s->frameCount, w.frames);
        EXPECT_EQ(s->frameWidth, 32);
        EXPECT_EQ(s->frameHeight, 32);
        const ktool::Image img = Picture(s->image);
        for (int f = 0; f < s->frameCount; ++f) {
            const Pixels frame = Frame(img, f);
            ASSERT_EQ(frame.size(), 32u * 32u) << "frame " << f << " lies outside the picture";
            EXPECT_GT(32 * 32 - Clear(frame), 12) << "frame " << f << " is empty";
            if (w.name != std::string("PushStone")) {
                EXPECT_GT(Clear(frame), 0) << "frame " << f << " has no transparent pixels";
            }
        }
    }
    // The two heroes must be told apart.
    const ktool::Image a = Picture("sprites/Tavin.bmp"), b = Picture("sprites/Tavin2.bmp");
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    size_t differ = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) differ += a.pixels[i] != b.pixels[i];
    EXPECT_GT(differ, a.pixels.size() / 20);
}

TEST(ArtData, SheetsBandsAndFontHaveTheirSizes)
{
    const Quill::SpriteDefFile def = ReadSpriteDef();
    ASSERT_EQ(def.tileSheets.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const auto& sheet = def.tileSheets[size_t(i)];
        const int tile = i == 0 ? 32 : 16;  // the map's sheet, then the heads-up sheet: 16 x 16 tiles each
        EXPECT_EQ(sheet.sheet, i);
        EXPECT_EQ(sheet.tileWidth, tile);
        EXPECT_EQ(sheet.tileHeight, tile);
        const ktool::Image img = Picture(sheet.image);
        EXPECT_EQ(img.width, 16 * tile) << sheet.image;
        EXPECT_EQ(img.height, 16 * tile) << sheet.image;
    }
    const struct {
        const char* file;
        int w, h;
    } kImages[] = {{"ksktext32.bmp", 688, 16}, {"kskhud32.bmp", 512, 128}, {"kskfooter32.bmp", 512, 32}};
    for (const auto& image : kImages) {
        const ktool::Image img = Picture(image.file);
        EXPECT_EQ(img.width, image.w) << image.file;
        EXPECT_EQ(img.height, image.h) << image.file;
    }
}

TEST(ArtData, EveryMapTileIsOpaqueTheNeededHudTilesAreDrawnAndEveryGlyphHasAnOutlinedInk)
{
    const ktool::Image map = Picture("tiles/map.bmp");
    ASSERT_EQ(map.width, 512);
    for (int t = 0; t < 256; ++t) EXPECT_EQ(Clear(Tile(map, t, {0, 0, 32, 32})), 0) << t;
    const ktool::Image hud = Picture("tiles/hud.bmp");
    ASSERT_EQ(hud.width, 256);
    for (int t : {4, 5, 6, 25, 58, 59, 60, 61, 72, 147, 163})
        EXPECT_GT(16 * 16 - Clear(Tile(hud, t, {0, 0, 16, 16}, 16)), 10) << "hud tile " << t;

    const ktool::Image font = Picture("ksktext32.bmp");
    ASSERT_EQ(font.width, 688);
    for (int g = 0; g < 43; ++g) {
        const Pixels glyph = Cut(font, g * 16, 0, {0, 0, 16, 16});
        const int ink = int(std::count_if(glyph.begin(), glyph.end(), [](ktool::Rgb c) {
            return c != kMagenta && (c >> 16 & 255) >= 170 && (c >> 8 & 255) >= 170 && (c & 255) >= 170;
        }));
        EXPECT_GT(ink, 4) << "glyph " << g;
        EXPECT_GT(Clear(glyph), 32) << "glyph " << g;
        EXPECT_GT(16 * 16 - ink - Clear(glyph), ink / 2) << "glyph " << g << " needs its outline";
    }
}

TEST(ArtData, BanksCornersAndDoorsJoinWhereTheyMeet)
{
    const ktool::Image map = Picture("tiles/map.bmp");
    ASSERT_EQ(map.width, 512);
    const Area top{0, 0, 32, 1}, bottom{0, 31, 32, 1}, left{0, 0, 1, 32}, right{31, 0, 1, 32};
    const Area tl{0, 0, 8, 8}, tr{24, 0, 8, 8}, bl{0, 24, 8, 8}, br{24, 24, 8, 8};
    // The shore strip is the outer 14 pixels.
    const Area leftShore{0, 0, 1, 14}, rightShore{31, 0, 1, 14}, topShore{0, 0, 14, 1},
        bottomShore{0, 31, 14, 1}, rightLow{31, 18, 1, 14}, leftLow{0, 18, 1, 14}, topRight{18, 0, 14, 1},
        bottomRight{18, 31, 14, 1};
    const struct {
        int a;
        Area areaA;
        int b;
        Area areaB;
    } kSame[] = {
        // Banks with land north, south, west, east show plain water (48) on the opposite edge.
        {49, bottom, 48, bottom},
        {50, top, 48, top},
        {51, right, 48, right},
        {52, left, 48, left},
        // Corners keep water in the quarter away from both shores.
        {53, br, 48, br},
        {54, bl, 48, bl},
        {55, tr, 48, tr},
        {56, tl, 48, tl},
        // Shores that run on from one bank into the next corner line up.
        {49, leftShore, 53, rightShore},
        {49, rightShore, 54, leftShore},
        {50, rightLow, 56, leftLow},
        {50, leftLow, 55, rightLow},
        {51, topShore, 53, bottomShore},
        {51, bottomShore, 55, topShore},
        {52, topRight, 54, bottomRight},
        {52, bottomRight, 56, topRight},
    };
    for (const auto& s : kSame)
        EXPECT_EQ(Tile(map, s.a, s.areaA), Tile(map, s.b, s.areaB)) << s.a << " " << s.b;

    // Corner pieces 3 to 6 of each ground (0, 16, 32) show the ground exactly on
    // their free quarter (bottom-right, bottom-left, top-right, top-left) and the
    // solid piece (ground + 7) on the opposite one; the inner four pixels are the edge.
    const Area quarter[4] = {{20, 20, 12, 12}, {0, 20, 12, 12}, {20, 0, 12, 12}, {0, 0, 12, 12}};
    for (int ground : {0, 16, 32}) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(Tile(map, ground + 3 + c, quarter[c]), Tile(map, ground, quarter[c])) << ground + 3 + c;
            EXPECT_EQ(Tile(map, ground + 3 + c, quarter[3 - c]), Tile(map, ground + 7, quarter[3 - c]))
                << ground + 3 + c;
        }
    }

    // Open, shut, locked: the posts of north and south doors and the lintel
    // of east and west doors are the same in all three.
    const struct {
        int open, shut, locked;
        Area frame;
    } kDoors[] = {
        {168, 152, 136, {0, 0, 8, 32}},  {169, 153, 137, {24, 0, 8, 32}}, {170, 154, 138, {0, 0, 8, 32}},
        {171, 155, 139, {24, 0, 8, 32}}, {172, 156, 140, {0, 0, 32, 16}}, {173, 157, 141, {0, 0, 32, 16}},
    };
    const Area whole{0, 0, 32, 32};
    for (const auto& d : kDoors) {
        EXPECT_EQ(Tile(map, d.shut, d.frame), Tile(map, d.open, d.frame)) << d.shut;
        EXPECT_EQ(Tile(map, d.locked, d.frame), Tile(map, d.open, d.frame)) << d.locked;
        EXPECT_NE(Tile(map, d.shut, whole), Tile(map, d.open, whole)) << d.shut;
        EXPECT_NE(Tile(map, d.locked, whole), Tile(map, d.shut, whole)) << d.locked;
    }
}

TEST(ArtData, WalkingFramesMoveAndStrikesDiffer)
{
    // Hero: walk pairs at 0, 3, 6, 9 and a strike after each.
    for (const char* hero : {"sprites/Tavin.bmp", "sprites/Tavin2.bmp"}) {
        const ktool::Image img = Picture(hero);
        for (int base : {0, 3, 6, 9}) {
            EXPECT_NE(Frame(img, base), Frame(img, base + 1)) << hero << " frame " << base;
            EXPECT_NE(Frame(img, base + 2), Frame(img, base)) << hero << " frame " << base + 2;
            EXPECT_NE(Frame(img, base + 2), Frame(img, base + 1)) << hero << " frame " << base + 2;
        }
    }
    // Walkers: the spawn cloud grows, then each way has two steps.
    for (const char* enemy : {"sprites/KrillopRed.bmp", "sprites/KrillopBlue.bmp", "sprites/GorlakRed.bmp",
                              "sprites/GorlakBlue.bmp"}) {
        const ktool::Image img = Picture(enemy);
        std::set<Pixels> distinct;
        for (int f = 0; f < 11; ++f) distinct.insert(Frame(img, f));
        EXPECT_EQ(distinct.size(), 11u) << enemy;
    }
    for (const char* two : {"sprites/BatRed.bmp", "sprites/BatBlue.bmp", "sprites/Skeleton.bmp",
                            "sprites/Heart.bmp", "sprites/Fire.bmp", "sprites/Jessel.bmp"})
        EXPECT_NE(Frame(Picture(two), 0), Frame(Picture(two), 1)) << two;
}

TEST(ArtData, TheHeadsUpPlacesAreLeftClearForTheOverlay)
{
    const ktool::Image hud = Picture("kskhud32.bmp");
    ASSERT_EQ(hud.width, 512);
    // Where the game draws the counters, the item, the sword and the hearts
    // the band is one flat colour, so what is drawn there reads clearly.
    const Area kPlaces[] = {
        {195, 48, 48, 16}, {195, 80, 48, 32}, {251, 65, 16, 16}, {298, 65, 32, 32}, {346, 68, 135, 36},
    };
    for (const Area& a : kPlaces) {
        const Pixels place = Cut(hud, 0, 0, a);
        ASSERT_FALSE(place.empty());
        EXPECT_EQ(std::count(place.begin(), place.end(), place[0]), std::ptrdiff_t(place.size()))
            << a.x << "," << a.y;
        EXPECT_NE(place[0], kMagenta) << a.x << "," << a.y;
    }
    // Each place has a frame around it: the row above the item box differs.
    EXPECT_NE(hud.At(259, 60), hud.At(259, 70));
    EXPECT_NE(hud.At(314, 61), hud.At(314, 70));
}
