#include "tools/art/PngWriter.h"

#include <SDL.h>
#include <png.h>

#include <cstdio>
#include <vector>

#include "tools/art/BmpWriter.h"

namespace ktool {

bool SavePng(const std::string& path, const Image& image, std::string& error, bool magentaTransparent)
{
    if (!MakeParentDirectories(path, error))
        return false;
    const size_t channels = magentaTransparent ? 4 : 3;
    std::vector<png_byte> bytes(size_t(image.width) * size_t(image.height) * channels);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        png_byte* p = &bytes[channels * i];
        p[0] = png_byte(image.pixels[i] >> 16);
        p[1] = png_byte(image.pixels[i] >> 8);
        p[2] = png_byte(image.pixels[i]);
        if (magentaTransparent) {
            const bool clear = image.pixels[i] == kMagenta;
            // A see-through pixel is black, so that scaling it blends no pink in.
            if (clear)
                p[0] = p[1] = p[2] = 0;
            p[3] = clear ? 0 : 255;
        }
    }
    png_image info{};
    info.version = PNG_IMAGE_VERSION;
    info.width = png_uint_32(image.width);
    info.height = png_uint_32(image.height);
    info.format = magentaTransparent ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&info, path.c_str(), 0, bytes.data(), image.width * int(channels),
                                 nullptr)) {
        error = path + ": cannot write PNG: " + info.message;
        png_image_free(&info);
        return false;
    }
    return true;
}

bool LoadBmp(const std::string& path, Image& image, std::string& error)
{
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (!loaded) {
        error = path + ": cannot read BMP: " + SDL_GetError();
        return false;
    }
    SDL_Surface* rgb =
        SDL_CreateRGBSurface(SDL_SWSURFACE, loaded->w, loaded->h, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    bool ok = rgb && SDL_BlitSurface(loaded, nullptr, rgb, nullptr) == 0;
    if (ok) {
        image = Image(rgb->w, rgb->h);
        SDL_LockSurface(rgb);
        for (int y = 0; y < rgb->h; ++y) {
            const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(rgb->pixels) +
                                                                size_t(y) * size_t(rgb->pitch));
            for (int x = 0; x < rgb->w; ++x) image.Set(x, y, row[x] & 0xFFFFFF);
        }
        SDL_UnlockSurface(rgb);
    } else {
        error = path + ": cannot convert: " + SDL_GetError();
    }
    if (rgb)
        SDL_FreeSurface(rgb);
    SDL_FreeSurface(loaded);
    return ok;
}

}  // namespace ktool
