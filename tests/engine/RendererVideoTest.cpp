// RendererSDL with SDL's dummy video driver: loading and real drawing.
#include <gtest/gtest.h>

#include "engine/QuillLogger.h"
#include "engine/RendererSDL.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using namespace EngineTest;

namespace {

const Rgb kBackground{60, 60, 60};
const Rgb kMagenta{255, 0, 255};
const Rgb kFrameColours[3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}};

Rgb TileColour(int tile)
{
    return Rgb{uint8_t(10 + tile * 40), 100, 50};
}

class RendererVideo : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Three 8x8 frames with a transparent pixel at (1, 1) of each.
        ASSERT_TRUE(WriteBmp(dir.File("hero.bmp"), 24, 8, [](int x, int y) {
            return (x % 8 == 1 && y == 1) ? kMagenta : kFrameColours[x / 8];
        }));
        // Four 8x8 tiles, two per row.
        ASSERT_TRUE(WriteBmp(dir.File("tiles.bmp"), 16, 16,
                             [](int x, int y) { return TileColour((y / 8) * 2 + x / 8); }));
        VideoRes mode;
        mode.width = 64;
        mode.height = 48;
        ASSERT_TRUE(renderer.Initialize(nullptr, &mode, 0)) << SDL_GetError();
        screen = renderer.GetScreenSurface();
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(screen->w, 64);
        ASSERT_EQ(screen->h, 48);
    }

    void TearDown() override { renderer.Shutdown(); }

    std::string WriteDef(const std::string& text) { return dir.Write("sprite.def", text); }

    void LoadGoodDef()
    {
        ASSERT_TRUE(renderer.LoadSpriteDef(
            WriteDef("sprite Hero hero.bmp 8 8 3\ntilesheet 0 tiles.bmp 8 8\n").c_str()));
        hero = renderer.GetSpriteType("Hero");
        ASSERT_NE(hero, nullptr);
        FillSurface(screen, kBackground);
    }

    TempDir dir;
    RendererSDL renderer;
    SDL_Surface* screen = nullptr;
    SpriteType* hero = nullptr;
};

TEST_F(RendererVideo, LoadsSpritesAndTileSheetsAndReloadsInPlace)
{
    LoadGoodDef();
    EXPECT_EQ(hero->name, "Hero");
    EXPECT_EQ(hero->frameWidth, 8);
    EXPECT_EQ(hero->frameHeight, 8);
    EXPECT_EQ(hero->frameCount, 3);
    ASSERT_NE(hero->sheet, nullptr);
    EXPECT_EQ(hero->sheet->width, 24);
    EXPECT_EQ(hero->sheet->height, 8);
    EXPECT_EQ(hero->sheet->file, dir.File("hero.bmp"));
    EXPECT_EQ(renderer.SpriteCount(), 1u);
    EXPECT_TRUE(renderer.HasTileSheet(0));
    EXPECT_EQ(renderer.TileCount(0), 4);
    EXPECT_FALSE(renderer.HasTileSheet(1));
    // The game keeps sprite pointers, so a reload must not move them.
    ASSERT_TRUE(renderer.LoadSpriteDef(WriteDef("sprite Hero hero.bmp 8 4 2\n").c_str()));
    EXPECT_EQ(renderer.GetSpriteType("Hero"), hero);
    EXPECT_EQ(hero->frameHeight, 4);
    EXPECT_EQ(hero->frameCount, 2);
}

TEST_F(RendererVideo, BadEntriesAreLoggedAndGoodOnesKept)
{
    Logger()->ClearRecent();
    const std::string def = WriteDef(
        "sprite Hero hero.bmp 8 8 3\n"
        "sprite Ghost ghost.bmp 8 8 1\n"
        "sprite Greedy hero.bmp 8 8 4\n"
        "sprite Tall hero.bmp 8 9 1\n"
        "tilesheet 1 missing_tiles.bmp 8 8\n"
        "tilesheet 2 tiles.bmp 32 8\n"
        "tilesheet 0 tiles.bmp 8 8\n"
        "frobnicate\n");
    EXPECT_FALSE(renderer.LoadSpriteDef(def.c_str()));
    EXPECT_NE(renderer.GetSpriteType("Hero"), nullptr);
    for (const char* bad : {"Ghost", "Greedy", "Tall"})
        EXPECT_EQ(renderer.GetSpriteType(bad), nullptr) << bad;
    EXPECT_TRUE(renderer.HasTileSheet(0));
    EXPECT_FALSE(renderer.HasTileSheet(1));
    EXPECT_FALSE(renderer.HasTileSheet(2));
    for (const std::string& line :
         {"LoadImage: cannot load " + dir.File("ghost.bmp"), def + ":2: sprite Ghost",
          def + ":3: sprite Greedy needs 32x8 pixels for 4 frames", def + ":4: sprite Tall",
          dir.File("missing_tiles.bmp"), def + ":6: tile sheet 2", def + ":8: unknown keyword 'frobnicate'"})
        EXPECT_TRUE(Logger()->Contains(line)) << line;
}

TEST_F(RendererVideo, DrawTilePutsTheTileAtThePositionAndIgnoresUnknownOnes)
{
    LoadGoodDef();
    renderer.DrawTile(0, 4, 0, 0);
    renderer.DrawTile(0, -1, 0, 0);
    renderer.DrawTile(1, 0, 0, 0);
    renderer.DrawTile(7, 0, 0, 0);
    EXPECT_EQ(ReadPixel(screen, 0, 0), kBackground);
    EXPECT_EQ(ReadPixel(screen, 15, 15), kBackground);
    renderer.DrawTile(0, 3, 20, 30);
    renderer.DrawTile(0, 1, 0, 0);
    const struct {
        int x, y;
        Rgb colour;
    } probes[] = {{20, 30, TileColour(3)}, {27, 37, TileColour(3)}, {19, 30, kBackground},
                  {28, 30, kBackground},   {20, 38, kBackground},   {0, 0, TileColour(1)},
                  {7, 7, TileColour(1)},   {8, 8, kBackground}};
    for (const auto& p : probes) EXPECT_EQ(ReadPixel(screen, p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST_F(RendererVideo, MagentaInTilesIsTransparentAndOnlyImagesWithMagentaAreKeyed)
{
    ASSERT_TRUE(WriteBmp(dir.File("overlay.bmp"), 8, 8, [](int x, int y) {
        return (x < 2 && y < 2) ? kMagenta : Rgb{5, 6, 7};
    }));
    ASSERT_TRUE(renderer.LoadSpriteDef(
        WriteDef("sprite Hero hero.bmp 8 8 3\ntilesheet 0 tiles.bmp 8 8\ntilesheet 2 overlay.bmp 8 8\n")
            .c_str()));
    FillSurface(screen, kBackground);
    renderer.DrawTile(2, 0, 4, 4);
    EXPECT_EQ(ReadPixel(screen, 4, 4), kBackground);
    EXPECT_EQ(ReadPixel(screen, 5, 5), kBackground);
    EXPECT_EQ(ReadPixel(screen, 6, 4), (Rgb{5, 6, 7}));
    EXPECT_EQ(ReadPixel(screen, 11, 11), (Rgb{5, 6, 7}));
    // Keying an image with no magenta would only slow its blits down.
    EXPECT_NE(renderer.LoadImage(dir.File("overlay.bmp").c_str())->surface->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_NE(renderer.GetSpriteType("Hero")->sheet->surface->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_EQ(renderer.LoadImage(dir.File("tiles.bmp").c_str())->surface->flags & SDL_SRCCOLORKEY, 0u);
}

TEST_F(RendererVideo, DrawSpriteDrawsTheFramePartOfItOrNothing)
{
    LoadGoodDef();
    const Rgb bg = kBackground;
    const Rgb* f = kFrameColours;
    struct Probe {
        int x, y;
        Rgb colour;
    };
    const struct {
        const char* what;
        int frame, x, y, rows, columns;
        std::vector<Probe> probes;
    } cases[] = {
        {"whole frame, magenta left out",
         1,
         10,
         12,
         -1,
         -1,
         {{10, 12, f[1]}, {17, 19, f[1]}, {11, 13, bg}, {18, 12, bg}, {10, 20, bg}}},
        {"top rows", 0, 0, 0, 3, -1, {{0, 0, f[0]}, {7, 2, f[0]}, {0, 3, bg}, {7, 7, bg}}},
        {"left columns", 2, 0, 0, -1, 5, {{4, 0, f[2]}, {4, 7, f[2]}, {5, 0, bg}}},
        {"clipped top left", 0, -4, -4, -1, -1, {{0, 0, f[0]}, {3, 3, f[0]}, {4, 4, bg}}},
        {"clipped bottom right", 1, 60, 44, -1, -1, {{63, 47, f[1]}, {59, 43, bg}}},
        {"zero rows", 0, 0, 0, 0, -1, {{0, 0, bg}, {7, 7, bg}}},
        {"zero columns", 0, 0, 0, -1, 0, {{0, 0, bg}, {7, 7, bg}}},
        {"no such frame", 3, 0, 0, -1, -1, {{0, 0, bg}, {7, 7, bg}}},
        {"negative frame", -1, 0, 0, -1, -1, {{0, 0, bg}, {7, 7, bg}}},
        {"far off", 0, 40000, 40000, -1, -1, {{63, 47, bg}}},
        {"far off before", 0, -40000, -40000, -1, -1, {{0, 0, bg}}},
    };
    for (const auto& c : cases) {
        FillSurface(screen, bg);
        renderer.DrawSprite(hero, c.frame, c.x, c.y, c.rows, c.columns);
        for (const Probe& p : c.probes) EXPECT_EQ(ReadPixel(screen, p.x, p.y), p.colour) << c.what;
    }
    FillSurface(screen, bg);
    renderer.RenderSprites(false);
    renderer.DrawSprite(hero, 0, 0, 0, -1, -1);
    EXPECT_EQ(ReadPixel(screen, 0, 0), bg) << "the sprite layer is off";
    renderer.RenderSprites(true);
    renderer.DrawSprite(hero, 0, 0, 0, -1, -1);
    EXPECT_EQ(ReadPixel(screen, 0, 0), f[0]);
}

TEST_F(RendererVideo, ImagesClearingAndFlipping)
{
    FillSurface(screen, kBackground);
    Image* tiles = renderer.LoadImage(dir.File("tiles.bmp").c_str());
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(renderer.LoadImage(dir.File("tiles.bmp").c_str()), tiles);
    EXPECT_EQ(tiles->width, 16);
    renderer.DrawImage(tiles, 30, 20);
    EXPECT_EQ(ReadPixel(screen, 30, 20), TileColour(0));
    EXPECT_EQ(ReadPixel(screen, 45, 35), TileColour(3));
    EXPECT_EQ(ReadPixel(screen, 46, 35), kBackground);
    renderer.DrawImage(nullptr, 0, 0);

    EXPECT_TRUE(renderer.ClearScreen());
    EXPECT_EQ(ReadPixel(screen, 0, 0), Rgb());
    EXPECT_EQ(ReadPixel(screen, 63, 47), Rgb());

    renderer.SetFlipOverlay([this] { FillSurface(screen, Rgb{1, 2, 3}); });
    EXPECT_TRUE(renderer.PageFlip());
    EXPECT_EQ(renderer.FlipCount(), 1u);
    EXPECT_EQ(ReadPixel(screen, 5, 5), (Rgb{1, 2, 3})) << "the overlay runs before the flip";
}

TEST_F(RendererVideo, ScreenshotWritesABitmapOfTheScreen)
{
    LoadGoodDef();
    renderer.DrawTile(0, 2, 8, 8);
    const std::string path = dir.File("shot.bmp");
    ASSERT_TRUE(renderer.SaveScreenshot(path.c_str()));
    SurfacePtr shot(SDL_LoadBMP(path.c_str()), SDL_FreeSurface);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 64);
    EXPECT_EQ(shot->h, 48);
    EXPECT_EQ(ReadPixel(shot.get(), 8, 8), TileColour(2));
    EXPECT_EQ(ReadPixel(shot.get(), 0, 0), kBackground);
    EXPECT_FALSE(renderer.SaveScreenshot((dir.Path() + "/no/such/dir/x.bmp").c_str()));
}

TEST_F(RendererVideo, ShutdownForgetsScreenAndSprites)
{
    LoadGoodDef();
    renderer.Shutdown();
    EXPECT_EQ(renderer.GetScreenSurface(), nullptr);
    EXPECT_EQ(renderer.SpriteCount(), 0u);
    EXPECT_FALSE(renderer.HasTileSheet(0));
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_VIDEO));
    renderer.DrawTile(0, 0, 0, 0);
    renderer.Shutdown();
}

TEST(RendererVideoOwnership, LeavesVideoRunningWhenItDidNotStartItAndDrawsEarlyImages)
{
    TempDir dir;
    ASSERT_TRUE(WriteBmp(dir.File("red.bmp"), 4, 4, [](int, int) { return Rgb{255, 0, 0}; }));
    {
        RendererSDL renderer;
        Image* red = renderer.LoadImage(dir.File("red.bmp").c_str());  // before there is a screen
        ASSERT_NE(red, nullptr);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_TRUE(renderer.Initialize(nullptr, nullptr, 0));
        EXPECT_EQ(renderer.GetScreenSurface()->w, 512);  // the default window
        EXPECT_EQ(renderer.GetScreenSurface()->h, 512);
        renderer.ClearScreen();
        renderer.DrawImage(red, 2, 2);
        EXPECT_EQ(ReadPixel(renderer.GetScreenSurface(), 2, 2), (Rgb{255, 0, 0}));
        EXPECT_EQ(ReadPixel(renderer.GetScreenSurface(), 6, 2), Rgb());
        renderer.Shutdown();
        EXPECT_TRUE(SDL_WasInit(SDL_INIT_VIDEO));
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
