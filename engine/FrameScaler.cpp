#include "engine/FrameScaler.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace Quill {

int ChooseWindowScale(int desktopWidth, int desktopHeight)
{
    if (desktopWidth <= 0 || desktopHeight <= 0) {
        return 1;
    }
    // Panels and window borders: a tenth of the height but at least 96
    // pixels, and a little room at the sides for the frame of the window.
    const int usableHeight = desktopHeight - std::max(96, desktopHeight / 10);
    const int usableWidth = desktopWidth - 32;
    const int scale = std::min(usableWidth / kFrameWidth, usableHeight / kFrameHeight);
    return std::clamp(scale, 1, kMaxScale);
}

int ChooseFullscreenScale(int screenWidth, int screenHeight)
{
    const int scale = std::min(screenWidth / kFrameWidth, screenHeight / kFrameHeight);
    return std::clamp(scale, 1, kMaxScale);
}

FramePlacement PlaceFrame(int targetWidth, int targetHeight, int frameWidth, int frameHeight, int scale)
{
    FramePlacement place;
    place.scale = std::max(1, scale);
    place.x = std::max(0, (targetWidth - frameWidth * place.scale) / 2);
    place.y = std::max(0, (targetHeight - frameHeight * place.scale) / 2);
    return place;
}

bool ScaleFrame(SDL_Surface* source, SDL_Surface* target, const FramePlacement& place)
{
    if (!source || !target || source->format->BytesPerPixel != 4 || target->format->BytesPerPixel != 4 ||
        source->format->Rmask != target->format->Rmask || source->format->Gmask != target->format->Gmask ||
        source->format->Bmask != target->format->Bmask) {
        return false;
    }
    const int n = std::max(1, place.scale);
    // The source columns and rows that land on the target.
    const int columns = std::min(source->w, (target->w - place.x) / n);
    const int rows = std::min(source->h, (target->h - place.y) / n);
    if (columns <= 0 || rows <= 0 || place.x < 0 || place.y < 0) {
        return true;
    }
    if (SDL_MUSTLOCK(source) && SDL_LockSurface(source) != 0) {
        return false;
    }
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) {
        if (SDL_MUSTLOCK(source)) {
            SDL_UnlockSurface(source);
        }
        return false;
    }
    const auto* sourceBytes = static_cast<const uint8_t*>(source->pixels);
    auto* targetBytes = static_cast<uint8_t*>(target->pixels);
    const size_t rowBytes = static_cast<size_t>(columns) * n * 4;
    for (int y = 0; y < rows; ++y) {
        const auto* in =
            reinterpret_cast<const uint32_t*>(sourceBytes + static_cast<size_t>(y) * source->pitch);
        uint8_t* firstRow = targetBytes + static_cast<size_t>(place.y + y * n) * target->pitch + place.x * 4;
        auto* out = reinterpret_cast<uint32_t*>(firstRow);
        // One enlarged row, then copies of it for the rest of the block.
        if (n == 1) {
            std::memcpy(out, in, rowBytes);
        } else if (n == 2) {
            for (int x = 0; x < columns; ++x) {
                const uint32_t pixel = in[x];
                out[0] = pixel;
                out[1] = pixel;
                out += 2;
            }
        } else if (n == 3) {
            for (int x = 0; x < columns; ++x) {
                const uint32_t pixel = in[x];
                out[0] = pixel;
                out[1] = pixel;
                out[2] = pixel;
                out += 3;
            }
        } else {
            for (int x = 0; x < columns; ++x) {
                std::fill_n(out, n, in[x]);
                out += n;
            }
        }
        for (int copy = 1; copy < n; ++copy) {
            std::memcpy(firstRow + static_cast<size_t>(copy) * target->pitch, firstRow, rowBytes);
        }
    }
    if (SDL_MUSTLOCK(target)) {
        SDL_UnlockSurface(target);
    }
    if (SDL_MUSTLOCK(source)) {
        SDL_UnlockSurface(source);
    }
    return true;
}

void FillLetterbox(SDL_Surface* target, int frameWidth, int frameHeight, const FramePlacement& place)
{
    if (!target) {
        return;
    }
    const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
    const int right = place.x + frameWidth * place.scale;
    const int bottom = place.y + frameHeight * place.scale;
    auto fill = [&](int x, int y, int w, int h) {
        if (w <= 0 || h <= 0) {
            return;
        }
        SDL_Rect rect;
        rect.x = static_cast<Sint16>(x);
        rect.y = static_cast<Sint16>(y);
        rect.w = static_cast<Uint16>(w);
        rect.h = static_cast<Uint16>(h);
        SDL_FillRect(target, &rect, black);
    };
    fill(0, 0, target->w, place.y);                             // above
    fill(0, bottom, target->w, target->h - bottom);             // below
    fill(0, place.y, place.x, bottom - place.y);                // left
    fill(right, place.y, target->w - right, bottom - place.y);  // right
}

}  // namespace Quill
