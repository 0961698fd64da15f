// Where screenshots go, what they are called, and that the PNG reads back.
#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "engine/Screenshot.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using EngineTest::TempDir;

namespace {

struct DirCase {
    const char* name;
    const char* picturesVar;  // null: unset
    const char* configVar;    // "@" is the temp dir's "cfg"
    const char* userDirs;     // written to the config directory; null: none
    const char* expected;     // "~" is the home directory given
};

const DirCase kDirCases[] = {
    {"variable_wins", "/srv/shots", "@", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/srv/shots"},
    {"empty_variable_is_unset", "", nullptr, nullptr, "~/Pictures"},
    {"user_dirs_in_config_home", nullptr, "@",
     "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "~/Bilder"},
    {"user_dirs_in_dot_config", nullptr, nullptr, "XDG_PICTURES_DIR=\"$HOME/Images\"\n", "~/Images"},
    {"absolute_path_in_file", nullptr, "@", "XDG_PICTURES_DIR=\"/data/pics/\"\n", "/data/pics"},
    {"home_itself", nullptr, "@", "XDG_PICTURES_DIR=\"$HOME\"\n", "~"},
    {"relative_path_ignored", nullptr, "@", "XDG_PICTURES_DIR=\"Pics\"\n", "~/Pictures"},
    {"commented_line_ignored", nullptr, "@", "#XDG_PICTURES_DIR=\"$HOME/X\"\n", "~/Pictures"},
    {"no_file", nullptr, "@", nullptr, "~/Pictures"},
};

class PicturesDir : public ::testing::TestWithParam<DirCase> {};

TEST_P(PicturesDir, Chosen)
{
    const DirCase& c = GetParam();
    TempDir temp;
    const std::string home = temp.File("home");
    const bool inConfigHome = c.configVar && std::string(c.configVar) == "@";
    const std::string configDir = inConfigHome ? temp.File("cfg") : home + "/.config";
    std::string error;
    ASSERT_TRUE(MakeDirectories(configDir, error)) << error;
    if (c.userDirs) {
        temp.Write(inConfigHome ? "cfg/user-dirs.dirs" : "home/.config/user-dirs.dirs", c.userDirs);
    }
    std::string expected = c.expected;
    if (expected[0] == '~') {
        expected = home + expected.substr(1);
    }
    const std::string configVar = inConfigHome ? configDir : std::string();
    EXPECT_EQ(
        ChoosePicturesDirectory(c.picturesVar, inConfigHome ? configVar.c_str() : nullptr, home.c_str()),
        expected);
}

INSTANTIATE_TEST_SUITE_P(Sources, PicturesDir, ::testing::ValuesIn(kDirCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PicturesDir, NoHomeNoDirectory)
{
    EXPECT_EQ(ChoosePicturesDirectory(nullptr, nullptr, nullptr), "");
}

std::tm At(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(ScreenshotName, StampedAndNumberedWithinASecond)
{
    const std::tm when = At(2026, 12, 7, 1, 35, 12);
    EXPECT_EQ(ScreenshotFileName(when, 1), "karsk-2026-12-07-013512.png");
    EXPECT_EQ(ScreenshotFileName(when, 2), "karsk-2026-12-07-013512-2.png");
    EXPECT_EQ(ScreenshotFileName(At(2031, 1, 2, 23, 4, 5), 1), "karsk-2031-01-02-230405.png");

    TempDir temp;
    const std::string dir = temp.File("a/b");
    std::string error;
    ASSERT_TRUE(MakeDirectories(dir, error)) << error;
    EXPECT_EQ(NextScreenshotPath(dir, when), dir + "/karsk-2026-12-07-013512.png");
    temp.Write("a/b/karsk-2026-12-07-013512.png", "x");
    temp.Write("a/b/karsk-2026-12-07-013512-2.png", "x");
    EXPECT_EQ(NextScreenshotPath(dir, when), dir + "/karsk-2026-12-07-013512-3.png");
}

TEST(ScreenshotDir, CannotBeMadeUnderAFile)
{
    TempDir temp;
    const std::string file = temp.Write("plain", "x");
    std::string error;
    EXPECT_FALSE(MakeDirectories(file + "/sub", error));
    EXPECT_NE(error.find("plain"), std::string::npos) << error;
}

TEST(ScreenshotPng, ReadsBackWithLibpng)
{
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 3, 32, 0xFF0000, 0xFF00, 0xFF, 0), SDL_FreeSurface);
    ASSERT_TRUE(surface);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
            row[x] = SDL_MapRGB(surface->format, static_cast<Uint8>(x * 50), static_cast<Uint8>(y * 100), 33);
        }
    }
    TempDir temp;
    const std::string path = temp.File("shot.png");
    std::string error;
    ASSERT_TRUE(WritePng(path, surface.get(), error)) << error;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const png_byte* p = &pixels[(y * 5 + x) * 3];
            EXPECT_EQ(p[0], x * 50);
            EXPECT_EQ(p[1], y * 100);
            EXPECT_EQ(p[2], 33);
        }
    }
}

TEST(ScreenshotPng, FailsInAMissingDirectoryAndLeavesNoFile)
{
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 32, 0xFF0000, 0xFF00, 0xFF, 0), SDL_FreeSurface);
    TempDir temp;
    std::string error;
    EXPECT_FALSE(WritePng(temp.File("missing/shot.png"), surface.get(), error));
    EXPECT_NE(error.find("missing/shot.png"), std::string::npos) << error;
    EXPECT_FALSE(WritePng(temp.File("x.png"), nullptr, error));
}

}  // namespace
