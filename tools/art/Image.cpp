#include "tools/art/Image.h"

#include <algorithm>
#include <cmath>

namespace ktool {

void Painter::PlotPixel(int x, int y, Rgb c)
{
    if (x < 0 || y < 0 || x >= clip_.w || y >= clip_.h)
        return;
    image_.Set(clip_.x + x, clip_.y + y, c);
}

void Painter::Plot(int x, int y, Rgb c)
{
    for (int dy = 0; dy < unit_; ++dy) {
        for (int dx = 0; dx < unit_; ++dx) PlotPixel(x * unit_ + dx, y * unit_ + dy, c);
    }
}

Rgb Painter::Get(int x, int y) const
{
    x *= unit_;
    y *= unit_;
    if (x < 0 || y < 0 || x >= clip_.w || y >= clip_.h || !image_.Inside(clip_.x + x, clip_.y + y))
        return kMagenta;
    return image_.At(clip_.x + x, clip_.y + y);
}

void Painter::FillRect(int x, int y, int w, int h, Rgb c)
{
    for (int yy = y; yy < y + h; ++yy) {
        for (int xx = x; xx < x + w; ++xx) Plot(xx, yy, c);
    }
}

void Painter::Box(int x, int y, int w, int h, Rgb c)
{
    FillRect(x, y, w, 1, c);
    FillRect(x, y + h - 1, w, 1, c);
    FillRect(x, y, 1, h, c);
    FillRect(x + w - 1, y, 1, h, c);
}

// Pixel centres are at +0.5, so a circle at 16,16 of radius 8 is symmetric.
void Painter::Ellipse(double cx, double cy, double rx, double ry, Rgb c)
{
    for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y) {
        for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
            double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0)
                Plot(x, y, c);
        }
    }
}

void Painter::Ring(double cx, double cy, double r, double thickness, Rgb c)
{
    for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y) {
        for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d <= r && d > r - thickness)
                Plot(x, y, c);
        }
    }
}

void Painter::Ball(double cx, double cy, double rx, double ry, const std::vector<Rgb>& ramp)
{
    // Towards the viewer and up to the left, so rims at the lower right fall dark.
    const double lx = -0.45, ly = -0.55, lz = 0.70;
    const double norm = std::sqrt(lx * lx + ly * ly + lz * lz);
    for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y) {
        for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
            double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
            double d = nx * nx + ny * ny;
            if (d > 1.0)
                continue;
            double nz = std::sqrt(1.0 - d);
            double light = std::max(0.0, (nx * lx + ny * ly + nz * lz) / norm);
            size_t step = std::min(ramp.size() - 1, size_t(std::pow(light, 2.5) * double(ramp.size())));
            Plot(x, y, ramp[step]);
        }
    }
}

void Painter::Line(int x0, int y0, int x1, int y1, int width, Rgb c)
{
    int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    int before = (width - 1) / 2;
    for (int i = 0; i <= steps; ++i) {
        double t = steps ? double(i) / steps : 0.0;
        int x = int(std::lround(x0 + (x1 - x0) * t)), y = int(std::lround(y0 + (y1 - y0) * t));
        FillRect(x - before, y - before, width, width, c);
    }
}

void Painter::Triangle(double x0, double y0, double x1, double y1, double x2, double y2, Rgb c)
{
    int top = int(std::floor(std::min({y0, y1, y2}))), bottom = int(std::ceil(std::max({y0, y1, y2})));
    int left = int(std::floor(std::min({x0, x1, x2}))), right = int(std::ceil(std::max({x0, x1, x2})));
    auto side = [](double ax, double ay, double bx, double by, double px, double py) {
        return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double a = side(x0, y0, x1, y1, px, py), b = side(x1, y1, x2, y2, px, py),
                   d = side(x2, y2, x0, y0, px, py);
            if ((a >= 0 && b >= 0 && d >= 0) || (a <= 0 && b <= 0 && d <= 0))
                Plot(x, y, c);
        }
    }
}

void Painter::Speckle(Rgb c, int count, uint32_t seed, int dotW, int dotH)
{
    uint32_t state = seed * 2654435761u + 97u;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int i = 0; i < count; ++i) {
        int x = int(next() % uint32_t(std::max(1, Width() - dotW + 1)));
        int y = int(next() % uint32_t(std::max(1, Height() - dotH + 1)));
        FillRect(x, y, dotW, dotH, c);
    }
}

// Counted from the clip's corner, so neighbouring areas share one pattern.
void Painter::Checker(Rgb c, int size, int x0, int y0, int w, int h)
{
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            if (((x / size) + (y / size)) % 2 == 1)
                Plot(x, y, c);
        }
    }
}

// Pixel by pixel, so it also reaches detail finer than the unit.
void Painter::Recolor(Rgb from, Rgb to)
{
    for (int y = 0; y < clip_.h; ++y) {
        for (int x = 0; x < clip_.w; ++x) {
            if (image_.Inside(clip_.x + x, clip_.y + y) && image_.At(clip_.x + x, clip_.y + y) == from)
                PlotPixel(x, y, to);
        }
    }
}

void Painter::Outline(Rgb c)
{
    std::vector<std::pair<int, int>> marks;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            if (Get(x, y) != kMagenta)
                continue;
            const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (auto& s : d) {
                Rgb n = Get(x + s[0], y + s[1]);
                if (n != kMagenta && n != c) {
                    marks.push_back({x, y});
                    break;
                }
            }
        }
    }
    for (auto [x, y] : marks) Plot(x, y, c);
}

void Painter::Rim(Rgb on, Rgb light, Rgb dark)
{
    std::vector<std::pair<std::pair<int, int>, Rgb>> marks;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            if (Get(x, y) != on)
                continue;
            if (Get(x - 1, y) == kMagenta || Get(x, y - 1) == kMagenta)
                marks.push_back({{x, y}, light});
            else if (Get(x + 1, y) == kMagenta || Get(x, y + 1) == kMagenta)
                marks.push_back({{x, y}, dark});
        }
    }
    for (const auto& [at, c] : marks) Plot(at.first, at.second, c);
}

Image CutOut(const Image& source, Rect area, const Transform& t)
{
    Image out(area.w, area.h);
    double radians = t.degrees * 3.14159265358979323846 / 180.0;
    double cs = std::cos(radians), sn = std::sin(radians);
    double cx = area.w / 2.0, cy = area.h / 2.0;
    for (int y = 0; y < area.h; ++y) {
        for (int x = 0; x < area.w; ++x) {
            // Walk back from the output pixel to the source pixel.
            double px = x + 0.5 - t.shiftX - cx, py = y + 0.5 - t.shiftY - cy;
            double sx = cs * px + sn * py + cx, sy = -sn * px + cs * py + cy;
            if (t.flipX)
                sx = area.w - sx;
            if (t.flipY)
                sy = area.h - sy;
            int ix = int(std::floor(sx + 1e-9)), iy = int(std::floor(sy + 1e-9));
            if (ix < 0 || iy < 0 || ix >= area.w || iy >= area.h)
                continue;
            out.Set(x, y, source.At(area.x + ix, area.y + iy));
        }
    }
    return out;
}

void PasteOver(Painter& target, const Image& piece, int x, int y)
{
    for (int yy = 0; yy < piece.height; ++yy) {
        for (int xx = 0; xx < piece.width; ++xx) {
            Rgb c = piece.At(xx, yy);
            if (c != kMagenta)
                target.PlotPixel(x + xx, y + yy, c);
        }
    }
}

}  // namespace ktool
