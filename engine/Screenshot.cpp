#include "engine/Screenshot.h"

#include <SDL.h>
#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace Quill {

namespace {
bool Exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            text.append(buffer, n);
        }
        std::fclose(file);
    }
    return text;
}

bool Set(const char* value)
{
    return value && *value;
}
}  // namespace

std::string ParseUserDirsPictures(const std::string& text, const std::string& home)
{
    std::istringstream lines(text);
    std::string line;
    std::string found;
    while (std::getline(lines, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') {
            continue;
        }
        static const std::string kKey = "XDG_PICTURES_DIR=";
        if (line.compare(start, kKey.size(), kKey) != 0) {
            continue;
        }
        std::string value = line.substr(start + kKey.size());
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
            value.pop_back();
        }
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
            continue;
        }
        value = value.substr(1, value.size() - 2);
        // The file allows only "$HOME/..." or an absolute path.
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) {
            if (home.empty()) {
                continue;
            }
            value = home + value.substr(5);
        } else if (value.empty() || value[0] != '/') {
            continue;
        }
        while (value.size() > 1 && value.back() == '/') {
            value.pop_back();
        }
        found = value;  // the last such line wins, as with a shell
    }
    return found;
}

std::string ChoosePicturesDirectory(const char* xdgPicturesDir, const char* xdgConfigHome, const char* home)
{
    if (Set(xdgPicturesDir)) {
        return xdgPicturesDir;
    }
    const std::string homeDir = Set(home) ? home : "";
    std::string configDir;
    if (Set(xdgConfigHome) && xdgConfigHome[0] == '/') {
        configDir = xdgConfigHome;
    } else if (!homeDir.empty()) {
        configDir = homeDir + "/.config";
    }
    if (!configDir.empty()) {
        std::string fromFile = ParseUserDirsPictures(ReadFile(configDir + "/user-dirs.dirs"), homeDir);
        if (!fromFile.empty()) {
            return fromFile;
        }
    }
    return homeDir.empty() ? std::string() : homeDir + "/Pictures";
}

std::string PicturesDirectory()
{
    return ChoosePicturesDirectory(std::getenv("XDG_PICTURES_DIR"), std::getenv("XDG_CONFIG_HOME"),
                                   std::getenv("HOME"));
}

std::string ScreenshotFileName(const std::tm& when, int take)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "karsk-%04d-%02d-%02d-%02d%02d%02d", when.tm_year + 1900,
                  when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    std::string name = stamp;
    if (take > 1) {
        name += "-" + std::to_string(take);
    }
    return name + ".png";
}

std::string NextScreenshotPath(const std::string& dir, const std::tm& when)
{
    for (int take = 1;; ++take) {
        std::string path = dir + "/" + ScreenshotFileName(when, take);
        if (!Exists(path)) {
            return path;
        }
    }
}

bool MakeDirectories(const std::string& dir, std::string& error)
{
    if (dir.empty()) {
        error = "no directory";
        return false;
    }
    for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "cannot create " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = dir + " is not a directory";
        return false;
    }
    return true;
}

namespace {
struct PngError {
    std::string message;
};

void OnPngError(png_structp png, png_const_charp message)
{
    static_cast<PngError*>(png_get_error_ptr(png))->message = message ? message : "libpng error";
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Rows of 8-bit RGB from any SDL surface.
std::vector<uint8_t> RgbPixels(SDL_Surface* surface)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(surface->w) * surface->h * 3);
    const bool locked = SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) == 0;
    const int bytes = surface->format->BytesPerPixel;
    size_t out = 0;
    for (int y = 0; y < surface->h; ++y) {
        const auto* row =
            static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * bytes;
            Uint32 pixel = 0;
            switch (bytes) {
                case 1:
                    pixel = *p;
                    break;
                case 2:
                    pixel = *reinterpret_cast<const Uint16*>(p);
                    break;
                case 3:
                    pixel = SDL_BYTEORDER == SDL_LIL_ENDIAN ? (p[0] | p[1] << 8 | p[2] << 16)
                                                            : (p[0] << 16 | p[1] << 8 | p[2]);
                    break;
                default:
                    pixel = *reinterpret_cast<const Uint32*>(p);
                    break;
            }
            SDL_GetRGB(pixel, surface->format, &rgb[out], &rgb[out + 1], &rgb[out + 2]);
            out += 3;
        }
    }
    if (locked) {
        SDL_UnlockSurface(surface);
    }
    return rgb;
}

bool WriteRgbPng(std::FILE* file, int width, int height, std::vector<uint8_t>& rgb, std::string& error)
{
    PngError state;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (!png) {
        error = "cannot start libpng";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[static_cast<size_t>(y)] = rgb.data() + static_cast<size_t>(y) * width * 3;
    }
    if (!info || setjmp(png_jmpbuf(png))) {
        error = info ? state.message : "cannot start libpng";
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
}  // namespace

bool WritePng(const std::string& path, SDL_Surface* surface, std::string& error)
{
    if (!surface || surface->w <= 0 || surface->h <= 0) {
        error = "no picture to save";
        return false;
    }
    std::vector<uint8_t> rgb = RgbPixels(surface);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = WriteRgbPng(file, surface->w, surface->h, rgb, error);
    if (std::fclose(file) != 0 && ok) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        std::remove(path.c_str());
    }
    return ok;
}

}  // namespace Quill
