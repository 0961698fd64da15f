#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "engine/SpriteDef.h"
#include "tests/tools/DataFiles.h"

using datatest::Picture;
using ktool::kMagenta;

namespace {

// Counts the pixels of a w x h cell at (x0, y0) for which `count` holds.
template <typename Pred>
int CountIn(const ktool::Image& img, int x0, int y0, int w, int h, Pred count)
{
    int n = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) n += count(img.At(x, y));
    }
    return n;
}

bool Clear(ktool::Rgb c)
{
    return c == kMagenta;
}

Quill::SpriteDefFile ReadSpriteDef()
{
    std::ifstream in(datatest::DataPath("sprite.def"));
    std::stringstream text;
    text << in.rdbuf();
    return Quill::ParseSpriteDef(text.str(), "sprite.def");
}

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
    ASSERT_TRUE(def.errors.empty()) << def.errors.front();
    for (const auto& w : kSprites) {
        SCOPED_TRACE(w.name);
        auto s =
            std::find_if(def.sprites.begin(), def.sprites.end(), [&](auto& e) { return e.name == w.name; });
        ASSERT_NE(s, def.sprites.end());
        EXPECT_EQ(s->frameCount, w.frames);
        EXPECT_EQ(s->frameWidth, 32);
        EXPECT_EQ(s->frameHeight, 32);
        const ktool::Image img = Picture(s->image);
        ASSERT_GE(img.width, 32 * s->frameCount);
        ASSERT_GE(img.height, 32);
        for (int f = 0; f < s->frameCount; ++f) {
            const int clear = CountIn(img, 32 * f, 0, 32, 32, Clear);
            EXPECT_GT(32 * 32 - clear, 12) << "frame " << f << " is empty";
            if (w.name != std::string("PushStone")) {
                EXPECT_GT(clear, 0) << "frame " << f << " has no transparent pixels";
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

TEST(ArtData, EveryMapTileIsOpaqueAndTheNeededHudTilesAreDrawn)
{
    const ktool::Image map = Picture("tiles/map.bmp");
    ASSERT_EQ(map.width, 512);
    for (int t = 0; t < 256; ++t) EXPECT_EQ(CountIn(map, t % 16 * 32, t / 16 * 32, 32, 32, Clear), 0) << t;
    const ktool::Image hud = Picture("tiles/hud.bmp");
    ASSERT_EQ(hud.width, 256);
    for (int t : {4, 5, 6, 25, 58, 59, 60, 61, 72, 147, 163})
        EXPECT_GT(16 * 16 - CountIn(hud, t % 16 * 16, t / 16 * 16, 16, 16, Clear), 10) << "hud tile " << t;
}

TEST(ArtData, EveryFontGlyphHasBrightInkOnTransparentGround)
{
    const ktool::Image font = Picture("ksktext32.bmp");
    ASSERT_EQ(font.width, 688);
    auto bright = [](ktool::Rgb c) {
        return c != kMagenta && (c >> 16 & 255) >= 170 && (c >> 8 & 255) >= 170 && (c & 255) >= 170;
    };
    for (int g = 0; g < 43; ++g) {
        const int ink = CountIn(font, g * 16, 0, 16, 16, bright),
                  clear = CountIn(font, g * 16, 0, 16, 16, Clear);
        EXPECT_GT(ink, 4) << "glyph " << g;
        EXPECT_GT(clear, 32) << "glyph " << g;
        EXPECT_GT(16 * 16 - ink - clear, ink / 2) << "glyph " << g << " needs its outline";
    }
}

}  // namespace
