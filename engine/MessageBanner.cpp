#include "engine/MessageBanner.h"

#include <SDL.h>

#include <algorithm>

#include "engine/BitmapFont.h"

namespace Quill {

namespace {
constexpr int kScale = 2;
constexpr int kMargin = 8;
constexpr int kPadding = 6;
// More would hide most of the map; long messages are cut.
constexpr size_t kMaxLines = 6;
}  // namespace

std::vector<std::string> WrapText(const std::string& text, size_t maxChars)
{
    std::vector<std::string> lines;
    if (maxChars == 0) {
        return lines;
    }
    std::string line;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            ++i;
            continue;
        }
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        size_t end = text.find_first_of(" \n", i);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string word = text.substr(i, end - i);
        i = end;
        while (!word.empty()) {
            size_t room = line.empty() ? maxChars : maxChars - std::min(maxChars, line.size() + 1);
            if (word.size() <= room) {
                line += (line.empty() ? "" : " ") + word;
                word.clear();
            } else if (line.empty()) {
                lines.push_back(word.substr(0, maxChars));
                word.erase(0, maxChars);
            } else {
                lines.push_back(line);
                line.clear();
            }
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

BannerLayout LayoutMessageBanner(int surfaceWidth, int surfaceHeight, const std::string& text)
{
    BannerLayout layout;
    const int charWidth = BitmapFont::kAdvance * kScale;
    const int usable = surfaceWidth - 2 * kMargin - 2 * kPadding;
    if (usable < charWidth || text.empty()) {
        return layout;
    }
    layout.lines = WrapText(text, static_cast<size_t>(usable / charWidth));
    if (layout.lines.size() > kMaxLines) {
        layout.lines.resize(kMaxLines);
    }
    if (layout.lines.empty()) {
        return layout;
    }
    size_t longest = 0;
    for (const std::string& line : layout.lines) {
        longest = std::max(longest, line.size());
    }
    layout.width = static_cast<int>(longest) * charWidth + 2 * kPadding;
    layout.height = static_cast<int>(layout.lines.size()) * BitmapFont::kLineHeight * kScale + 2 * kPadding;
    layout.x = (surfaceWidth - layout.width) / 2;
    // Kept clear of a footer band along the bottom edge of the window.
    const int bottomMargin = std::max(kMargin, surfaceHeight / 12);
    layout.y = std::max(0, surfaceHeight - bottomMargin - layout.height);
    return layout;
}

void DrawMessageBanner(SDL_Surface* surface, const std::string& text)
{
    if (!surface) {
        return;
    }
    BannerLayout layout = LayoutMessageBanner(surface->w, surface->h, text);
    if (layout.lines.empty()) {
        return;
    }
    SDL_Rect box;
    box.x = static_cast<Sint16>(layout.x);
    box.y = static_cast<Sint16>(layout.y);
    box.w = static_cast<Uint16>(layout.width);
    box.h = static_cast<Uint16>(layout.height);
    SDL_FillRect(surface, &box, SDL_MapRGB(surface->format, 16, 16, 40));
    int y = layout.y + kPadding;
    for (const std::string& line : layout.lines) {
        BitmapFont::DrawText(surface, line, layout.x + kPadding, y, kScale, 255, 255, 255);
        y += BitmapFont::kLineHeight * kScale;
    }
}

}  // namespace Quill
