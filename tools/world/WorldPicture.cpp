#include "tools/world/WorldPicture.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cstdio>

#include "tools/common/SourceText.h"
#include "tools/world/WorldChecker.h"

namespace ktool {

using namespace MapFormat;

namespace {

constexpr int kSheetSize = 512;
constexpr int kTileScreenRows = kRows / kScreenRows;

uint32_t Darker(uint32_t rgb)
{
    return (rgb >> 1) & 0x7F7F7F;
}

}  // namespace

WorldPicture::WorldPicture(const std::string& sheetPath)
{
    SDL_Surface* loaded = SDL_LoadBMP(sheetPath.c_str());
    if (!loaded)
        throw SourceError(sheetPath + ": cannot read the tile sheet: " + SDL_GetError());
    if (loaded->w != kSheetSize || loaded->h != kSheetSize) {
        std::string size = std::to_string(loaded->w) + " x " + std::to_string(loaded->h);
        SDL_FreeSurface(loaded);
        throw SourceError(sheetPath + ": the tile sheet is " + size + " pixels, it must be 512 x 512");
    }
    // Blitting onto a plain 32-bit surface reads every BMP depth alike.
    SDL_Surface* rgb =
        SDL_CreateRGBSurface(SDL_SWSURFACE, kSheetSize, kSheetSize, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    bool ok = rgb && SDL_BlitSurface(loaded, nullptr, rgb, nullptr) == 0;
    if (ok) {
        sheet.resize(size_t(kSheetSize) * kSheetSize);
        SDL_LockSurface(rgb);
        for (int y = 0; y < kSheetSize; ++y) {
            const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(rgb->pixels) +
                                                                size_t(y) * size_t(rgb->pitch));
            for (int x = 0; x < kSheetSize; ++x)
                sheet[size_t(y) * kSheetSize + size_t(x)] = row[x] & 0xFFFFFF;
        }
        SDL_UnlockSurface(rgb);
    }
    std::string error = ok ? "" : SDL_GetError();
    if (rgb)
        SDL_FreeSurface(rgb);
    SDL_FreeSurface(loaded);
    if (!ok)
        throw SourceError(sheetPath + ": cannot convert the tile sheet: " + error);
}

void WorldPicture::DesignedScreens(const MapData& map, int& sx0, int& sy0, int& sx1, int& sy1)
{
    WorldChecker world(map);
    sx0 = sy0 = 1 << 20;
    sx1 = sy1 = -1;
    for (int sy = 0; sy < kTileScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (!world.IsDesigned(sx, sy))
                continue;
            sx0 = std::min(sx0, sx);
            sy0 = std::min(sy0, sy);
            sx1 = std::max(sx1, sx);
            sy1 = std::max(sy1, sy);
        }
    }
    if (sx1 < 0)
        sx0 = sy0 = sx1 = sy1 = 0;
}

void WorldPicture::Draw(const MapData& map, int sx0, int sy0, int sx1, int sy1, int shrink)
{
    if (sx0 < 0 || sy0 < 0 || sx1 >= kScreenGridWidth || sy1 >= kTileScreenRows || sx0 > sx1 || sy0 > sy1)
        throw SourceError("screens " + std::to_string(sx0) + "," + std::to_string(sy0) + " to " +
                          std::to_string(sx1) + "," + std::to_string(sy1) +
                          " are not a rectangle of the map's screens (0-15, 0-29)");
    if (shrink < 1 || shrink > 32 || (shrink & (shrink - 1)) != 0)
        throw SourceError("shrink " + std::to_string(shrink) + " must be 1, 2, 4, 8, 16 or 32");
    const int cell = 32 / shrink;
    // Every tile shrunk once, by averaging the pixels it covers.
    std::vector<uint32_t> tiles(size_t(256) * size_t(cell) * size_t(cell));
    for (int t = 0; t < 256; ++t) {
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                uint32_t r = 0, g = 0, b = 0;
                for (int dy = 0; dy < shrink; ++dy) {
                    for (int dx = 0; dx < shrink; ++dx) {
                        uint32_t p = sheet[size_t((t / 16) * 32 + y * shrink + dy) * kSheetSize +
                                           size_t((t % 16) * 32 + x * shrink + dx)];
                        r += p >> 16;
                        g += (p >> 8) & 0xFF;
                        b += p & 0xFF;
                    }
                }
                const uint32_t n = uint32_t(shrink * shrink);
                tiles[(size_t(t) * cell + size_t(y)) * cell + size_t(x)] =
                    (r / n) << 16 | (g / n) << 8 | (b / n);
            }
        }
    }
    WorldChecker world(map);
    width = (sx1 - sx0 + 1) * kScreenColumns * cell;
    height = (sy1 - sy0 + 1) * kScreenRows * cell;
    pixels.assign(size_t(width) * size_t(height), kOutside);
    for (int sy = sy0; sy <= sy1; ++sy) {
        for (int sx = sx0; sx <= sx1; ++sx) {
            if (!world.IsDesigned(sx, sy))
                continue;
            for (int r = 0; r < kScreenRows; ++r) {
                for (int c = 0; c < kScreenColumns; ++c) {
                    const int column = sx * kScreenColumns + c, row = sy * kScreenRows + r;
                    const int left = (column - sx0 * kScreenColumns) * cell,
                              top = (row - sy0 * kScreenRows) * cell;
                    const uint32_t* tile =
                        &tiles[size_t(map.tiles[size_t(row) * kColumns + size_t(column)]) * cell * cell];
                    for (int y = 0; y < cell; ++y) {
                        for (int x = 0; x < cell; ++x) Set(left + x, top + y, tile[y * cell + x]);
                    }
                    const int marker =
                        map.tiles[size_t(kLayerBytes) + size_t(row) * kColumns + size_t(column)];
                    if (marker == 0)
                        continue;
                    const uint32_t frame = marker == 16 ? kPushBlockFrame : kMarkerFrame;
                    for (int i = 0; i < cell; ++i) {
                        Set(left + i, top, frame);
                        Set(left + i, top + cell - 1, frame);
                        Set(left, top + i, frame);
                        Set(left + cell - 1, top + i, frame);
                    }
                }
            }
            // The top and left rim of each screen, darkened.
            const int left = (sx - sx0) * kScreenColumns * cell, top = (sy - sy0) * kScreenRows * cell;
            for (int x = 0; x < kScreenColumns * cell; ++x) Set(left + x, top, Darker(At(left + x, top)));
            for (int y = 1; y < kScreenRows * cell; ++y) Set(left, top + y, Darker(At(left, top + y)));
        }
    }
}

void WorldPicture::Set(int x, int y, uint32_t rgb)
{
    pixels[size_t(y) * size_t(width) + size_t(x)] = rgb;
}

uint32_t WorldPicture::At(int x, int y) const
{
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

void WorldPicture::SavePng(const std::string& path) const
{
    std::vector<png_byte> rgb(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgb[3 * i] = png_byte(pixels[i] >> 16);
        rgb[3 * i + 1] = png_byte(pixels[i] >> 8);
        rgb[3 * i + 2] = png_byte(pixels[i]);
    }
    png_image info{};
    info.version = PNG_IMAGE_VERSION;
    info.width = png_uint_32(width);
    info.height = png_uint_32(height);
    info.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&info, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
        std::string reason = info.message;
        png_image_free(&info);
        std::remove(path.c_str());
        throw SourceError(path + ": cannot write the picture: " + reason);
    }
}

}  // namespace ktool
