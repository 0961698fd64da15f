#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "tests/support/TestSupport.h"

namespace EngineTest {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;
// A 32-bit software surface, filled with `colour`.
SurfacePtr MakeSurface(int width, int height, Rgb colour = Rgb());
// A 24-bit BMP of the given size whose pixels come from `colour(x, y)`.
bool WriteBmp(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& colour);
Rgb ReadPixel(SDL_Surface* surface, int x, int y);
void FillSurface(SDL_Surface* surface, Rgb colour);
// How many recent log lines contain `fragment`.
int CountLogLines(const std::string& fragment);

}  // namespace EngineTest
