#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <map>

#include "tests/support/TestSupport.h"
#include "tools/art/ArtBook.h"
#include "tools/art/BmpWriter.h"
#include "tools/art/PngWriter.h"

namespace {

using ktool::kMagenta;

// Runs "art.txt" from the given files; the error, or "" with the pictures in `out`.
std::string RunArt(const std::map<std::string, std::string>& files, ktool::ArtBook* out = nullptr)
{
    ktool::ArtBook book([&](const std::string& path) {
        auto found = files.find(path);
        if (found == files.end())
            throw ktool::SourceError(path + ": cannot open");
        return found->second;
    });
    try {
        book.RunFile("art.txt");
    } catch (const ktool::SourceError& e) {
        return e.what();
    }
    if (out)
        *out = book;
    return "";
}

const std::string kHead = "color red 255 0 0\ncolor blue 0 0 255\nkey r red\nsprite Dot 4 2 2\n";

// The first picture after the head's sprite, drawn by `body`.
ktool::Image Draw(const std::string& body)
{
    ktool::ArtBook book([](const std::string&) { return std::string(); });
    EXPECT_EQ(RunArt({{"art.txt", kHead + body}}, &book), "");
    return book.Images().size() > 1 ? book.Images()[1].image : ktool::Image();
}

TEST(ArtScript, DrawsGridsAndMirrorsFrames)
{
    ktool::ArtBook book([](const std::string&) { return std::string(); });
    ASSERT_EQ(
        RunArt({{"art.txt", kHead + "frame 0\n  grid 1\n  r...\n  rr..\n  end\nframe 1\n  from 0 flipx\n"}},
               &book),
        "");
    const ktool::Image& img = book.Images().at(0).image;
    const struct {
        int x, y;
        ktool::Rgb colour;
    } kPixels[] = {{0, 0, 0xFF0000}, {1, 0, kMagenta}, {7, 0, 0xFF0000}, {6, 1, 0xFF0000}, {4, 0, kMagenta}};
    for (const auto& p : kPixels) EXPECT_EQ(img.At(p.x, p.y), p.colour) << p.x << "," << p.y;
    EXPECT_NE(book.SpriteDefText().find("sprite Dot sprites/Dot.bmp 4 2 2\n"), std::string::npos);
}

TEST(ArtScript, ScaledDrawingFillsBlocksRimShadesEdgesAndBallsAreLitFromTheTopLeft)
{
    const ktool::Image img = Draw(
        "color white 255 255 255\nsprite Big 8 8 1\nscale 2\nframe 0\n  rect red 1 1 3 3\n"
        "  rim red white blue\n  scale 1\n  rect blue 7 0 1 1\n");
    ASSERT_EQ(img.width, 8);
    EXPECT_EQ(img.At(1, 1), kMagenta);
    EXPECT_EQ(img.At(2, 2), 0xFFFFFFu) << "top-left edge lit";
    EXPECT_EQ(img.At(3, 3), 0xFFFFFFu);
    EXPECT_EQ(img.At(4, 4), 0xFF0000u) << "middle untouched";
    EXPECT_EQ(img.At(6, 6), 0x0000FFu) << "bottom-right edge darkened";
    EXPECT_EQ(img.At(7, 7), 0x0000FFu);
    EXPECT_EQ(img.At(7, 0), 0x0000FFu) << "scale 1 is pixel for pixel again";
    EXPECT_EQ(img.At(6, 0), kMagenta);

    const ktool::Image orb = Draw(
        "color dark 10 10 10\ncolor light 200 200 200\nsprite Orb 16 16 1\nframe 0\n"
        "  ball 8 8 6 6 dark blue red light\n");
    ASSERT_EQ(orb.width, 16);
    EXPECT_EQ(orb.At(0, 0), kMagenta);
    EXPECT_EQ(orb.At(5, 5), 0xC8C8C8u) << "lit side";
    EXPECT_EQ(orb.At(11, 11), 0x0A0A0Au) << "shadow side";
}

TEST(ArtScript, ScratchSheetsAreNotListedOrClashingAndGlyphsMayBeWide)
{
    ktool::ArtBook book([](const std::string&) { return std::string(); });
    ASSERT_EQ(RunArt({{"art.txt", kHead + "sheet work - 2 2 1 1\nsheet more - 2 2 1 1\ntile work 0\n"
                                          "  fill red\nframe 0\n  copy work 0\n"}},
                     &book),
              "");
    EXPECT_EQ(book.Images().at(1).path, ktool::kScratchPath);
    EXPECT_EQ(book.Images().at(0).image.At(1, 1), 0xFF0000u);
    EXPECT_EQ(book.SpriteDefText().find("tilesheet"), std::string::npos);
    EXPECT_EQ(
        RunArt({{"art.txt", kHead + "glyph A\n  XXXXXXX\n  X.....X\n  X.....X\n  XXXXXXX\n  X.....X\n"
                                    "  X.....X\n  X.....X\nglyph W\n  X...X\n  X...X\n  X.X.X\n  X.X.X\n"
                                    "  XX.XX\n  X...X\n  X...X\n"}}),
        "");
}

TEST(ArtScript, BadSourcesAreRejectedNamingFileAndLine)
{
    const std::string grid = kHead + "frame 0\n  grid 1\n";
    const struct {
        std::map<std::string, std::string> files;
        const char* error;  // how the message starts
    } kCases[] = {
        {{{"art.txt", grid + "  r...\n  rr.\n  end\n"}}, "art.txt:8: grid row has 3 characters, expected 4"},
        {{{"art.txt", grid + "  rq..\n  end\n"}}, "art.txt:7: unknown grid key 'q'"},
        {{{"art.txt", kHead + "frame 0\n  fill green\n"}}, "art.txt:6: unknown colour 'green'"},
        {{{"art.txt", "include parts.txt\n"},
          {"parts.txt", kHead + "macro spot $c\n  fill $c\nendmacro\nframe 0\n  use spot purple\n"}},
         "parts.txt:6: unknown colour 'purple' (in macro spot used at parts.txt:9)"},
        {{{"art.txt", "color red 255 0 0\nfill red\n"}}, "art.txt:2: 'fill' draws, but no tile"},
        {{{"art.txt", kHead + "scale 9\n"}}, "art.txt:5: scale 9 is outside 1..8"},
        {{{"art.txt", kHead + "glyph A\n  XXXXXX\n  X...X\n  X...X\n  X...X\n  X...X\n  X...X\n  X...X\n"}},
         "art.txt:7: glyph row has 5 characters, expected 6"},
        {{{"art.txt", kHead + "color white 255 255 255\nimage Pic pic.bmp 3 2 colors=2\ncanvas Pic\n"
                              "  fill blue\n  rect red 0 0 1 1\n  rect white 2 1 1 1\n"}},
         "art.txt:6: image 'Pic' uses 3 colours, more than its 2"},
        {{{"art.txt", kHead + "image Pic pic.bmp 3 2 colors=17\n"}}, "art.txt:5: "},
    };
    for (const auto& c : kCases) {
        const std::string error = RunArt(c.files);
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "expected: " << c.error << "\ngot: " << error;
    }
}

TEST(ArtScript, BitmapsConvertToPngAndPalettePicturesPixelForPixel)
{
    ktool::Image image(3, 2, 0x102030);
    image.Set(2, 1, kMagenta);
    image.Set(0, 1, 0xFFFFFF);
    const std::string bmp = TempPath("topng") + ".bmp", png = TempPath("topng") + ".png";
    std::string error;
    ASSERT_TRUE(ktool::SaveBmp(bmp, image, error)) << error;
    ktool::Image loaded;
    ASSERT_TRUE(ktool::LoadBmp(bmp, loaded, error)) << error;
    ASSERT_TRUE(ktool::SavePng(png, loaded, error)) << error;
    png_image info{};
    info.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&info, png.c_str()));
    info.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(info));
    ASSERT_TRUE(png_image_finish_read(&info, nullptr, rgb.data(), 0, nullptr));
    ASSERT_EQ(info.width, 3u);
    ASSERT_EQ(info.height, 2u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2],
                  image.pixels[i])
            << i;
    EXPECT_FALSE(ktool::LoadBmp(png, loaded, error));
    EXPECT_NE(error.find(png), std::string::npos) << error;
    std::remove(png.c_str());

    // An odd width packs two pixels a byte and pads each row.
    ASSERT_TRUE(ktool::SavePaletteBmp(bmp, image, error)) << error;
    std::ifstream in(bmp, std::ios::binary);
    char header[30] = {};
    ASSERT_TRUE(in.read(header, sizeof header));
    EXPECT_EQ(header[28], 4) << "bits per pixel";
    ASSERT_TRUE(ktool::LoadBmp(bmp, loaded, error)) << error;
    EXPECT_EQ(loaded.pixels, image.pixels);
    std::remove(bmp.c_str());
    ktool::Image many(17, 1);
    for (int x = 0; x < 17; ++x) many.Set(x, 0, ktool::Rgb(x));
    EXPECT_FALSE(ktool::SavePaletteBmp(bmp, many, error));
}

}  // namespace
