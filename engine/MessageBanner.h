#pragma once

#include <string>
#include <vector>

struct SDL_Surface;

namespace Quill {

// Splits `text` into lines of at most `maxChars` characters, breaking at
// spaces where it can and inside words only when a word is too long.
std::vector<std::string> WrapText(const std::string& text, size_t maxChars);

// A dark box with the message in the engine's font, wrapped to the surface
// width, near the bottom of the screen.
struct BannerLayout {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::string> lines;
};
BannerLayout LayoutMessageBanner(int surfaceWidth, int surfaceHeight, const std::string& text);
void DrawMessageBanner(SDL_Surface* surface, const std::string& text);

}  // namespace Quill
