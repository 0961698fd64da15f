#include <gtest/gtest.h>

#include "engine/SpriteDef.h"

using namespace Quill;

namespace {

TEST(SpriteDef, ParsesSpritesAndTileSheets)
{
    SpriteDefFile def = ParseSpriteDef(
        "# the hero\n"
        "sprite Tavin tavin.bmp 16 16 8\n"
        "\n"
        "   sprite\tKrillop  enemies/krillop.bmp 16 16 2   # two frames\n"
        "tilesheet 0 tiles.bmp 16 16\r\n"
        "tilesheet 3 hud.bmp 8 8\n",
        "sprite.def");
    EXPECT_TRUE(def.errors.empty());
    ASSERT_EQ(def.sprites.size(), 2u);
    EXPECT_EQ(def.sprites[0].name, "Tavin");
    EXPECT_EQ(def.sprites[0].image, "tavin.bmp");
    EXPECT_EQ(def.sprites[0].frameWidth, 16);
    EXPECT_EQ(def.sprites[0].frameHeight, 16);
    EXPECT_EQ(def.sprites[0].frameCount, 8);
    EXPECT_EQ(def.sprites[0].line, 2);
    EXPECT_EQ(def.sprites[1].name, "Krillop");
    EXPECT_EQ(def.sprites[1].image, "enemies/krillop.bmp");
    EXPECT_EQ(def.sprites[1].frameCount, 2);
    EXPECT_EQ(def.sprites[1].line, 4);
    ASSERT_EQ(def.tileSheets.size(), 2u);
    EXPECT_EQ(def.tileSheets[0].sheet, 0);
    EXPECT_EQ(def.tileSheets[0].image, "tiles.bmp");
    EXPECT_EQ(def.tileSheets[0].tileWidth, 16);
    EXPECT_EQ(def.tileSheets[0].tileHeight, 16);
    EXPECT_EQ(def.tileSheets[0].line, 5);
    EXPECT_EQ(def.tileSheets[1].sheet, 3);
    EXPECT_EQ(def.tileSheets[1].tileWidth, 8);

    def = ParseSpriteDef("", "sprite.def");
    EXPECT_TRUE(def.sprites.empty() && def.tileSheets.empty() && def.errors.empty());
}

// Each bad line follows a good one: the error names line 2 and the good entry survives.
TEST(SpriteDef, ABadLineIsReportedWithFileLineAndProblem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"spirte Typo typo.bmp 8 8 1", "unknown keyword 'spirte'"},
        {"sprite Short short.bmp 8 8", "sprite needs 5 fields"},
        {"sprite Long long.bmp 8 8 1 9", "sprite needs 5 fields"},
        {"sprite Letters l.bmp eight 8 1", "frame width must be a whole number"},
        {"sprite Zero z.bmp 8 0 1", "frame height must be a whole number"},
        {"sprite Negative n.bmp 8 8 -2", "frame count must be a whole number"},
        {"sprite Mixed m.bmp 8x 8 1", "got '8x'"},
        {"sprite Huge h.bmp 8 8 99999999", "frame count must be"},
        {"sprite Good other.bmp 4 4 1", "sprite 'Good' already defined on line 1"},
        {"tilesheet 0 tiles.bmp 16", "tilesheet needs 4 fields"},
        {"tilesheet 4 tiles.bmp 16 16", "tile sheet index must be 0 to 3, got '4'"},
        {"tilesheet -1 tiles.bmp 16 16", "tile sheet index must be 0 to 3"},
        {"tilesheet one tiles.bmp 16 16", "tile sheet index must be 0 to 3"},
        {"tilesheet 1 tiles.bmp 0 16", "tile width must be a whole number"},
        {"tilesheet 1 tiles.bmp 16 1.5", "tile height must be a whole number"},
    };
    for (const auto& [line, expected] : cases) {
        SpriteDefFile def =
            ParseSpriteDef(std::string("sprite Good good.bmp 8 8 1\n") + line + "\n", "data/sprite.def");
        ASSERT_EQ(def.errors.size(), 1u) << line;
        EXPECT_EQ(def.errors[0].rfind("data/sprite.def:2: ", 0), 0u) << def.errors[0];
        EXPECT_NE(def.errors[0].find(expected), std::string::npos) << def.errors[0];
        ASSERT_EQ(def.sprites.size(), 1u) << line;
        EXPECT_EQ(def.sprites[0].name, "Good");
        EXPECT_TRUE(def.tileSheets.empty()) << line;
    }
}

TEST(SpriteDef, EveryBadLineIsReported)
{
    SpriteDefFile def = ParseSpriteDef(
        "bogus\n"
        "tilesheet 2 a.bmp 8 8\n"
        "tilesheet 2 b.bmp 8 8\n"
        "sprite A a.bmp 1 1 0\n"
        "sprite B b.bmp 1 1 1\n",
        "s.def");
    ASSERT_EQ(def.errors.size(), 3u);
    EXPECT_EQ(def.errors[0].rfind("s.def:1: ", 0), 0u);
    EXPECT_EQ(def.errors[1].rfind("s.def:3: tile sheet 2 already defined on line 2", 0), 0u) << def.errors[1];
    EXPECT_EQ(def.errors[2].rfind("s.def:4: ", 0), 0u);
    ASSERT_EQ(def.sprites.size(), 1u);
    EXPECT_EQ(def.sprites[0].name, "B");
    ASSERT_EQ(def.tileSheets.size(), 1u);
    EXPECT_EQ(def.tileSheets[0].image, "a.bmp");
}

}  // namespace
