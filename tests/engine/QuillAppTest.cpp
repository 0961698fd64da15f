// The engine's application loop, run headless with recording game parts.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "engine/MessageBanner.h"
#include "engine/QuillApp.h"
#include "engine/QuillLogger.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using EngineTest::ReadPixel;
using EngineTest::Rgb;

namespace {

const Rgb kMarker{250, 10, 10};
const Rgb kBannerBox{16, 16, 40};
const Rgb kOverlay{10, 250, 10};

class RecordingRenderer : public RendererSDL {
public:
    void RenderFrame() override
    {
        ++renderFrames;
        ClearScreen();
        SDL_Rect marker{0, 0, 8, 8};
        SDL_FillRect(screen, &marker, SDL_MapRGB(screen->format, kMarker.r, kMarker.g, kMarker.b));
        // As the game's renderer does: overlay, frame count, flip.
        g_quill->RenderOverlay();
        StepFrame();
        if (flipsItself) {
            PageFlip();
        }
    }

    bool PageFlip() override
    {
        bool ok = RendererSDL::PageFlip();
        if (screen) {
            BannerLayout layout = LayoutMessageBanner(screen->w, screen->h, "x");
            bannerShown.push_back(ReadPixel(screen, layout.x, layout.y) == kBannerBox);
            overlayShown.push_back(ReadPixel(screen, screen->w - 1, 0) == kOverlay);
        }
        return ok;
    }

    bool flipsItself = true;
    int renderFrames = 0;
    std::vector<bool> bannerShown;
    std::vector<bool> overlayShown;
};

class RecordingApp : public CQuillApp {
public:
    bool Initialize() override
    {
        ++initializeCalls;
        Logger()->Log("recording app initializing");
        if (!InitInputSystem(INPUT_KEYBOARD) || !initializeResult) {
            return false;
        }
        if (makeRenderer) {
            auto r = std::make_unique<RecordingRenderer>();
            if (!r->Initialize(nullptr, GetVideoMode(), 0)) {
                return false;
            }
            recorder = r.get();
            recorder->flipsItself = rendererFlips;
            SetRenderer(std::move(r));
        }
        return true;
    }

    void Update() override
    {
        const unsigned frame = FramesRun();
        ++updateCalls;
        rightHeld.push_back(GetInputSystem()->IsKeyDown(Key::Right));
        timeKeys.push_back(GetTimeKey());
        ticks.push_back(GetPreciseTicks());
        if (static_cast<int>(frame) == messageAtFrame) {
            Message("Found %d coins", 5);
        }
        if (static_cast<int>(frame) == quitAtFrame) {
            RequestQuit();
        }
        for (const auto& push : pushes) {
            if (std::get<0>(push) == frame) {
                SDL_Event event;
                std::memset(&event, 0, sizeof event);
                event.type = std::get<1>(push);
                event.key.type = std::get<1>(push);
                event.key.state = std::get<1>(push) == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
                event.key.keysym.sym = static_cast<SDLKey>(std::get<2>(push));
                SDL_PushEvent(&event);
            }
        }
    }

    void RenderOverlay() override
    {
        ++overlayCalls;
        if (SDL_Surface* s = GetBaseRenderer()->GetScreenSurface()) {
            SDL_Rect corner{static_cast<Sint16>(s->w - 1), 0, 1, 1};
            SDL_FillRect(s, &corner, SDL_MapRGB(s->format, kOverlay.r, kOverlay.g, kOverlay.b));
        }
    }

    void OnEvent(int event, int param) override { events.emplace_back(FramesRun(), event, param); }

    bool Shutdown() override
    {
        ++shutdownCalls;
        return CQuillApp::Shutdown();
    }

    bool initializeResult = true;
    bool makeRenderer = true;
    bool rendererFlips = true;
    int messageAtFrame = -1;
    int quitAtFrame = -1;
    // (frame, SDL event type, key) pushed into SDL's queue during Update.
    std::vector<std::tuple<unsigned, int, int>> pushes;

    int initializeCalls = 0;
    int updateCalls = 0;
    int overlayCalls = 0;
    int shutdownCalls = 0;
    std::vector<bool> rightHeld;
    std::vector<float> timeKeys;
    std::vector<double> ticks;
    std::vector<std::tuple<unsigned, int, int>> events;
    RecordingRenderer* recorder = nullptr;
};

LaunchContext Context(int width, int height)
{
    LaunchContext context;
    std::memset(&context, 0, sizeof context);
    std::strcpy(context.title, "Engine Test");
    context.width = width;
    context.height = height;
    return context;
}

RunOptions Headless(unsigned frames)
{
    RunOptions options;
    options.headless = true;
    options.fixedStep = true;
    options.fastClock = true;
    options.frames = frames;
    options.logFile = "";
    return options;
}

TEST(QuillApp, HeadlessScriptedRunCallsTheGameEveryFrame)
{
    EngineTest::TempDir dir;
    RunOptions options = Headless(5);
    options.inputScript = dir.Write("keys.txt", "1-2 right\n3 up\n");
    options.screenshot = dir.File("last.bmp");
    RecordingApp app;
    app.SetRunOptions(options);
    LaunchContext context = Context(160, 120);
    ASSERT_TRUE(app.Launch(&context));

    EXPECT_EQ(app.initializeCalls, 1);
    EXPECT_EQ(app.updateCalls, 5);
    EXPECT_EQ(app.shutdownCalls, 1);
    EXPECT_EQ(app.FramesRun(), 5u);
    ASSERT_NE(app.recorder, nullptr);
    EXPECT_EQ(app.recorder->renderFrames, 5);
    EXPECT_EQ(app.recorder->FrameNumber(), 5u);
    EXPECT_EQ(app.recorder->FlipCount(), 5u);
    EXPECT_EQ(app.overlayCalls, 5);
    EXPECT_EQ(app.rightHeld, (std::vector<bool>{false, true, true, false, false}));
    EXPECT_TRUE(app.events.empty());  // game events are the game's own
    for (float t : app.timeKeys) {
        EXPECT_FLOAT_EQ(t, 1.0f / 60.0f);
    }
    // The fast clock moves one frame per frame, and never waits after the last.
    ASSERT_EQ(app.ticks.size(), 5u);
    for (size_t i = 0; i < app.ticks.size(); ++i) {
        EXPECT_NEAR(app.ticks[i], i * 1000.0 / 60.0, 1e-6) << i;
    }
    EXPECT_NEAR(app.GetPreciseTicks(), 4 * 1000.0 / 60.0, 1e-6);

    SDL_Surface* shot = SDL_LoadBMP(options.screenshot.c_str());
    ASSERT_NE(shot, nullptr) << options.screenshot;
    EXPECT_EQ(shot->w, 160);
    EXPECT_EQ(shot->h, 120);
    EXPECT_EQ(ReadPixel(shot, 3, 3), kMarker);
    EXPECT_EQ(ReadPixel(shot, 159, 0), kOverlay);
    EXPECT_EQ(ReadPixel(shot, 80, 60), Rgb());
    SDL_FreeSurface(shot);
    EXPECT_EQ(app.recorder->GetScreenSurface(), nullptr);  // shut down
}

TEST(QuillApp, FramesTheGameDidNotFlipAreFlippedWithTheBanner)
{
    RecordingApp app;
    app.rendererFlips = false;
    app.messageAtFrame = 0;
    app.SetRunOptions(Headless(3));
    LaunchContext context = Context(128, 96);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.recorder->FlipCount(), 3u);
    EXPECT_EQ(app.recorder->bannerShown, (std::vector<bool>{true, true, true}));
}

TEST(QuillApp, DefaultWindowIs512Square)
{
    RecordingApp app;
    app.SetRunOptions(Headless(1));
    LaunchContext context = Context(0, 0);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.GetVideoMode()->width, 512);
    EXPECT_EQ(app.GetVideoMode()->height, 512);
    EXPECT_EQ(app.updateCalls, 1);
}

TEST(QuillApp, FailedInitializeFailsLaunch)
{
    Logger()->ClearRecent();
    RecordingApp app;
    app.initializeResult = false;
    app.SetRunOptions(Headless(5));
    LaunchContext context = Context(64, 64);
    EXPECT_FALSE(app.Launch(&context));
    EXPECT_EQ(app.initializeCalls, 1);
    EXPECT_EQ(app.updateCalls, 0);
    EXPECT_EQ(app.shutdownCalls, 1);
    EXPECT_TRUE(Logger()->Contains("Initialize failed"));
}

TEST(QuillApp, BadKeyScriptFailsInitializeNamingTheFile)
{
    EngineTest::TempDir dir;
    Logger()->ClearRecent();
    RunOptions options = Headless(5);
    options.inputScript = dir.Write("bad.txt", "0 right\n1 warp\n");
    RecordingApp app;
    app.SetRunOptions(options);
    LaunchContext context = Context(64, 64);
    EXPECT_FALSE(app.Launch(&context));
    EXPECT_TRUE(Logger()->Contains(options.inputScript + ": line 2: unknown key 'warp'"));

    options.inputScript = dir.File("absent.txt");
    RecordingApp second;
    second.SetRunOptions(options);
    EXPECT_FALSE(second.Launch(&context));
    EXPECT_TRUE(Logger()->Contains("cannot open " + options.inputScript));
}

TEST(QuillApp, RequestQuitEndsTheLoopAfterTheFrame)
{
    RecordingApp app;
    app.quitAtFrame = 2;
    app.SetRunOptions(Headless(0));
    LaunchContext context = Context(64, 64);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.updateCalls, 3);
    EXPECT_EQ(app.shutdownCalls, 1);
}

TEST(QuillApp, KeyboardEventsFeedThePlainInputSystem)
{
    RecordingApp app;
    app.pushes = {{0, SDL_KEYDOWN, Key::Right}, {2, SDL_KEYUP, Key::Right}};
    app.SetRunOptions(Headless(5));
    LaunchContext context = Context(64, 64);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.rightHeld, (std::vector<bool>{false, true, true, false, false}));
    EXPECT_TRUE(app.events.empty());
}

TEST(QuillApp, EscapeEndsTheLoop)
{
    RecordingApp app;
    app.pushes = {{1, SDL_KEYDOWN, Key::Escape}};
    app.SetRunOptions(Headless(0));
    LaunchContext context = Context(64, 64);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.updateCalls, 2);
}

TEST(QuillApp, ScriptedInputIgnoresTheKeyboard)
{
    EngineTest::TempDir dir;
    RunOptions options = Headless(3);
    options.inputScript = dir.Write("keys.txt", "2 up\n");
    RecordingApp app;
    app.pushes = {{0, SDL_KEYDOWN, Key::Right}};
    app.SetRunOptions(options);
    LaunchContext context = Context(64, 64);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.rightHeld, (std::vector<bool>{false, false, false}));
}

TEST(QuillApp, MessageShowsInTheWindowForAboutFourSeconds)
{
    Logger()->ClearRecent();
    RecordingApp app;
    app.messageAtFrame = 0;
    app.SetRunOptions(Headless(300));
    LaunchContext context = Context(256, 200);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.CurrentMessage(), "Found 5 coins");
    EXPECT_TRUE(Logger()->Contains("Found 5 coins"));
    const std::vector<bool>& shown = app.recorder->bannerShown;
    ASSERT_EQ(shown.size(), 300u);
    for (size_t frame = 0; frame < 235; ++frame) {
        ASSERT_TRUE(shown[frame]) << frame;
    }
    for (size_t frame = 245; frame < shown.size(); ++frame) {
        ASSERT_FALSE(shown[frame]) << frame;
    }
    for (bool overlay : app.recorder->overlayShown) {
        ASSERT_TRUE(overlay);
    }
}

TEST(QuillApp, MessageWithoutAWindowIsOnlyLogged)
{
    RecordingApp app;
    app.Message("no window yet %s", "here");
    EXPECT_TRUE(Logger()->Contains("no window yet here"));
    EXPECT_EQ(app.CurrentMessage(), "no window yet here");
}

TEST(QuillApp, RunsWithoutARenderer)
{
    EngineTest::TempDir dir;
    Logger()->ClearRecent();
    RunOptions options = Headless(4);
    options.screenshot = dir.File("none.bmp");
    RecordingApp app;
    app.makeRenderer = false;
    app.SetRunOptions(options);
    LaunchContext context = Context(64, 64);
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.updateCalls, 4);
    EXPECT_EQ(app.overlayCalls, 0);
    EXPECT_TRUE(Logger()->Contains("screenshot " + options.screenshot + " not written"));
}

TEST(QuillApp, FrameStatsAndLogFile)
{
    EngineTest::TempDir dir;
    RunOptions options = Headless(3);
    options.frameStats = true;
    options.logFile = dir.File("run.log");
    RecordingApp app;
    app.SetRunOptions(options);
    LaunchContext context = Context(64, 64);
    ASSERT_TRUE(app.Launch(&context));
    Logger()->OpenFile("");
    EXPECT_TRUE(Logger()->Contains("frame stats: frames 3 interval mean"));
    EXPECT_TRUE(Logger()->Contains("frame stats: cpu "));
    const std::string text = EngineTest::ReadWholeFile(options.logFile);
    EXPECT_NE(text.find("recording app initializing"), std::string::npos);
    EXPECT_NE(text.find("frame stats: frames 3"), std::string::npos);
}

TEST(QuillApp, MeasuredStepsStayWithinBounds)
{
    RunOptions options = Headless(3);
    options.fixedStep = false;
    options.fastClock = false;
    RecordingApp app;
    app.SetRunOptions(options);
    LaunchContext context = Context(64, 64);
    ASSERT_TRUE(app.Launch(&context));
    ASSERT_EQ(app.timeKeys.size(), 3u);
    EXPECT_FLOAT_EQ(app.timeKeys[0], 1.0f / 60.0f);
    for (float t : app.timeKeys) {
        EXPECT_GE(t, 0.0f);
        EXPECT_LE(t, 0.1f);
    }
    // The clock was waited on between frames, so each step is at least a frame.
    EXPECT_GE(app.ticks[2] - app.ticks[0], 1000.0 / 60.0);
}

TEST(QuillApp, GlobalPointsAtTheLiveApp)
{
    {
        RecordingApp app;
        EXPECT_EQ(g_quill, &app);
        {
            RecordingApp inner;
            EXPECT_EQ(g_quill, &inner);
        }
        EXPECT_EQ(g_quill, nullptr);
    }
    EXPECT_EQ(g_quill, nullptr);
}

TEST(QuillApp, InputSystemWithoutScriptIsPlain)
{
    RecordingApp app;
    app.SetRunOptions(Headless(1));
    ASSERT_TRUE(app.InitInputSystem(INPUT_KEYBOARD));
    ASSERT_NE(app.GetInputSystem(), nullptr);
    EXPECT_EQ(dynamic_cast<ScriptedInput*>(app.GetInputSystem()), nullptr);
}

}  // namespace
