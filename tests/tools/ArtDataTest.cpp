#include <gtest/gtest.h>

#include <map>

#include "engine/SpriteDef.h"
#include "tests/tools/DataFiles.h"

namespace {

struct Wanted {
    const char* name;
    int frames;
};

const Wanted kSprites[] = {
    {"Tavin", 12},      {"Tavin2", 12},    {"WoodSword", 4},   {"SteelSword", 4}, {"MagicSword", 4},
    {"ThrowSword", 12}, {"Arrow", 4},      {"Rock", 1},        {"EnergyBall", 4}, {"Fire", 2},
    {"Boomerang", 8},   {"BoomerangB", 8}, {"Bomb", 1},        {"Smoke", 3},      {"DeathSpark", 5},
    {"Key", 1},         {"Heart", 2},      {"Jessel", 2},      {"PushStone", 1},  {"KrillopBlue", 11},
    {"KrillopRed", 11}, {"GorlakRed", 11}, {"GorlakBlue", 11}, {"Nerrit", 4},     {"BatRed", 2},
    {"BatBlue", 2},     {"Skeleton", 2},   {"Snake", 4},
};

class ArtData : public testing::Test {
protected:
    void SetUp() override
    {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(datatest::ReadBytes(datatest::DataPath("sprite.def"), bytes));
        def = Quill::ParseSpriteDef(std::string(bytes.begin(), bytes.end()), "sprite.def");
        ASSERT_TRUE(def.errors.empty()) << def.errors.front();
    }
    const Quill::SpriteDefEntry* Find(const std::string& name) const
    {
        for (const auto& s : def.sprites) {
            if (s.name == name)
                return &s;
        }
        return nullptr;
    }
    Quill::SpriteDefFile def;
};

TEST_F(ArtData, TileSheetsHaveTheirSizes)
{
    std::map<int, std::pair<int, int>> wanted = {{0, {32, 512}}, {1, {16, 256}}};
    ASSERT_EQ(def.tileSheets.size(), 2u);
    for (const auto& sheet : def.tileSheets) {
        ASSERT_TRUE(wanted.count(sheet.sheet));
        auto [tile, side] = wanted[sheet.sheet];
        EXPECT_EQ(sheet.tileWidth, tile);
        EXPECT_EQ(sheet.tileHeight, tile);
        datatest::BmpInfo bmp = datatest::ReadBmpInfo(datatest::DataPath(sheet.image));
        ASSERT_TRUE(bmp.ok) << sheet.image;
        EXPECT_EQ(bmp.width, side) << sheet.image;
        EXPECT_EQ(bmp.height, side) << sheet.image;
    }
}

TEST_F(ArtData, EverySpriteIsListedWithItsFramesAndAWideEnoughImage)
{
    for (const Wanted& w : kSprites) {
        const Quill::SpriteDefEntry* s = Find(w.name);
        ASSERT_NE(s, nullptr) << w.name;
        EXPECT_EQ(s->frameCount, w.frames) << w.name;
        EXPECT_EQ(s->frameWidth, 32) << w.name;
        EXPECT_EQ(s->frameHeight, 32) << w.name;
        datatest::BmpInfo bmp = datatest::ReadBmpInfo(datatest::DataPath(s->image));
        ASSERT_TRUE(bmp.ok) << s->image;
        EXPECT_TRUE(bmp.bitsPerPixel == 24 || bmp.bitsPerPixel == 32) << s->image;
        EXPECT_GE(bmp.width, s->frameWidth * s->frameCount) << s->image;
        EXPECT_GE(bmp.height, s->frameHeight) << s->image;
    }
}

TEST_F(ArtData, EverySpriteFrameIsDrawnOnATransparentGround)
{
    for (const Wanted& w : kSprites) {
        const Quill::SpriteDefEntry* s = Find(w.name);
        ASSERT_NE(s, nullptr) << w.name;
        datatest::BmpPixels img = datatest::ReadBmpPixels(datatest::DataPath(s->image));
        ASSERT_TRUE(img.ok) << s->image;
        for (int f = 0; f < s->frameCount; ++f) {
            int opaque = 0, clear = 0;
            for (int y = 0; y < s->frameHeight; ++y) {
                for (int x = 0; x < s->frameWidth; ++x)
                    (img.At(f * s->frameWidth + x, y) == datatest::kMagenta ? clear : opaque)++;
            }
            EXPECT_GT(opaque, 12) << w.name << " frame " << f << " is empty";
            if (w.name != std::string("PushStone")) {
                EXPECT_GT(clear, 0) << w.name << " frame " << f << " has no transparent pixels";
            }
        }
    }
}

TEST_F(ArtData, TheTwoHeroesLookDifferent)
{
    datatest::BmpPixels a = datatest::ReadBmpPixels(datatest::DataPath("sprites/Tavin.bmp"));
    datatest::BmpPixels b = datatest::ReadBmpPixels(datatest::DataPath("sprites/Tavin2.bmp"));
    ASSERT_TRUE(a.ok && b.ok);
    ASSERT_EQ(a.rgb.size(), b.rgb.size());
    size_t differ = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) differ += a.rgb[i] != b.rgb[i];
    EXPECT_GT(differ, a.rgb.size() / 20);
}

TEST_F(ArtData, EveryMapTileIsOpaqueAndTheNeededHudTilesAreDrawn)
{
    datatest::BmpPixels map = datatest::ReadBmpPixels(datatest::DataPath("tiles/map.bmp"));
    ASSERT_TRUE(map.ok);
    for (int t = 0; t < 256; ++t) {
        int holes = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x)
                holes += map.At(t % 16 * 32 + x, t / 16 * 32 + y) == datatest::kMagenta;
        }
        EXPECT_EQ(holes, 0) << "map tile " << t;
    }
    datatest::BmpPixels hud = datatest::ReadBmpPixels(datatest::DataPath("tiles/hud.bmp"));
    ASSERT_TRUE(hud.ok);
    for (int t : {4, 5, 6, 25, 58, 59, 60, 61, 72, 147, 163}) {
        int drawn = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                drawn += hud.At(t % 16 * 16 + x, t / 16 * 16 + y) != datatest::kMagenta;
        }
        EXPECT_GT(drawn, 10) << "hud tile " << t;
    }
}

TEST_F(ArtData, BandsAndFontHaveTheirSizes)
{
    const struct {
        const char* file;
        int w, h;
    } kImages[] = {{"ksktext32.bmp", 688, 16}, {"kskhud32.bmp", 512, 128}, {"kskfooter32.bmp", 512, 32}};
    for (const auto& image : kImages) {
        datatest::BmpInfo bmp = datatest::ReadBmpInfo(datatest::DataPath(image.file));
        ASSERT_TRUE(bmp.ok) << image.file;
        EXPECT_EQ(bmp.width, image.w) << image.file;
        EXPECT_EQ(bmp.height, image.h) << image.file;
    }
}

TEST_F(ArtData, EveryFontGlyphHasBrightInkOnTransparentGround)
{
    datatest::BmpPixels font = datatest::ReadBmpPixels(datatest::DataPath("ksktext32.bmp"));
    ASSERT_TRUE(font.ok);
    auto bright = [](uint32_t c) {
        return c != datatest::kMagenta && (c >> 16 & 255) >= 170 && (c >> 8 & 255) >= 170 && (c & 255) >= 170;
    };
    for (int g = 0; g < 43; ++g) {
        int ink = 0, clear = 0, dark = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                uint32_t c = font.At(g * 16 + x, y);
                ink += bright(c);
                clear += c == datatest::kMagenta;
                dark += c != datatest::kMagenta && !bright(c);
            }
        }
        EXPECT_GT(ink, 4) << "glyph " << g;
        EXPECT_GT(clear, 32) << "glyph " << g;
        EXPECT_GT(dark, ink / 2) << "glyph " << g << " needs its outline";
    }
}

}  // namespace
