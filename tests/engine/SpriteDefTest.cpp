#include <gtest/gtest.h>

#include "engine/SpriteDef.h"
#include "tests/engine/EngineTestUtil.h"

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
}

TEST(SpriteDef, EmptyTextHasNothing)
{
    SpriteDefFile def = ParseSpriteDef("", "sprite.def");
    EXPECT_TRUE(def.sprites.empty());
    EXPECT_TRUE(def.tileSheets.empty());
    EXPECT_TRUE(def.errors.empty());
}

struct BadLine {
    const char* line;
    const char* expected;  // after "<file>:<line>: "
};

void PrintTo(const BadLine& bad, std::ostream* os)
{
    *os << EngineTest::Slug(bad.line);
}

class SpriteDefErrors : public ::testing::TestWithParam<BadLine> {};

// Each bad line sits after a good one, so the reported line number is 2 and
// the good entry survives.
TEST_P(SpriteDefErrors, ReportFileLineAndProblem)
{
    std::string text = std::string("sprite Good good.bmp 8 8 1\n") + GetParam().line + "\n";
    SpriteDefFile def = ParseSpriteDef(text, "data/sprite.def");
    ASSERT_EQ(def.errors.size(), 1u);
    const std::string prefix = "data/sprite.def:2: ";
    EXPECT_EQ(def.errors[0].rfind(prefix, 0), 0u) << def.errors[0];
    EXPECT_NE(def.errors[0].find(GetParam().expected), std::string::npos) << def.errors[0];
    ASSERT_GE(def.sprites.size(), 1u);
    EXPECT_EQ(def.sprites[0].name, "Good");
    EXPECT_EQ(def.sprites.size() + def.tileSheets.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    BadLines, SpriteDefErrors,
    ::testing::Values(BadLine{"spirte Typo typo.bmp 8 8 1", "unknown keyword 'spirte'"},
                      BadLine{"sprite Short short.bmp 8 8", "sprite needs 5 fields"},
                      BadLine{"sprite Long long.bmp 8 8 1 9", "sprite needs 5 fields"},
                      BadLine{"sprite Letters l.bmp eight 8 1", "frame width must be a whole number"},
                      BadLine{"sprite Zero z.bmp 8 0 1", "frame height must be a whole number"},
                      BadLine{"sprite Negative n.bmp 8 8 -2", "frame count must be a whole number"},
                      BadLine{"sprite Mixed m.bmp 8x 8 1", "got '8x'"},
                      BadLine{"sprite Huge h.bmp 8 8 99999999", "frame count must be"},
                      BadLine{"sprite Good other.bmp 4 4 1", "sprite 'Good' already defined on line 1"},
                      BadLine{"tilesheet 0 tiles.bmp 16", "tilesheet needs 4 fields"},
                      BadLine{"tilesheet 4 tiles.bmp 16 16", "tile sheet index must be 0 to 3, got '4'"},
                      BadLine{"tilesheet -1 tiles.bmp 16 16", "tile sheet index must be 0 to 3"},
                      BadLine{"tilesheet one tiles.bmp 16 16", "tile sheet index must be 0 to 3"},
                      BadLine{"tilesheet 1 tiles.bmp 0 16", "tile width must be a whole number"},
                      BadLine{"tilesheet 1 tiles.bmp 16 1.5", "tile height must be a whole number"}));

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
