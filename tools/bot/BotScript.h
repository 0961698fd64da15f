#pragma once

#include <cstdint>
#include <string>

namespace kbot {

// What the random-walk player does.
struct BotPlan {
    uint32_t seed = 1;
    unsigned minutes = 30;
    unsigned framesPerSecond = 60;
    // Frames held still at the start, while the copies find each other.
    unsigned startFrame = 60;
};

// A key script (docs/input-script.md) in which the hero walks in random
// directions for random stretches, swings the sword, uses and switches items
// and tries the stairs, from `startFrame` to the end of `minutes`. The same
// plan always gives the same text. After the last frame no key is held.
std::string MakeBotScript(const BotPlan& plan);

// The frame after the script's last held key.
unsigned BotScriptEnd(const BotPlan& plan);

}  // namespace kbot
