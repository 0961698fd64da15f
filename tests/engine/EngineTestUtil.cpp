#include "tests/engine/EngineTestUtil.h"

#include <SDL.h>
#include <ftw.h>
#include <limits.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "engine/QuillLogger.h"

namespace EngineTest {

TempDir::TempDir()
{
    std::string pattern = "/tmp/karsk_engine_test_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    // Canonical, so that it compares equal to paths the engine resolves.
    char real[PATH_MAX];
    path = realpath(buffer.data(), real) ? real : buffer.data();
}

TempDir::~TempDir()
{
    nftw(
        path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

std::string TempDir::Write(const std::string& name, const std::string& text) const
{
    std::string full = File(name);
    std::ofstream out(full, std::ios::binary);
    out << text;
    return full;
}

bool WriteBmp(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& colour)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    if (!s) {
        return false;
    }
    SDL_LockSurface(s);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < width; ++x) {
            Rgb c = colour(x, y);
            row[x * 3 + 0] = c.r;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.b;
        }
    }
    SDL_UnlockSurface(s);
    bool ok = SDL_SaveBMP(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

Rgb ReadPixel(SDL_Surface* surface, int x, int y)
{
    Rgb c;
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) {
        return c;
    }
    SDL_LockSurface(surface);
    const int bpp = surface->format->BytesPerPixel;
    const uint8_t* p = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch + x * bpp;
    Uint32 value = 0;
    switch (bpp) {
        case 1:
            value = *p;
            break;
        case 2:
            value = *reinterpret_cast<const Uint16*>(p);
            break;
        case 3:
            value = Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
            break;
        default:
            value = *reinterpret_cast<const Uint32*>(p);
            break;
    }
    SDL_UnlockSurface(surface);
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return c;
}

void FillSurface(SDL_Surface* surface, Rgb colour)
{
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, colour.r, colour.g, colour.b));
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int CountLogLines(const std::string& fragment)
{
    int count = 0;
    for (const std::string& line : Quill::Logger()->RecentLines()) {
        if (line.find(fragment) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

std::string Slug(const std::string& text)
{
    std::string slug;
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (plain) {
            slug += c;
        } else if (!slug.empty() && slug.back() != '_') {
            slug += '_';
        }
    }
    while (!slug.empty() && slug.back() == '_') {
        slug.pop_back();
    }
    return slug;
}

}  // namespace EngineTest

