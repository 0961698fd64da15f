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
        for (auto& c : world->tiles)
            if (c.sheetOrFrame == 1 && c.y == y && c.x >= 346)
                tiles.push_back(c.tile);
        return tiles;
    }
    std::string TextAt(int y)
    {
        std::string text;
        for (auto& g : world->glyphs)
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
    for (auto& c : world->tiles)
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
    EXPECT_EQ(world->glyphs.front().x, 195);
}

TEST_F(HudOverlayTest, ItemAndSwordFollowTheHero)
{
    auto itemTile = [this] {
        for (auto& c : world->tiles)
            if (c.x == 251 && c.y == 65)
                return c.tile;
        return -100;
    };
    hero->selectedItem = 1;
    hero->boomerangIndex = 1;
    Draw();
    EXPECT_EQ(itemTile(), 163);
    hero->selectedItem = 2;
    hero->fireLevel = 1;
    Draw();
    EXPECT_EQ(itemTile(), 59);
    hero->selectedItem = 3;
    Draw();
    EXPECT_EQ(itemTile(), 72);
    hero->selectedItem = 4;
    Draw();
    EXPECT_EQ(itemTile(), 25);
    hero->selectedItem = 9;
    Draw();
    EXPECT_EQ(itemTile(), -1);

    ASSERT_EQ(world->sprites.size(), 1u);
    EXPECT_EQ(world->sprites[0].x, 298);
    EXPECT_EQ(world->sprites[0].y, 65);
    EXPECT_EQ(world->sprites[0].sheetOrFrame, 0);
    hero->swordType = -1;
    Draw();
    EXPECT_TRUE(world->sprites.empty());
    hero->swordType = 7;  // no such sword: drawn as none
    Draw();
    EXPECT_TRUE(world->sprites.empty());
}
