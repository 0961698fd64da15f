#include "tools/art/BmpWriter.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace ktool {

bool MakeParentDirectories(const std::string& path, std::string& error)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string dir = path.substr(0, slash);
        if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
            error = dir + ": cannot create folder: " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool SaveBmp(const std::string& path, const Image& image, std::string& error)
{
    if (!MakeParentDirectories(path, error))
        return false;
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, image.width, image.height, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (!surface) {
        error = path + ": cannot make a surface: " + SDL_GetError();
        return false;
    }
    SDL_LockSurface(surface);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(surface->pixels) + size_t(y) * size_t(surface->pitch);
        for (int x = 0; x < image.width; ++x) {
            Rgb c = image.At(x, y);
            Uint32 v = SDL_MapRGB(surface->format, uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c));
            // Three bytes per pixel in the surface's own byte order.
            std::memcpy(row + 3 * x,
                        reinterpret_cast<const uint8_t*>(&v) + (SDL_BYTEORDER == SDL_BIG_ENDIAN ? 1 : 0), 3);
        }
    }
    SDL_UnlockSurface(surface);
    bool ok = SDL_SaveBMP(surface, path.c_str()) == 0;
    if (!ok)
        error = path + ": cannot save: " + SDL_GetError();
    SDL_FreeSurface(surface);
    return ok;
}

}  // namespace ktool
