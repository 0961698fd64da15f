#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "tests/support/TestSupport.h"
#include "tests/tools/SmallWorld.h"
#include "tools/common/SourceText.h"
#include "tools/world/WorldPicture.h"

using ktool::WorldPicture;

namespace {

// Tile t of the test sheet is one flat colour that names it.
uint32_t TileColour(int t)
{
    return uint32_t(t) << 16 | uint32_t(255 - t) << 8 | 0x40;
}

std::string WriteSheet(int size)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int t = 0; t < 256; ++t) {
        SDL_Rect r{Sint16((t % 16) * 32), Sint16((t / 16) * 32), 32, 32};
        SDL_FillRect(s, &r,
                     SDL_MapRGB(s->format, Uint8(TileColour(t) >> 16), Uint8(TileColour(t) >> 8), 0x40));
    }
    const std::string path = TempPath("sheet") + ".bmp";
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

std::string Message(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ktool::SourceError& e) {
        return e.what();
    }
    return "";
}

class WorldPictureTest : public ::testing::Test {
protected:
    void TearDown() override { std::remove(sheet.c_str()); }

    std::string sheet = WriteSheet(512);
    MapFormat::MapData map = smallworld::Make();
};

}  // namespace

TEST_F(WorldPictureTest, TilesMarkersAndScreensOutsideTheWorldAreDrawnInTheirPlaces)
{
    WorldPicture picture(sheet);
    picture.Draw(map, 7, 7, 8, 7, 8);
    ASSERT_EQ(picture.Width(), 2 * 16 * 4);
    ASSERT_EQ(picture.Height(), 11 * 4);
    EXPECT_EQ(picture.At(3 * 4 + 1, 3 * 4 + 1), TileColour(0));
    EXPECT_EQ(picture.At((16 + smallworld::kStairsX) * 4 + 2, smallworld::kStairsY * 4 + 2), TileColour(64));
    // Where two screens meet, the first column of the second is darkened.
    EXPECT_EQ(picture.At(16 * 4, 5 * 4 + 1), (TileColour(0) >> 1) & 0x7F7F7F);
    EXPECT_EQ(picture.At(16 * 4 + 1, 5 * 4 + 1), TileColour(0));

    picture.Draw(map, 6, 7, 7, 7, 16);
    EXPECT_EQ(picture.At(5, 5), WorldPicture::kOutside);
    EXPECT_EQ(picture.At(16 * 2 + 5, 5 * 2 + 1), TileColour(0));

    map.Cell(1, 7 * 16 + 9, 19 * 11 + 3) = 5;
    picture.Draw(map, 7, 19, 7, 19, 4);
    EXPECT_EQ(picture.At(smallworld::kBlockX * 8, smallworld::kBlockY * 8 + 3),
              WorldPicture::kPushBlockFrame);
    EXPECT_EQ(picture.At(smallworld::kBlockX * 8 + 3, smallworld::kBlockY * 8 + 3), TileColour(160));
    EXPECT_EQ(picture.At(9 * 8 + 7, 3 * 8 + 4), WorldPicture::kMarkerFrame);

    // By default the picture holds every designed screen.
    int sx0, sy0, sx1, sy1;
    WorldPicture::DesignedScreens(map, sx0, sy0, sx1, sy1);
    EXPECT_EQ(std::vector<int>({sx0, sy0, sx1, sy1}), std::vector<int>({7, 7, 8, 20}));
}

TEST_F(WorldPictureTest, APictureIsSavedAsPngAndBadSheetsPathsAndRectanglesAreNamed)
{
    WorldPicture picture(sheet);
    picture.Draw(map, 7, 7, 7, 7, 32);
    const std::string path = TempPath("world") + ".png";
    picture.SavePng(path);
    std::ifstream in(path, std::ios::binary);
    char magic[8] = {};
    in.read(magic, 8);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    std::remove(path.c_str());

    const std::string small = WriteSheet(256);
    EXPECT_EQ(Message([&] { WorldPicture p(small); }),
              small + ": the tile sheet is 256 x 256 pixels, it must be 512 x 512");
    std::remove(small.c_str());
    const struct {
        std::function<void()> action;
        const char* message;
    } kCases[] = {
        {[&] { picture.SavePng("/nonexistent-dir/world.png"); }, "/nonexistent-dir/world.png: cannot write"},
        {[] { WorldPicture p("/nonexistent-dir/map.bmp"); }, "/nonexistent-dir/map.bmp: cannot read"},
        {[&] { picture.Draw(map, 0, 0, 15, 30, 4); }, "not a rectangle"},
        {[&] { picture.Draw(map, 3, 3, 2, 3, 4); }, "not a rectangle"},
        {[&] { picture.Draw(map, 0, 0, 1, 1, 3); }, "shrink 3 must be"},
    };
    for (const auto& c : kCases) EXPECT_NE(Message(c.action).find(c.message), std::string::npos) << c.message;
}
