#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {
class TextTest : public WorldTest {};
}  // namespace

TEST_F(TextTest, GlyphMappingCoversTheFont)
{
    EXPECT_EQ(KarskRenderer::CharToGlyph('A'), 0);
    EXPECT_EQ(KarskRenderer::CharToGlyph('z'), 25);
    EXPECT_EQ(KarskRenderer::CharToGlyph('-'), 26);
    EXPECT_EQ(KarskRenderer::CharToGlyph('.'), 27);
    EXPECT_EQ(KarskRenderer::CharToGlyph(','), 28);
    EXPECT_EQ(KarskRenderer::CharToGlyph('!'), 29);
    EXPECT_EQ(KarskRenderer::CharToGlyph('\''), 30);
    EXPECT_EQ(KarskRenderer::CharToGlyph('&'), 31);
    EXPECT_EQ(KarskRenderer::CharToGlyph('0'), 32);
    EXPECT_EQ(KarskRenderer::CharToGlyph('9'), 41);
    EXPECT_EQ(KarskRenderer::CharToGlyph('?'), 42);
    EXPECT_EQ(KarskRenderer::CharToGlyph(char(0xE9)), 42);
}

TEST_F(TextTest, StringsAdvanceSixteenPixelsAndSkipSpaces)
{
    world->SetFakeFont();
    ASSERT_TRUE(world->DrawString(195, 48, "X%d", 7));
    ASSERT_EQ(world->glyphs.size(), 2u);
    EXPECT_EQ(world->glyphs[0].tile, 23);
    EXPECT_EQ(world->glyphs[0].x, 195);
    EXPECT_EQ(world->glyphs[0].y, 48);
    EXPECT_EQ(world->glyphs[1].tile, 39);
    EXPECT_EQ(world->glyphs[1].x, 211);

    world->glyphs.clear();
    world->DrawString(10, 0, "a b");
    ASSERT_EQ(world->glyphs.size(), 2u);
    EXPECT_EQ(world->glyphs[1].tile, 1);
    EXPECT_EQ(world->glyphs[1].x, 42);

    world->glyphs.clear();
    std::string longText(300, 'k');
    world->DrawString(0, 0, "%s", longText.c_str());
    EXPECT_EQ(world->glyphs.size(), 300u);
}

TEST_F(TextTest, WithoutAFontNothingIsDrawnAndTheFailureIsLogged)
{
    EXPECT_FALSE(world->DrawString(0, 0, "HELLO"));
    EXPECT_TRUE(world->glyphs.empty());
    EXPECT_TRUE(LogContains("DrawString: no font loaded"));
    EXPECT_FALSE(world->LoadFont(TempPath("nofont").c_str()));
}
