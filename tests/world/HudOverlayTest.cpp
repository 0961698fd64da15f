#include <gtest/gtest.h>

#include "player/Tavin.h"
#include "tests/support/TestSupport.h"
#include "world/HudOverlay.h"

namespace {

class HudOverlayTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        world->SetFakeFont();
        hero = new Tavin("hero", nullptr, nullptr);
        world->AddEntity(hero.get(), false);
    }
    std::vector<int> Hearts(int y)
    {
        std::vector<int> tiles;
        for (auto& c : world->drawnTiles)
            if (c.sheetOrFrame == 1 && c.y == y && c.x >= 346)
                tiles.push_back(c.tile);
        return tiles;
    }
    std::string TextAt(int y)
    {
        std::string text;
        for (auto& g : world->drawnGlyphs)
            if (g.y == y)
                text += g.tile >= 32 && g.tile <= 41 ? char('0' + g.tile - 32) : g.tile == 23 ? 'X' : '?';
        return text;
    }
    void Draw()
    {
        world->ClearCalls();
        DrawHeadsUp(*world, hero.get());
    }
    EntityRef<Tavin> hero;
};

}  // namespace

TEST_F(HudOverlayTest, HeartsShowFullHalfAndEmpty)
{
    hero->maxHealth = 3.0f;
    hero->health = 2.5f;
    Draw();
    EXPECT_EQ(Hearts(88), (std::vector<int>{4, 4, 5}));
    hero->health = 2.0f;
    Draw();
    EXPECT_EQ(Hearts(88), (std::vector<int>{4, 4, 6}));
    hero->health = -1.0f;
    Draw();
    EXPECT_EQ(Hearts(88), (std::vector<int>{6, 6, 6}));

    hero->maxHealth = 10.0f;
    hero->health = 10.0f;
    Draw();
    EXPECT_EQ(Hearts(88).size(), 8u);
    EXPECT_EQ(Hearts(68).size(), 2u);
    int rightmost = 0;
    for (auto& c : world->drawnTiles)
        if (c.y == 88)
            rightmost = std::max(rightmost, c.x);
    EXPECT_EQ(rightmost, 346 + 17 * 7);
}

TEST_F(HudOverlayTest, CountersDropTheCrossFromOneHundred)
{
    hero->currency = 7;
    hero->keys = 150;
    hero->bombs = 99;
    Draw();
    EXPECT_EQ(TextAt(48), "X7");
    EXPECT_EQ(TextAt(80), "150");
    EXPECT_EQ(TextAt(96), "X99");
    EXPECT_EQ(world->drawnGlyphs.front().x, 195);
}

TEST_F(HudOverlayTest, ItemAndSwordFollowTheHero)
{
    auto itemTile = [this] {
        for (auto& c : world->drawnTiles)
            if (c.x == 251 && c.y == 65)
                return c.tile;
        return -100;
    };
    // Item 1 the boomerang (147 + 16 per kind), 2 fire (58 + level), 3 bombs, 4 arrows, others none.
    const struct {
        int item, boomerang, fire, tile;
    } kItems[] = {{1, 1, 0, 163}, {1, 0, 0, 147}, {2, 0, 1, 59}, {2, 0, 3, 61},
                  {3, 0, 0, 72},  {4, 0, 0, 25},  {9, 0, 0, -1}};
    for (const auto& i : kItems) {
        hero->selectedItem = i.item;
        hero->boomerangIndex = i.boomerang;
        hero->fireLevel = i.fire;
        Draw();
        EXPECT_EQ(itemTile(), i.tile) << i.item;
    }

    ASSERT_EQ(world->drawnSprites.size(), 1u);
    EXPECT_EQ(world->drawnSprites[0].x, 298);
    EXPECT_EQ(world->drawnSprites[0].y, 65);
    EXPECT_EQ(world->drawnSprites[0].sheetOrFrame, 0);
    hero->swordType = -1;
    Draw();
    EXPECT_TRUE(world->drawnSprites.empty());
    hero->swordType = 7;  // no such sword: drawn as none
    Draw();
    EXPECT_TRUE(world->drawnSprites.empty());
}

TEST_F(HudOverlayTest, GlyphsFollowTheFontOrderAndStringsAdvanceSixteenPixelsSkippingSpaces)
{
    // Letters in either case, - . , ! ' &, then digits; anything else is the last glyph.
    const std::string text = "AzZa-.,!'&09?\xE9";
    const std::vector<int> glyphs = {0, 25, 25, 0, 26, 27, 28, 29, 30, 31, 32, 41, 42, 42};
    for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(KarskRenderer::CharToGlyph(text[i]), glyphs[i]) << i;

    world->ClearCalls();
    ASSERT_TRUE(world->DrawString(195, 48, "X%d", 7));
    ASSERT_EQ(world->drawnGlyphs.size(), 2u);
    EXPECT_EQ(
        std::vector<int>({world->drawnGlyphs[0].tile, world->drawnGlyphs[0].x, world->drawnGlyphs[0].y}),
        std::vector<int>({23, 195, 48}));
    EXPECT_EQ(std::vector<int>({world->drawnGlyphs[1].tile, world->drawnGlyphs[1].x}),
              std::vector<int>({39, 211}));
    world->drawnGlyphs.clear();
    world->DrawString(10, 0, "a b");
    ASSERT_EQ(world->drawnGlyphs.size(), 2u);
    EXPECT_EQ(std::vector<int>({world->drawnGlyphs[1].tile, world->drawnGlyphs[1].x}),
              std::vector<int>({1, 42}));
    world->drawnGlyphs.clear();
    world->DrawString(0, 0, "%s", std::string(300, 'k').c_str());
    EXPECT_EQ(world->drawnGlyphs.size(), 300u);
}

TEST_F(WorldTest, WithoutAFontNoTextIsDrawnAndTheFailureIsLogged)
{
    EXPECT_FALSE(world->DrawString(0, 0, "HELLO"));
    EXPECT_TRUE(world->drawnGlyphs.empty());
    EXPECT_TRUE(LogContains("DrawString: no font loaded"));
    EXPECT_FALSE(world->LoadFont(TempPath("nofont").c_str()));
}
