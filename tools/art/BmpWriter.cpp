#include "tools/art/BmpWriter.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

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

namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

bool SavePaletteBmp(const std::string& path, const Image& image, std::string& error)
{
    std::vector<Rgb> palette;
    std::vector<uint8_t> index(image.pixels.size());
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        size_t n = 0;
        while (n < palette.size() && palette[n] != image.pixels[i]) ++n;
        if (n == palette.size()) {
            if (palette.size() == 16) {
                error = path + ": more than 16 colours for a 4-bit picture";
                return false;
            }
            palette.push_back(image.pixels[i]);
        }
        index[i] = uint8_t(n);
    }
    palette.resize(16, 0);
    if (!MakeParentDirectories(path, error))
        return false;

    // Rows of two pixels a byte, padded to four bytes, stored bottom row first.
    const uint32_t rowBytes = (uint32_t(image.width) * 4 + 31) / 32 * 4;
    const uint32_t dataOffset = 14 + 40 + 16 * 4;
    const uint32_t dataSize = rowBytes * uint32_t(image.height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLittleEndian(out, dataOffset + dataSize, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, dataOffset, 4);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, uint32_t(image.width), 4);
    PutLittleEndian(out, uint32_t(image.height), 4);
    PutLittleEndian(out, 1, 2);  // planes
    PutLittleEndian(out, 4, 2);  // bits per pixel
    PutLittleEndian(out, 0, 4);  // no compression
    PutLittleEndian(out, dataSize, 4);
    PutLittleEndian(out, 2835, 4);  // 72 dpi
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 16, 4);  // colours in the palette
    PutLittleEndian(out, 0, 4);
    for (Rgb c : palette) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c >> 16));
        out.push_back(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t n = index[size_t(y) * size_t(image.width) + size_t(x)];
            row[size_t(x) / 2] |= x % 2 == 0 ? uint8_t(n << 4) : n;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    file.close();
    if (!file) {
        error = path + ": cannot save";
        return false;
    }
    return true;
}

}  // namespace ktool
