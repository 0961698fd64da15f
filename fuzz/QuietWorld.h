#pragma once

#include <memory>

#include "world/KarskRenderer.h"

// Sprite names the game asks for. Each gets an empty sprite, so that the
// entities draw themselves (down to the draw call) as they do in the game.
inline const char* const kFuzzSpriteNames[] = {
    "Tavin",      "Tavin2",     "WoodSword",   "SteelSword", "MagicSword", "ThrowSword", "Boomerang",
    "BoomerangB", "KrillopRed", "KrillopBlue", "GorlakRed",  "GorlakBlue", "Nerrit",     "BatBlue",
    "BatRed",     "Skeleton",   "Snake",       "PushStone",  "DeathSpark", "Smoke",      "Heart",
    "Jessel",     "Key",        "Arrow",       "Bomb",       "EnergyBall", "Fire",       "Rock"};

// The world without drawing: every draw call is dropped, text included.
class QuietWorld : public KarskRenderer {
public:
    QuietWorld()
    {
        fontImage = &font;
        for (const char* name : kFuzzSpriteNames) {
            auto sprite = std::make_unique<Quill::SpriteType>();
            sprite->name = name;
            sprite->frameCount = kMaxRecordFrame;
            sprites[name] = std::move(sprite);
        }
    }
    void DrawTile(int, int, int, int) override {}
    void DrawSprite(Quill::SpriteType*, int, int, int, int, int) override {}
    void DrawImage(Quill::Image*, int, int) override {}

protected:
    void DrawGlyph(int, int, int) override {}

private:
    Quill::Image font;
};
