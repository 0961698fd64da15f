#pragma once

#include <cstdint>
#include <string>

struct SDL_Surface;

namespace Quill {

// The engine's own 5 × 7 font for printable ASCII, used for messages that
// must show even when the game has no font loaded yet.
namespace BitmapFont {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kAdvance = kGlyphWidth + 1;  // one column of spacing
constexpr int kLineHeight = kGlyphHeight + 2;

// Seven rows, bit 4 the leftmost column. Characters outside the printable
// range map to '?'.
const uint8_t* Glyph(char c);
// Draws `text` with its top-left at (x, y), each font pixel `scale` screen
// pixels square, in the given colour. Clipped by SDL to the surface.
void DrawText(SDL_Surface* surface, const std::string& text, int x, int y, int scale, uint8_t r, uint8_t g,
              uint8_t b);

}  // namespace BitmapFont
}  // namespace Quill
