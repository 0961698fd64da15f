#include <SDL.h>

#include <cctype>
#include <cstdarg>
#include <vector>

#include "engine/QuillLogger.h"
#include "world/KarskRenderer.h"

namespace {
constexpr int kGlyphSize = 16;
}  // namespace

bool KarskRenderer::LoadFont(const char* path)
{
    Quill::Image* image = LoadImage(path);
    if (!image || !image->surface)
        return false;
    fontImage = image;
    SDL_SetColorKey(image->surface, SDL_SRCCOLORKEY, SDL_MapRGB(image->surface->format, 255, 0, 255));
    return true;
}

int KarskRenderer::CharToGlyph(char c)
{
    c = char(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= '0' && c <= '9')
        return 32 + (c - '0');
    switch (c) {
        case '-':
            return 26;
        case '.':
            return 27;
        case ',':
            return 28;
        case '!':
            return 29;
        case '\'':
            return 30;
        case '&':
            return 31;
        default:
            return 42;
    }
}

bool KarskRenderer::DrawString(int x, int y, const char* format, ...)
{
    if (!fontImage) {
        Quill::Logger()->Log("DrawString: no font loaded");
        return false;
    }
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        return true;
    }
    std::vector<char> text(size_t(length) + 1);
    vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    for (int i = 0; i < length; ++i) {
        if (text[size_t(i)] == ' ')
            continue;
        DrawGlyph(CharToGlyph(text[size_t(i)]), x + kGlyphSize * i, y);
    }
    return true;
}

void KarskRenderer::DrawGlyph(int glyph, int x, int y)
{
    if (!fontImage || !fontImage->surface || !GetScreenSurface())
        return;
    SDL_Rect source = {Sint16(kGlyphSize * glyph), 0, kGlyphSize, kGlyphSize};
    SDL_Rect target = {Sint16(x), Sint16(y), 0, 0};
    SDL_UpperBlit(fontImage->surface, &source, GetScreenSurface(), &target);
}
