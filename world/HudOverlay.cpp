#include "world/HudOverlay.h"

#include <cmath>

#include "items/Sword.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace {

constexpr int kHudSheet = 1;
constexpr int kFullHeart = 4, kHalfHeart = 5, kEmptyHeart = 6;
constexpr int kHeartsPerRow = 8;
constexpr int kCounterX = 195;

int ItemTile(const Tavin& hero)
{
    switch (hero.selectedItem) {
        case 1:
            return 147 + 16 * hero.boomerangIndex;
        case 2:
            return 58 + hero.fireLevel;
        case 3:
            return 72;
        case 4:
            return 25;
        default:
            return -1;
    }
}

void DrawCounter(KarskRenderer& world, int y, int value)
{
    if (value < 100)
        world.DrawString(kCounterX, y, "X%d", value);
    else
        world.DrawString(kCounterX, y, "%d", value);
}

}  // namespace

void DrawHeadsUp(KarskRenderer& world, Tavin* hero)
{
    if (!hero)
        return;
    if (hero->swordType >= 0 && hero->swordType < Tavin::kSwordCount && hero->swords[hero->swordType])
        world.DrawSprite(hero->swords[hero->swordType]->sprite, 0, 298, 65, -1, -1);

    world.DrawTile(kHudSheet, ItemTile(*hero), 251, 65);

    const int hearts = int(std::trunc(hero->maxHealth));
    const float full = std::floor(hero->health), partial = std::ceil(hero->health);
    for (int i = 0; i < hearts; ++i) {
        int tile = kEmptyHeart;
        if (float(i + 1) <= full)
            tile = kFullHeart;
        else if (float(i + 1) == partial)
            tile = kHalfHeart;
        int y = i < kHeartsPerRow ? 88 : 68;
        world.DrawTile(kHudSheet, tile, 346 + 17 * (i % kHeartsPerRow), y);
    }

    DrawCounter(world, 48, hero->currency);
    DrawCounter(world, 80, hero->keys);
    DrawCounter(world, 96, hero->bombs);
}
