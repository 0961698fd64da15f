#include <gtest/gtest.h>

#include "engine/BitmapFont.h"
#include "engine/MessageBanner.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using namespace EngineTest;

namespace {

TEST(WrapText, BreaksAtSpacesSplitsLongWordsAndKeepsLineBreaks)
{
    using Lines = std::vector<std::string>;
    const struct {
        const char* text;
        int width;
        Lines lines;
    } cases[] = {
        {"the quick brown fox", 10, {"the quick", "brown fox"}},
        {"one two", 7, {"one two"}},
        {"  spaced   out  ", 20, {"spaced out"}},
        {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"hi abcdefgh", 4, {"hi", "abcd", "efgh"}},
        {"first\nsecond", 40, {"first", "second"}},
        {"", 10, {}},
        {"abc", 0, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(WrapText(c.text, c.width), c.lines) << c.text;
}

TEST(BitmapFont, GlyphsForPrintableCharactersAFallbackAndTheirSpacing)
{
    for (int row = 0; row < BitmapFont::kGlyphHeight; ++row) EXPECT_EQ(BitmapFont::Glyph(' ')[row], 0);
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

    // Each glyph advances six font pixels; '|' is the middle column.
    SurfacePtr surface = MakeSurface(24, 14);
    BitmapFont::DrawText(surface.get(), "||", 0, 0, 2, 255, 255, 255);
    const Rgb white{255, 255, 255};
    for (int x = 0; x < 24; ++x) {
        const bool lit = x == 4 || x == 5 || x == 16 || x == 17;
        EXPECT_EQ(ReadPixel(surface.get(), x, 13) == white, lit) << x;
    }
    BitmapFont::DrawText(nullptr, "|", 0, 0, 1, 255, 255, 255);
}

TEST(MessageBanner, ADarkBoxWithWhiteTextCentredNearTheBottomWithinTheWidth)
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

    SurfacePtr surface = MakeSurface(256, 128, Rgb{0, 128, 0});
    const std::string text = "Found the key";
    layout = LayoutMessageBanner(256, 128, text);
    DrawMessageBanner(surface.get(), text);
    EXPECT_EQ(ReadPixel(surface.get(), layout.x, layout.y), (Rgb{16, 16, 40}));
    EXPECT_EQ(ReadPixel(surface.get(), layout.x - 1, layout.y), (Rgb{0, 128, 0}));
    int white = 0;
    for (int y = layout.y; y < layout.y + layout.height; ++y) {
        for (int x = layout.x; x < layout.x + layout.width; ++x)
            white += ReadPixel(surface.get(), x, y) == Rgb{255, 255, 255};
    }
    EXPECT_GT(white, 50);
    DrawMessageBanner(nullptr, text);
}

}  // namespace
