// RendererSDL without a screen: everything the game calls is a safe no-op.
#include <gtest/gtest.h>

#include "engine/QuillLogger.h"
#include "engine/RendererSDL.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;

namespace {

TEST(RendererWithoutScreen, DrawingFlippingAndQueriesAreSafeNoOps)
{
    RendererSDL renderer;
    EXPECT_EQ(renderer.GetScreenSurface(), nullptr);
    Image image;
    image.width = image.height = 16;
    SpriteType sprite;
    sprite.name = "Fake";
    sprite.sheet = &image;
    sprite.frameWidth = sprite.frameHeight = 16;
    sprite.frameCount = 1;
    renderer.DrawSprite(&sprite, 0, 10, 10, -1, -1);
    renderer.DrawSprite(nullptr, 0, 0, 0, -1, -1);
    for (int sheet : {-1, 0, 3, 4, 99}) {
        renderer.DrawTile(sheet, 5, 0, 0);
        EXPECT_FALSE(renderer.HasTileSheet(sheet));
        EXPECT_EQ(renderer.TileCount(sheet), 0);
    }
    renderer.DrawImage(nullptr, 0, 0);
    renderer.DrawImage(&image, 0, 0);
    EXPECT_FALSE(renderer.ClearScreen());
    int overlays = 0;
    renderer.SetFlipOverlay([&overlays] { ++overlays; });
    EXPECT_FALSE(renderer.PageFlip());
    EXPECT_EQ(overlays, 0);
    EXPECT_EQ(renderer.FlipCount(), 0u);
    renderer.RenderFrame();
    renderer.StepFrame();
    EXPECT_EQ(renderer.FrameNumber(), 1u);
    EXPECT_TRUE(renderer.SpritesEnabled());
    renderer.RenderSprites(false);
    EXPECT_FALSE(renderer.SpritesEnabled());
    renderer.Shutdown();
    EXPECT_FALSE(renderer.HasFlipOverlay());
}

TEST(RendererWithoutScreen, FailuresAreLoggedWithTheirNames)
{
    TempDir dir;
    RendererSDL renderer;
    Logger()->ClearRecent();
    const std::string shot = dir.File("shot.bmp");
    EXPECT_FALSE(renderer.SaveScreenshot(shot.c_str()));
    EXPECT_TRUE(Logger()->Contains(shot));
    EXPECT_FALSE(renderer.SaveScreenshot(nullptr));

    for (const char* name : {"Nobody", "Nobody", "Ghost"}) EXPECT_EQ(renderer.GetSpriteType(name), nullptr);
    EXPECT_EQ(renderer.GetSpriteType(nullptr), nullptr);
    EXPECT_EQ(EngineTest::CountLogLines("unknown sprite Nobody"), 1) << "once per name";
    EXPECT_EQ(EngineTest::CountLogLines("unknown sprite Ghost"), 1);

    const std::string def = dir.File("sprite.def");
    EXPECT_FALSE(renderer.LoadSpriteDef(def.c_str()));
    EXPECT_TRUE(Logger()->Contains("cannot open " + def));
    EXPECT_FALSE(renderer.LoadSpriteDef(nullptr));
    EXPECT_EQ(renderer.SpriteCount(), 0u);

    for (const std::string& image :
         {dir.File("nothing.bmp"), dir.Write("fake.bmp", "BM but not really a bitmap")}) {
        EXPECT_EQ(renderer.LoadImage(image.c_str()), nullptr);
        EXPECT_TRUE(Logger()->Contains("LoadImage: cannot load " + image));
    }
    EXPECT_EQ(renderer.LoadImage(nullptr), nullptr);
}

}  // namespace
