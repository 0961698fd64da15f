// RendererSDL without a screen: everything the game calls is a safe no-op.
#include <gtest/gtest.h>

#include "engine/QuillLogger.h"
#include "engine/RendererSDL.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;

namespace {

TEST(RendererWithoutScreen, DrawingDoesNothing)
{
    RendererSDL renderer;
    EXPECT_EQ(renderer.GetScreenSurface(), nullptr);
    Image image;
    image.width = 16;
    image.height = 16;
    SpriteType sprite;
    sprite.name = "Fake";
    sprite.sheet = &image;
    sprite.frameWidth = 16;
    sprite.frameHeight = 16;
    sprite.frameCount = 1;
    renderer.DrawSprite(&sprite, 0, 10, 10, -1, -1);
    renderer.DrawSprite(nullptr, 0, 0, 0, -1, -1);
    renderer.DrawTile(0, 0, 0, 0);
    renderer.DrawTile(-1, 5, 0, 0);
    renderer.DrawTile(99, 5, 0, 0);
    renderer.DrawImage(nullptr, 0, 0);
    renderer.DrawImage(&image, 0, 0);
    EXPECT_FALSE(renderer.ClearScreen());
    EXPECT_FALSE(renderer.PageFlip());
    EXPECT_EQ(renderer.FlipCount(), 0u);
    renderer.RenderFrame();
}

TEST(RendererWithoutScreen, FlipOverlayNeedsAScreen)
{
    RendererSDL renderer;
    int calls = 0;
    renderer.SetFlipOverlay([&calls] { ++calls; });
    EXPECT_TRUE(renderer.HasFlipOverlay());
    renderer.PageFlip();
    EXPECT_EQ(calls, 0);
    renderer.Shutdown();
    EXPECT_FALSE(renderer.HasFlipOverlay());
}

TEST(RendererWithoutScreen, StepFrameCounts)
{
    RendererSDL renderer;
    EXPECT_EQ(renderer.FrameNumber(), 0u);
    renderer.StepFrame();
    renderer.StepFrame();
    EXPECT_EQ(renderer.FrameNumber(), 2u);
}

TEST(RendererWithoutScreen, SpriteSwitchIsRemembered)
{
    RendererSDL renderer;
    EXPECT_TRUE(renderer.SpritesEnabled());
    renderer.RenderSprites(false);
    EXPECT_FALSE(renderer.SpritesEnabled());
}

TEST(RendererWithoutScreen, ScreenshotFailsWithALogLine)
{
    EngineTest::TempDir dir;
    RendererSDL renderer;
    const std::string path = dir.File("shot.bmp");
    EXPECT_FALSE(renderer.SaveScreenshot(path.c_str()));
    EXPECT_TRUE(Logger()->Contains(path));
    EXPECT_FALSE(renderer.SaveScreenshot(nullptr));
}

TEST(RendererWithoutScreen, UnknownSpriteIsLoggedOncePerName)
{
    RendererSDL renderer;
    Logger()->ClearRecent();
    EXPECT_EQ(renderer.GetSpriteType("Nobody"), nullptr);
    EXPECT_EQ(renderer.GetSpriteType("Nobody"), nullptr);
    EXPECT_EQ(renderer.GetSpriteType("Ghost"), nullptr);
    EXPECT_EQ(renderer.GetSpriteType(nullptr), nullptr);
    EXPECT_EQ(EngineTest::CountLogLines("unknown sprite Nobody"), 1);
    EXPECT_EQ(EngineTest::CountLogLines("unknown sprite Ghost"), 1);
}

TEST(RendererWithoutScreen, MissingSpriteDefIsLoggedWithItsName)
{
    EngineTest::TempDir dir;
    RendererSDL renderer;
    const std::string path = dir.File("sprite.def");
    EXPECT_FALSE(renderer.LoadSpriteDef(path.c_str()));
    EXPECT_TRUE(Logger()->Contains("cannot open " + path));
    EXPECT_FALSE(renderer.LoadSpriteDef(nullptr));
    EXPECT_EQ(renderer.SpriteCount(), 0u);
}

TEST(RendererWithoutScreen, MissingImageIsLoggedWithItsName)
{
    EngineTest::TempDir dir;
    RendererSDL renderer;
    const std::string path = dir.File("nothing.bmp");
    EXPECT_EQ(renderer.LoadImage(path.c_str()), nullptr);
    EXPECT_TRUE(Logger()->Contains("LoadImage: cannot load " + path));
    EXPECT_EQ(renderer.LoadImage(nullptr), nullptr);
}

TEST(RendererWithoutScreen, NotABitmapIsLoggedNotLoaded)
{
    EngineTest::TempDir dir;
    RendererSDL renderer;
    const std::string path = dir.Write("fake.bmp", "BM but not really a bitmap");
    EXPECT_EQ(renderer.LoadImage(path.c_str()), nullptr);
    EXPECT_TRUE(Logger()->Contains("LoadImage: cannot load " + path));
}

TEST(RendererWithoutScreen, TileSheetQueriesOutOfRange)
{
    RendererSDL renderer;
    for (int sheet : {-1, 0, 3, 4}) {
        EXPECT_FALSE(renderer.HasTileSheet(sheet));
        EXPECT_EQ(renderer.TileCount(sheet), 0);
    }
}

}  // namespace
