#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/BitmapFont.h"
#include "engine/MessageBanner.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using EngineTest::Rgb;

namespace {

TEST(WrapText, BreaksAtSpacesWithinTheWidth)
{
    EXPECT_EQ(WrapText("the quick brown fox", 10), (std::vector<std::string>{"the quick", "brown fox"}));
    EXPECT_EQ(WrapText("one two", 7), (std::vector<std::string>{"one two"}));
    EXPECT_EQ(WrapText("  spaced   out  ", 20), (std::vector<std::string>{"spaced out"}));
}

TEST(WrapText, SplitsWordsLongerThanALine)
{
    EXPECT_EQ(WrapText("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_EQ(WrapText("hi abcdefgh", 4), (std::vector<std::string>{"hi", "abcd", "efgh"}));
}

TEST(WrapText, KeepsExplicitLineBreaks)
{
    EXPECT_EQ(WrapText("first\nsecond", 40), (std::vector<std::string>{"first", "second"}));
}

TEST(WrapText, NothingToWrap)
{
    EXPECT_TRUE(WrapText("", 10).empty());
    EXPECT_TRUE(WrapText("abc", 0).empty());
}

TEST(BitmapFont, GlyphsForPrintableCharactersAndAFallback)
{
    const uint8_t* space = BitmapFont::Glyph(' ');
    for (int row = 0; row < BitmapFont::kGlyphHeight; ++row) {
        EXPECT_EQ(space[row], 0);
    }
    // Every other printable character has at least one pixel, none wider than 5.
    for (char c = '!'; c <= '~'; ++c) {
        const uint8_t* g = BitmapFont::Glyph(c);
        int bits = 0;
        for (int row = 0; row < BitmapFont::kGlyphHeight; ++row) {
            EXPECT_EQ(g[row] & ~0x1F, 0) << c;
            bits |= g[row];
        }
        EXPECT_NE(bits, 0) << c;
    }
    EXPECT_EQ(BitmapFont::Glyph('\x01'), BitmapFont::Glyph('?'));
    EXPECT_EQ(BitmapFont::Glyph('\x7F'), BitmapFont::Glyph('?'));
    EXPECT_NE(BitmapFont::Glyph('A'), BitmapFont::Glyph('B'));
}

TEST(MessageBanner, LayoutIsCentredNearTheBottomAndFitsTheWidth)
{
    BannerLayout layout = LayoutMessageBanner(512, 512, "Hello");
    ASSERT_EQ(layout.lines, std::vector<std::string>{"Hello"});
    EXPECT_GT(layout.width, 0);
    EXPECT_EQ(layout.x, (512 - layout.width) / 2);
    EXPECT_GT(layout.y, 400);
    EXPECT_LE(layout.y + layout.height, 512 - 32);  // clear of a footer band

    BannerLayout wrapped = LayoutMessageBanner(200, 300, std::string(100, 'w'));
    EXPECT_GT(wrapped.lines.size(), 1u);
    EXPECT_GE(wrapped.x, 0);
    EXPECT_LE(wrapped.x + wrapped.width, 200);
    EXPECT_LE(wrapped.y + wrapped.height, 300);

    EXPECT_TRUE(LayoutMessageBanner(10, 10, "too narrow").lines.empty());
    EXPECT_TRUE(LayoutMessageBanner(512, 512, "").lines.empty());
}

TEST(MessageBanner, DrawsADarkBoxWithWhiteText)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 128, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(surface, nullptr);
    EngineTest::FillSurface(surface, Rgb{0, 128, 0});
    const std::string text = "Found the key";
    BannerLayout layout = LayoutMessageBanner(256, 128, text);
    DrawMessageBanner(surface, text);
    EXPECT_EQ(EngineTest::ReadPixel(surface, layout.x, layout.y), (Rgb{16, 16, 40}));
    EXPECT_EQ(EngineTest::ReadPixel(surface, layout.x - 1, layout.y), (Rgb{0, 128, 0}));
    int white = 0;
    for (int y = layout.y; y < layout.y + layout.height; ++y) {
        for (int x = layout.x; x < layout.x + layout.width; ++x) {
            white += EngineTest::ReadPixel(surface, x, y) == Rgb{255, 255, 255};
        }
    }
    EXPECT_GT(white, 50);
    SDL_FreeSurface(surface);
    DrawMessageBanner(nullptr, text);
}

}  // namespace
