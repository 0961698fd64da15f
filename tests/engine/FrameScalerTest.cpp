// The window scale for a desktop size, and the nearest-neighbour enlargement.
#include <gtest/gtest.h>

#include "engine/FrameScaler.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using namespace EngineTest;

namespace {

TEST(FrameScaler, WindowAndFullscreenScalesFitTheDesktop)
{
    const struct {
        int width, height, window, fullscreen;
    } cases[] = {
        {0, 0, 1, 1},       {800, 480, 1, 1},   {1366, 768, 1, 1},  {1920, 1080, 1, 2},   {1920, 1200, 2, 2},
        {2560, 1440, 2, 2}, {3840, 2160, 3, 4}, {1080, 1920, 2, 2}, {16384, 16384, 8, 8},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseWindowScale(c.width, c.height), c.window) << c.width << "x" << c.height;
        EXPECT_EQ(ChooseFullscreenScale(c.width, c.height), c.fullscreen) << c.width << "x" << c.height;
    }
}

// A 3 x 2 picture with every pixel different.
Rgb SourceColour(int x, int y)
{
    return Rgb{uint8_t(40 + 60 * x), uint8_t(30 + 100 * y), 7};
}

TEST(FrameScaler, EverySourcePixelBecomesABlockCentredOnBlack)
{
    SurfacePtr source = MakeSurface(3, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const Rgb c = SourceColour(x, y);
            SDL_Rect pixel{Sint16(x), Sint16(y), 1, 1};
            SDL_FillRect(source.get(), &pixel, SDL_MapRGB(source->format, c.r, c.g, c.b));
        }
    }
    for (int n : {1, 2, 3, 5}) {
        // Two pixels of room left and right, one above and below, painted
        // white so that the letterbox must paint it.
        const int width = 3 * n + 4, height = 2 * n + 2;
        SurfacePtr target = MakeSurface(width, height, Rgb{255, 255, 255});
        const FramePlacement place = PlaceFrame(width, height, 3, 2, n);
        ASSERT_EQ(place.x, 2);
        ASSERT_EQ(place.y, 1);
        FillLetterbox(target.get(), 3, 2, place);
        ASSERT_TRUE(ScaleFrame(source.get(), target.get(), place));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int sx = x - place.x, sy = y - place.y;
                const bool inside = sx >= 0 && sy >= 0 && sx < 3 * n && sy < 2 * n;
                ASSERT_EQ(ReadPixel(target.get(), x, y), inside ? SourceColour(sx / n, sy / n) : Rgb())
                    << "scale " << n << " at " << x << "," << y;
            }
        }
    }
}

TEST(FrameScaler, CutsOffWhatDoesNotFitAndRefusesOtherFormats)
{
    SurfacePtr source = MakeSurface(4, 4, Rgb{9, 9, 9});
    SurfacePtr small = MakeSurface(5, 5);
    EXPECT_TRUE(ScaleFrame(source.get(), small.get(), FramePlacement{0, 0, 2}));
    EXPECT_EQ(ReadPixel(small.get(), 3, 3), (Rgb{9, 9, 9}));
    EXPECT_EQ(ReadPixel(small.get(), 4, 4), Rgb());
    EXPECT_TRUE(
        ScaleFrame(source.get(), small.get(), FramePlacement{10, 0, 1}));  // wholly off: nothing to copy
    SurfacePtr sixteen(SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 16, 0xF800, 0x7E0, 0x1F, 0),
                       SDL_FreeSurface);
    EXPECT_FALSE(ScaleFrame(source.get(), sixteen.get(), FramePlacement{0, 0, 2}));
}

}  // namespace
