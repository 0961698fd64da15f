#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/art/PngWriter.h"

// karsk-topng <in.bmp> <out.png> [scale]: converts a screenshot or sheet for
// the docs; a scale above 1 enlarges each pixel to a square for review.
int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: karsk-topng <in.bmp> <out.png> [scale 1-8]\n");
        return 2;
    }
    int scale = argc == 4 ? std::atoi(argv[3]) : 1;
    if (scale < 1 || scale > 8) {
        std::fprintf(stderr, "karsk-topng: scale must be 1 to 8, got '%s'\n", argv[3]);
        return 2;
    }
    std::string error;
    ktool::Image in;
    if (!ktool::LoadBmp(argv[1], in, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ktool::Image out(in.width * scale, in.height * scale);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) out.Set(x, y, in.At(x / scale, y / scale));
    }
    if (!ktool::SavePng(argv[2], out, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
