#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <map>

#include "tests/tools/DataFiles.h"
#include "tools/art/ArtBook.h"
#include "tools/art/BmpWriter.h"
#include "tools/art/PngWriter.h"

namespace {

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

TEST(ArtScript, DrawsGridsAndMirrorsFrames)
{
    ktool::ArtBook book([](const std::string&) { return std::string(); });
    ASSERT_EQ(
        RunArt({{"art.txt", kHead + "frame 0\n  grid 1\n  r...\n  rr..\n  end\nframe 1\n  from 0 flipx\n"}},
               &book),
        "");
    const ktool::Image& img = book.Images().at(0).image;
    EXPECT_EQ(img.At(0, 0), 0xFF0000u);
    EXPECT_EQ(img.At(1, 0), ktool::kMagenta);
    EXPECT_EQ(img.At(7, 0), 0xFF0000u);
    EXPECT_EQ(img.At(6, 1), 0xFF0000u);
    EXPECT_EQ(img.At(4, 0), ktool::kMagenta);
    EXPECT_NE(book.SpriteDefText().find("sprite Dot sprites/Dot.bmp 4 2 2\n"), std::string::npos);
}

TEST(ArtScript, ScaledDrawingFillsBlocksAndRimShadesEdges)
{
    ktool::ArtBook book([](const std::string&) { return std::string(); });
    ASSERT_EQ(RunArt({{"art.txt", kHead + "color white 255 255 255\nsprite Big 8 8 1\nscale 2\nframe 0\n"
                                          "  rect red 1 1 3 3\n  rim red white blue\n  scale 1\n"
                                          "  rect blue 7 0 1 1\n"}},
                     &book),
              "");
    const ktool::Image& img = book.Images().at(1).image;
    EXPECT_EQ(img.At(1, 1), ktool::kMagenta);
    EXPECT_EQ(img.At(2, 2), 0xFFFFFFu) << "top-left edge lit";
    EXPECT_EQ(img.At(3, 3), 0xFFFFFFu);
    EXPECT_EQ(img.At(4, 4), 0xFF0000u) << "middle untouched";
    EXPECT_EQ(img.At(6, 6), 0x0000FFu) << "bottom-right edge darkened";
    EXPECT_EQ(img.At(7, 7), 0x0000FFu);
    EXPECT_EQ(img.At(7, 0), 0x0000FFu) << "scale 1 is pixel for pixel again";
    EXPECT_EQ(img.At(6, 0), ktool::kMagenta);
}

TEST(ArtScript, ScratchSheetsAreNotListedOrClashing)
{
    ktool::ArtBook book([](const std::string&) { return std::string(); });
    ASSERT_EQ(RunArt({{"art.txt", kHead + "sheet work - 2 2 1 1\nsheet more - 2 2 1 1\ntile work 0\n"
                                          "  fill red\nframe 0\n  copy work 0\n"}},
                     &book),
              "");
    EXPECT_EQ(book.Images().at(1).path, ktool::kScratchPath);
    EXPECT_EQ(book.Images().at(0).image.At(1, 1), 0xFF0000u);
    EXPECT_EQ(book.SpriteDefText().find("tilesheet"), std::string::npos);
    EXPECT_EQ(RunArt({{"art.txt", kHead + "scale 9\n"}}).rfind("art.txt:5: scale 9 is outside 1..8", 0), 0u);
}

TEST(ArtScript, RejectsARaggedGridNamingFileAndLine)
{
    std::string error = RunArt({{"art.txt", kHead + "frame 0\n  grid 1\n  r...\n  rr.\n  end\n"}});
    EXPECT_EQ(error.rfind("art.txt:8: grid row has 3 characters, expected 4", 0), 0u) << error;
}

TEST(ArtScript, RejectsUnknownKeysAndColours)
{
    EXPECT_EQ(RunArt({{"art.txt", kHead + "frame 0\n  grid 1\n  rq..\n  end\n"}})
                  .rfind("art.txt:7: unknown grid key 'q'", 0),
              0u);
    EXPECT_EQ(RunArt({{"art.txt", kHead + "frame 0\n  fill green\n"}})
                  .rfind("art.txt:6: unknown colour 'green'", 0),
              0u);
}

TEST(ArtScript, NamesTheMacroLineAndTheUse)
{
    std::string error =
        RunArt({{"art.txt", "include parts.txt\n"},
                {"parts.txt", kHead + "macro spot $c\n  fill $c\nendmacro\nframe 0\n  use spot purple\n"}});
    EXPECT_EQ(error.rfind("parts.txt:6: unknown colour 'purple' (in macro spot used at parts.txt:9)", 0), 0u)
        << error;
}

TEST(ArtScript, RejectsDrawingWithoutATarget)
{
    EXPECT_EQ(RunArt({{"art.txt", "color red 255 0 0\nfill red\n"}})
                  .rfind("art.txt:2: 'fill' draws, but no tile", 0),
              0u);
}

TEST(ArtScript, BitmapsConvertToPngPixelForPixel)
{
    ktool::Image image(3, 2, 0x102030);
    image.Set(2, 1, ktool::kMagenta);
    image.Set(0, 1, 0xFFFFFF);
    std::string bmp = datatest::UniqueTempPath("topng") + ".bmp",
                png = datatest::UniqueTempPath("topng") + ".png";
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
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const png_byte* p = &rgb[size_t(3 * (y * 3 + x))];
            EXPECT_EQ(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2], image.At(x, y)) << x << "," << y;
        }
    }
    EXPECT_FALSE(ktool::LoadBmp(png, loaded, error));
    EXPECT_NE(error.find(png), std::string::npos) << error;
    std::remove(bmp.c_str());
    std::remove(png.c_str());
}

TEST(ArtScript, BallsAreLitFromTheTopLeftAndGlyphsMayBeWide)
{
    ktool::ArtBook book([](const std::string&) { return std::string(); });
    std::string src = kHead +
                      "color dark 10 10 10\ncolor light 200 200 200\nsprite Orb 16 16 1\nframe 0\n"
                      "  ball 8 8 6 6 dark blue red light\n";
    ASSERT_EQ(RunArt({{"art.txt", src}}, &book), "");
    const ktool::Image& orb = book.Images().at(1).image;
    EXPECT_EQ(orb.At(0, 0), ktool::kMagenta);
    EXPECT_EQ(orb.At(5, 5), 0xC8C8C8u) << "lit side";
    EXPECT_EQ(orb.At(11, 11), 0x0A0A0Au) << "shadow side";
    std::string wide = "glyph W\n  X...X\n  X...X\n  X.X.X\n  X.X.X\n  XX.XX\n  X...X\n  X...X\n";
    EXPECT_EQ(RunArt({{"art.txt", kHead +
                                      "glyph A\n  XXXXXXX\n  X.....X\n  X.....X\n  XXXXXXX\n"
                                      "  X.....X\n  X.....X\n  X.....X\n" +
                                      wide}}),
              "");
    EXPECT_EQ(RunArt({{"art.txt", kHead + "glyph A\n  XXXXXX\n  X...X\n  X...X\n  X...X\n  X...X\n  X...X\n"
                                          "  X...X\n"}})
                  .rfind("art.txt:7: glyph row has 5 characters, expected 6", 0),
              0u);
}

}  // namespace

TEST(ArtScript, ColourLimitedPicturesAreCheckedAndWrittenWithAPalette)
{
    EXPECT_EQ(
        RunArt({{"art.txt", kHead + "color white 255 255 255\nimage Pic pic.bmp 3 2 colors=2\n"
                                    "canvas Pic\n  fill blue\n  rect red 0 0 1 1\n  rect white 2 1 1 1\n"}}),
        "art.txt:6: image 'Pic' uses 3 colours, more than its 2");
    EXPECT_NE(RunArt({{"art.txt", kHead + "image Pic pic.bmp 3 2 colors=17\n"}}), "");

    // An odd width packs two pixels a byte and pads each row.
    ktool::Image image(3, 2, 0x102030);
    image.Set(2, 1, ktool::kMagenta);
    image.Set(0, 1, 0xFFFFFF);
    const std::string bmp = datatest::UniqueTempPath("palette") + ".bmp";
    std::string error;
    ASSERT_TRUE(ktool::SavePaletteBmp(bmp, image, error)) << error;
    std::ifstream in(bmp, std::ios::binary);
    char header[30] = {};
    ASSERT_TRUE(in.read(header, sizeof header));
    EXPECT_EQ(header[28], 4) << "bits per pixel";
    ktool::Image loaded;
    ASSERT_TRUE(ktool::LoadBmp(bmp, loaded, error)) << error;
    EXPECT_EQ(loaded.pixels, image.pixels);
    std::remove(bmp.c_str());

    ktool::Image many(17, 1);
    for (int x = 0; x < 17; ++x) many.Set(x, 0, ktool::Rgb(x));
    EXPECT_FALSE(ktool::SavePaletteBmp(bmp, many, error));
}
