#include "tests/engine/EngineTestUtil.h"

#include "engine/QuillLogger.h"

namespace EngineTest {

SurfacePtr MakeSurface(int width, int height, Rgb colour)
{
    SurfacePtr s(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0),
                 SDL_FreeSurface);
    if (s)
        FillSurface(s.get(), colour);
    return s;
}

bool WriteBmp(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& colour)
{
    SurfacePtr s(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0),
                 SDL_FreeSurface);
    if (!s)
        return false;
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            row[x * 3 + 0] = c.r;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.b;
        }
    }
    return SDL_SaveBMP(s.get(), path.c_str()) == 0;
}

Rgb ReadPixel(SDL_Surface* surface, int x, int y)
{
    Rgb c;
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return c;
    SDL_LockSurface(surface);
    const int bpp = surface->format->BytesPerPixel;
    const uint8_t* p = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch + x * bpp;
    Uint32 value = 0;
    for (int i = 0; i < bpp; ++i) value |= Uint32(p[i]) << (8 * i);  // little-endian
    SDL_UnlockSurface(surface);
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return c;
}

void FillSurface(SDL_Surface* surface, Rgb colour)
{
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, colour.r, colour.g, colour.b));
}

int CountLogLines(const std::string& fragment)
{
    int count = 0;
    for (const std::string& line : Quill::Logger()->RecentLines())
        count += line.find(fragment) != std::string::npos;
    return count;
}

}  // namespace EngineTest
