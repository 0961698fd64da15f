// Where screenshots go, what they are called, and that the PNG reads back.
#include <gtest/gtest.h>
#include <png.h>

#include <vector>

#include "engine/Screenshot.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;

namespace {

TEST(Screenshot, PicturesDirectoryComesFromTheVariableTheUserDirsFileOrHome)
{
    const struct {
        const char* picturesVar;  // null: unset
        bool inConfigHome;        // the config variable names a directory; else ~/.config is used
        const char* userDirs;     // written to the config directory; null: none
        const char* expected;     // "~" is the home directory given
    } cases[] = {
        {"/srv/shots", true, "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/srv/shots"},
        {"", false, nullptr, "~/Pictures"},
        {nullptr, true, "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
         "~/Bilder"},
        {nullptr, false, "XDG_PICTURES_DIR=\"$HOME/Images\"\n", "~/Images"},
        {nullptr, true, "XDG_PICTURES_DIR=\"/data/pics/\"\n", "/data/pics"},
        {nullptr, true, "XDG_PICTURES_DIR=\"$HOME\"\n", "~"},
        {nullptr, true, "XDG_PICTURES_DIR=\"Pics\"\n", "~/Pictures"},
        {nullptr, true, "#XDG_PICTURES_DIR=\"$HOME/X\"\n", "~/Pictures"},
        {nullptr, true, nullptr, "~/Pictures"},
    };
    for (const auto& c : cases) {
        TempDir temp;
        const std::string home = temp.File("home");
        const std::string configDir = c.inConfigHome ? temp.File("cfg") : home + "/.config";
        std::string error;
        ASSERT_TRUE(MakeDirectories(configDir, error)) << error;
        if (c.userDirs)
            temp.Write(c.inConfigHome ? "cfg/user-dirs.dirs" : "home/.config/user-dirs.dirs", c.userDirs);
        const std::string expected = c.expected[0] == '~' ? home + (c.expected + 1) : c.expected;
        EXPECT_EQ(ChoosePicturesDirectory(c.picturesVar, c.inConfigHome ? configDir.c_str() : nullptr,
                                          home.c_str()),
                  expected)
            << (c.userDirs ? c.userDirs : "no user-dirs file");
    }
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

TEST(Screenshot, NamesAreStampedAndNumberedWithinASecond)
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

    const std::string file = temp.Write("plain", "x");
    EXPECT_FALSE(MakeDirectories(file + "/sub", error));
    EXPECT_NE(error.find("plain"), std::string::npos) << error;
}

TEST(Screenshot, PngReadsBackWithLibpngAndFailuresSayWhere)
{
    EngineTest::SurfacePtr surface = EngineTest::MakeSurface(5, 3);
    ASSERT_TRUE(surface);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            SDL_Rect pixel{Sint16(x), Sint16(y), 1, 1};
            SDL_FillRect(surface.get(), &pixel,
                         SDL_MapRGB(surface->format, Uint8(x * 50), Uint8(y * 100), 33));
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

    EXPECT_FALSE(WritePng(temp.File("missing/shot.png"), surface.get(), error));
    EXPECT_NE(error.find("missing/shot.png"), std::string::npos) << error;
    EXPECT_FALSE(WritePng(temp.File("x.png"), nullptr, error));
}

}  // namespace
