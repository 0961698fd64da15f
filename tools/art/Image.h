#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An RGB picture in memory. Magenta marks transparent pixels, as in the game.
namespace ktool {

using Rgb = uint32_t;  // 0xRRGGBB
constexpr Rgb kMagenta = 0xFF00FF;

inline Rgb MakeRgb(int r, int g, int b)
{
    return Rgb(r) << 16 | Rgb(g) << 8 | Rgb(b);
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;

    Image() = default;
    Image(int w, int h, Rgb fill = kMagenta) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void Set(int x, int y, Rgb c)
    {
        if (Inside(x, y))
            pixels[size_t(y) * size_t(width) + size_t(x)] = c;
    }
};

// Drawing clipped to `clip`; coordinates are relative to its corner and
// counted in units of `unit` pixels, so art can be drawn on a coarse grid.
class Painter {
public:
    Painter(Image& image, Rect clip, int unit = 1) : image_(image), clip_(clip), unit_(unit) {}

    void Plot(int x, int y, Rgb c);
    void PlotPixel(int x, int y, Rgb c);  // one real pixel, whatever the unit
    Rgb Get(int x, int y) const;          // magenta outside the clip
    int Width() const { return clip_.w / unit_; }
    int Height() const { return clip_.h / unit_; }
    int Unit() const { return unit_; }

    void Fill(Rgb c) { FillRect(0, 0, clip_.w, clip_.h, c); }
    void FillRect(int x, int y, int w, int h, Rgb c);
    void Box(int x, int y, int w, int h, Rgb c);
    void Ellipse(double cx, double cy, double rx, double ry, Rgb c);
    void Ring(double cx, double cy, double r, double thickness, Rgb c);
    // A lit ellipsoid: `ramp` runs from shadow to highlight, light from the top left.
    void Ball(double cx, double cy, double rx, double ry, const std::vector<Rgb>& ramp);
    void Line(int x0, int y0, int x1, int y1, int width, Rgb c);
    void Triangle(double x0, double y0, double x1, double y1, double x2, double y2, Rgb c);
    void Speckle(Rgb c, int count, uint32_t seed, int dotW, int dotH);
    void Checker(Rgb c, int size, int x, int y, int w, int h);
    void Recolor(Rgb from, Rgb to);
    // Paints `c` on transparent pixels that touch an opaque one.
    void Outline(Rgb c);
    // Lights pixels of colour `on` that face the top left across a transparent
    // edge and darkens those facing the bottom right.
    void Rim(Rgb on, Rgb light, Rgb dark);

private:
    Image& image_;
    Rect clip_;
    int unit_;
};

// A copy of a region, turned, mirrored or shifted; blank parts are magenta.
struct Transform {
    bool flipX = false, flipY = false;
    double degrees = 0;  // clockwise
    int shiftX = 0, shiftY = 0;
};
Image CutOut(const Image& source, Rect area, const Transform& t);
// Pastes `piece` pixel for pixel with its magenta left out.
void PasteOver(Painter& target, const Image& piece, int x, int y);

}  // namespace ktool
