#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/SourceText.h"

// Readers for the sound recipes and the music note lists.
namespace ktool {

struct SoundEffect {
    std::string name;
    std::vector<int16_t> pcm;
};

// Every effect in a recipe file; throws SourceError naming file and line.
std::vector<SoundEffect> RenderEffects(const std::vector<SourceLine>& lines);

// A whole piece as one loop: whatever rings past the end sounds at the start.
std::vector<int16_t> RenderMusic(const std::vector<SourceLine>& lines);

}  // namespace ktool
