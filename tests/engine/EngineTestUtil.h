#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

struct SDL_Surface;

namespace EngineTest {

// A fresh directory under /tmp, removed with its contents at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }
    // Writes `text` to `name` inside the directory; returns the full path.
    std::string Write(const std::string& name, const std::string& text) const;

private:
    std::string path;
};

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A 24-bit BMP of the given size whose pixels come from `colour(x, y)`.
bool WriteBmp(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& colour);
Rgb ReadPixel(SDL_Surface* surface, int x, int y);
void FillSurface(SDL_Surface* surface, Rgb colour);
std::string ReadWholeFile(const std::string& path);
// How many recent log lines contain `fragment`.
int CountLogLines(const std::string& fragment);
// Letters and digits of `text`, other runs as '_': readable test parameter names.
std::string Slug(const std::string& text);

// Lets gtest print colours readably.
inline std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

}  // namespace EngineTest
