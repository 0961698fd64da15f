#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/art/PngWriter.h"

// karsk-topng <in.bmp> <out.png> [--scale N] [--crop x,y,w,h]
//             [--expect-tile <sheet.bmp>,x,y,tile[/tile...]] [--transparent]
// Converts a screenshot or sheet for the docs. --scale enlarges each pixel
// to a square; --crop keeps a part (before scaling); --expect-tile refuses a
// picture whose 32x32 block at x,y is none of the given tiles of the sheet,
// so a scripted screenshot that went astray is not taken for the real one.
// --transparent writes magenta as see-through pixels (an RGBA PNG), as for
// the desktop icon.
namespace {

bool ParseInts(const std::string& text, std::vector<int>& out)
{
    out.clear();
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find_first_of(",/", at);
        std::string part = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        char* stop = nullptr;
        long value = std::strtol(part.c_str(), &stop, 10);
        if (part.empty() || *stop != '\0' || value < 0 || value > 65535)
            return false;
        out.push_back(int(value));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return true;
}

bool BlockIsTile(const ktool::Image& shot, int x, int y, const ktool::Image& sheet, int tile)
{
    int columns = sheet.width / 32;
    if (columns == 0 || tile >= columns * (sheet.height / 32) || x + 32 > shot.width || y + 32 > shot.height)
        return false;
    for (int dy = 0; dy < 32; ++dy) {
        for (int dx = 0; dx < 32; ++dx) {
            if (shot.At(x + dx, y + dy) != sheet.At(tile % columns * 32 + dx, tile / columns * 32 + dy))
                return false;
        }
    }
    return true;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "karsk-topng: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: karsk-topng <in.bmp> <out.png> [--scale N] [--crop x,y,w,h]\n"
                     "                   [--expect-tile <sheet.bmp>,x,y,tile[/tile...]] [--transparent]\n");
        return 2;
    }
    std::string error;
    ktool::Image in;
    if (!ktool::LoadBmp(argv[1], in, error))
        return Fail(error);
    int scale = 1;
    ktool::Rect crop{0, 0, in.width, in.height};
    bool transparent = false;
    for (int i = 3; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--transparent") {
            transparent = true;
            continue;
        }
        if (i + 1 >= argc)
            return Fail(option + " needs a value");
        std::string value = argv[++i];
        std::vector<int> n;
        if (option == "--scale") {
            if (!ParseInts(value, n) || n.size() != 1 || n[0] < 1 || n[0] > 8)
                return Fail("--scale takes a whole number from 1 to 8, not '" + value + "'");
            scale = n[0];
        } else if (option == "--crop") {
            if (!ParseInts(value, n) || n.size() != 4 || n[2] < 1 || n[3] < 1 || n[0] + n[2] > in.width ||
                n[1] + n[3] > in.height)
                return Fail("--crop takes x,y,w,h inside the picture, not '" + value + "'");
            crop = ktool::Rect{n[0], n[1], n[2], n[3]};
        } else if (option == "--expect-tile") {
            size_t comma = value.find(',');
            ktool::Image sheet;
            if (comma == std::string::npos || !ParseInts(value.substr(comma + 1), n) || n.size() < 3)
                return Fail("--expect-tile takes <sheet.bmp>,x,y,tile[/tile...], not '" + value + "'");
            if (!ktool::LoadBmp(value.substr(0, comma), sheet, error))
                return Fail(error);
            bool found = false;
            for (size_t t = 2; t < n.size() && !found; ++t) found = BlockIsTile(in, n[0], n[1], sheet, n[t]);
            if (!found)
                return Fail(std::string(argv[1]) + ": the block at " + std::to_string(n[0]) + "," +
                            std::to_string(n[1]) + " is none of the expected tiles");
        } else {
            return Fail("unknown option '" + option + "'");
        }
    }
    ktool::Image out(crop.w * scale, crop.h * scale);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) out.Set(x, y, in.At(crop.x + x / scale, crop.y + y / scale));
    }
    if (!ktool::SavePng(argv[2], out, error, transparent))
        return Fail(error);
    return 0;
}
