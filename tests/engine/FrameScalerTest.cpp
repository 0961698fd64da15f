// The window scale for a desktop size, and the nearest-neighbour enlargement.
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/FrameScaler.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using EngineTest::ReadPixel;
using EngineTest::Rgb;

namespace {

struct ScaleCase {
    const char* name;
    int width;
    int height;
    int window;
    int fullscreen;
};

const ScaleCase kScaleCases[] = {
    {"unknown", 0, 0, 1, 1},
    {"smaller_than_frame", 800, 480, 1, 1},
    {"hd", 1366, 768, 1, 1},
    {"full_hd", 1920, 1080, 1, 2},
    {"full_hd_tall_panel_room", 1920, 1200, 2, 2},
    {"qhd", 2560, 1440, 2, 2},
    {"uhd", 3840, 2160, 3, 4},
    {"portrait", 1080, 1920, 2, 2},
    {"huge", 16384, 16384, 8, 8},
};

class ScaleChoice : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleChoice, FitsTheDesktop)
{
    const ScaleCase& c = GetParam();
    EXPECT_EQ(ChooseWindowScale(c.width, c.height), c.window);
    EXPECT_EQ(ChooseFullscreenScale(c.width, c.height), c.fullscreen);
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScaleChoice, ::testing::ValuesIn(kScaleCases),
                         [](const auto& info) { return std::string(info.param.name); });

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

SurfacePtr MakeSurface(int w, int h)
{
    return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0),
                      SDL_FreeSurface);
}

void Put(SDL_Surface* s, int x, int y, Rgb c)
{
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
    row[x] = SDL_MapRGB(s->format, c.r, c.g, c.b);
}

// A 3 × 2 picture with every pixel different.
Rgb SourceColour(int x, int y)
{
    return Rgb{static_cast<uint8_t>(40 + 60 * x), static_cast<uint8_t>(30 + 100 * y),
               static_cast<uint8_t>(7)};
}

class Enlarge : public ::testing::TestWithParam<int> {};

TEST_P(Enlarge, EverySourcePixelBecomesABlockOnBlack)
{
    const int n = GetParam();
    SurfacePtr source = MakeSurface(3, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            Put(source.get(), x, y, SourceColour(x, y));
        }
    }
    // Room around the enlarged picture: two pixels left and right, one above
    // and below, filled white so the letterbox must paint it.
    const int width = 3 * n + 4;
    const int height = 2 * n + 2;
    SurfacePtr target = MakeSurface(width, height);
    SDL_FillRect(target.get(), nullptr, SDL_MapRGB(target->format, 255, 255, 255));
    const FramePlacement place = PlaceFrame(width, height, 3, 2, n);
    ASSERT_EQ(place.x, 2);
    ASSERT_EQ(place.y, 1);
    FillLetterbox(target.get(), 3, 2, place);
    ASSERT_TRUE(ScaleFrame(source.get(), target.get(), place));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = x - place.x;
            const int sy = y - place.y;
            const bool inside = sx >= 0 && sy >= 0 && sx < 3 * n && sy < 2 * n;
            const Rgb expected = inside ? SourceColour(sx / n, sy / n) : Rgb();
            ASSERT_EQ(ReadPixel(target.get(), x, y), expected) << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, Enlarge, ::testing::Values(1, 2, 3, 5));

TEST(Enlarge, CutsOffWhatDoesNotFitAndRefusesOtherFormats)
{
    SurfacePtr source = MakeSurface(4, 4);
    SDL_FillRect(source.get(), nullptr, SDL_MapRGB(source->format, 9, 9, 9));
    SurfacePtr small = MakeSurface(5, 5);
    EXPECT_TRUE(ScaleFrame(source.get(), small.get(), FramePlacement{0, 0, 2}));
    EXPECT_EQ(ReadPixel(small.get(), 3, 3), (Rgb{9, 9, 9}));
    EXPECT_EQ(ReadPixel(small.get(), 4, 4), Rgb());

    SurfacePtr sixteen(SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 16, 0xF800, 0x7E0, 0x1F, 0),
                       SDL_FreeSurface);
    EXPECT_FALSE(ScaleFrame(source.get(), sixteen.get(), FramePlacement{0, 0, 2}));
}

}  // namespace
