// The engine's application loop, run headless with recording game parts.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/MessageBanner.h"
#include "engine/QuillApp.h"
#include "engine/QuillLogger.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;
using namespace EngineTest;

namespace {

const Rgb kMarker{250, 10, 10};
const Rgb kBannerBox{16, 16, 40};
const Rgb kOverlay{10, 250, 10};

class RecordingRenderer : public RendererSDL {
public:
    void RenderFrame() override
    {
        ClearScreen();
        SDL_Rect marker{0, 0, 8, 8};
        SDL_FillRect(screen, &marker, SDL_MapRGB(screen->format, kMarker.r, kMarker.g, kMarker.b));
        // As the game's renderer does: overlay, frame count, flip.
        g_quill->RenderOverlay();
        StepFrame();
        if (flipsItself)
            PageFlip();
    }

    bool PageFlip() override
    {
        const bool ok = RendererSDL::PageFlip();
        if (screen) {
            BannerLayout layout = LayoutMessageBanner(screen->w, screen->h, "x");
            bannerShown.push_back(ReadPixel(screen, layout.x, layout.y) == kBannerBox);
            overlayShown.push_back(ReadPixel(screen, screen->w - 1, 0) == kOverlay);
        }
        return ok;
    }

    bool flipsItself = true;
    std::vector<bool> bannerShown, overlayShown;
};

class RecordingApp : public CQuillApp {
public:
    bool Initialize() override
    {
        ++initializeCalls;
        Logger()->Log("recording app initializing");
        if (!InitInputSystem(INPUT_KEYBOARD) || !initializeResult)
            return false;
        if (makeRenderer) {
            auto r = std::make_unique<RecordingRenderer>();
            if (!r->Initialize(nullptr, GetVideoMode(), 0))
                return false;
            recorder = r.get();
            recorder->flipsItself = rendererFlips;
            SetRenderer(std::move(r));
        }
        return true;
    }

    void Update() override
    {
        const int frame = int(FramesRun());
        ++updateCalls;
        rightHeld.push_back(GetInputSystem()->IsKeyDown(Key::Right));
        timeKeys.push_back(GetTimeKey());
        ticks.push_back(GetPreciseTicks());
        if (frame == messageAtFrame)
            Message("Found %d coins", 5);
        if (frame == quitAtFrame)
            RequestQuit();
        for (const Push& push : pushes) {
            if (push.frame != frame)
                continue;
            SDL_Event event;
            std::memset(&event, 0, sizeof event);
            event.key.type = Uint8(push.type);
            event.key.state = push.type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.key.keysym.sym = SDLKey(push.key);
            SDL_PushEvent(&event);
        }
    }

    void RenderOverlay() override
    {
        ++overlayCalls;
        if (SDL_Surface* s = GetBaseRenderer()->GetScreenSurface()) {
            SDL_Rect corner{Sint16(s->w - 1), 0, 1, 1};
            SDL_FillRect(s, &corner, SDL_MapRGB(s->format, kOverlay.r, kOverlay.g, kOverlay.b));
        }
    }

    void OnEvent(int, int) override { ++events; }

    bool Shutdown() override
    {
        ++shutdownCalls;
        return CQuillApp::Shutdown();
    }

    bool Run(const RunOptions& options, int width = 64, int height = 64)
    {
        SetRunOptions(options);
        LaunchContext context;
        std::memset(&context, 0, sizeof context);
        std::strcpy(context.title, "Engine Test");
        context.width = width;
        context.height = height;
        return Launch(&context);
    }

    struct Push {
        int frame, type, key;  // pushed into SDL's queue during that frame's Update
    };
    bool initializeResult = true, makeRenderer = true, rendererFlips = true;
    int messageAtFrame = -1, quitAtFrame = -1;
    std::vector<Push> pushes;

    int initializeCalls = 0, updateCalls = 0, overlayCalls = 0, shutdownCalls = 0, events = 0;
    std::vector<bool> rightHeld;
    std::vector<float> timeKeys;
    std::vector<double> ticks;
    RecordingRenderer* recorder = nullptr;
};

RunOptions Headless(unsigned frames)
{
    RunOptions options;
    options.headless = options.fixedStep = options.fastClock = true;
    options.frames = frames;
    options.logFile = "";
    return options;
}

TEST(QuillApp, HeadlessScriptedRunCallsTheGameEveryFrameAndIgnoresTheKeyboard)
{
    TempDir dir;
    RunOptions options = Headless(5);
    options.inputScript = dir.Write("keys.txt", "1-2 right\n3 up\n");
    options.screenshot = dir.File("last.bmp");
    RecordingApp app;
    app.pushes = {{2, SDL_KEYDOWN, Key::Right}};
    ASSERT_TRUE(app.Run(options, 160, 120));

    EXPECT_EQ(app.initializeCalls, 1);
    EXPECT_EQ(app.updateCalls, 5);
    EXPECT_EQ(app.shutdownCalls, 1);
    EXPECT_EQ(app.FramesRun(), 5u);
    ASSERT_NE(app.recorder, nullptr);
    EXPECT_EQ(app.recorder->FrameNumber(), 5u);
    EXPECT_EQ(app.recorder->FlipCount(), 5u);
    EXPECT_EQ(app.overlayCalls, 5);
    EXPECT_EQ(app.rightHeld, (std::vector<bool>{false, true, true, false, false}));
    EXPECT_EQ(app.events, 0);  // game events are the game's own
    // The fast clock moves one frame per frame, and never waits after the last.
    ASSERT_EQ(app.ticks.size(), 5u);
    for (size_t i = 0; i < app.ticks.size(); ++i) {
        EXPECT_FLOAT_EQ(app.timeKeys[i], 1.0f / 60.0f);
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

TEST(QuillApp, KeyboardFeedsThePlainInputAndEscapeOrAQuitRequestEndTheLoop)
{
    RecordingApp keys;
    keys.pushes = {{0, SDL_KEYDOWN, Key::Right}, {2, SDL_KEYUP, Key::Right}, {4, SDL_KEYDOWN, Key::Escape}};
    ASSERT_TRUE(keys.Run(Headless(0)));
    EXPECT_EQ(keys.rightHeld, (std::vector<bool>{false, true, true, false, false}));

    RecordingApp quits;
    quits.quitAtFrame = 2;
    ASSERT_TRUE(quits.Run(Headless(0), 0, 0));
    EXPECT_EQ(quits.updateCalls, 3);
    EXPECT_EQ(quits.shutdownCalls, 1);
    EXPECT_EQ(quits.GetVideoMode()->width, 512);  // the default window
    EXPECT_EQ(quits.GetVideoMode()->height, 512);
}

TEST(QuillApp, AFailedStartFailsLaunchWithALogLine)
{
    TempDir dir;
    Logger()->ClearRecent();
    RecordingApp refuses;
    refuses.initializeResult = false;
    EXPECT_FALSE(refuses.Run(Headless(5)));
    EXPECT_EQ(refuses.initializeCalls, 1);
    EXPECT_EQ(refuses.updateCalls, 0);
    EXPECT_EQ(refuses.shutdownCalls, 1);
    EXPECT_TRUE(Logger()->Contains("Initialize failed"));

    RunOptions options = Headless(5);
    options.inputScript = dir.Write("bad.txt", "0 right\n1 warp\n");
    RecordingApp badScript;
    EXPECT_FALSE(badScript.Run(options));
    EXPECT_TRUE(Logger()->Contains(options.inputScript + ": line 2: unknown key 'warp'"));
    options.inputScript = dir.File("absent.txt");
    RecordingApp noScript;
    EXPECT_FALSE(noScript.Run(options));
    EXPECT_TRUE(Logger()->Contains("cannot open " + options.inputScript));
}

TEST(QuillApp, AMessageShowsInTheWindowForAboutFourSecondsWhoeverFlips)
{
    for (bool gameFlips : {true, false}) {
        SCOPED_TRACE(gameFlips ? "the game flips" : "the engine flips");
        Logger()->ClearRecent();
        RecordingApp app;
        app.rendererFlips = gameFlips;
        app.messageAtFrame = 0;
        ASSERT_TRUE(app.Run(Headless(300), 256, 200));
        EXPECT_EQ(app.CurrentMessage(), "Found 5 coins");
        EXPECT_TRUE(Logger()->Contains("Found 5 coins"));
        EXPECT_EQ(app.recorder->FlipCount(), 300u);
        const std::vector<bool>& shown = app.recorder->bannerShown;
        ASSERT_EQ(shown.size(), 300u);
        for (size_t frame = 0; frame < 235; ++frame) ASSERT_TRUE(shown[frame]) << frame;
        for (size_t frame = 245; frame < shown.size(); ++frame) ASSERT_FALSE(shown[frame]) << frame;
        for (bool overlay : app.recorder->overlayShown) ASSERT_TRUE(overlay);
    }
    RecordingApp noWindow;
    noWindow.Message("no window yet %s", "here");
    EXPECT_TRUE(Logger()->Contains("no window yet here"));
    EXPECT_EQ(noWindow.CurrentMessage(), "no window yet here");
}

TEST(QuillApp, RunsWithoutARendererAndLogsFrameStatsToTheLogFile)
{
    TempDir dir;
    Logger()->ClearRecent();
    RunOptions options = Headless(3);
    options.screenshot = dir.File("none.bmp");
    options.frameStats = true;
    options.logFile = dir.File("run.log");
    RecordingApp app;
    app.makeRenderer = false;
    ASSERT_TRUE(app.Run(options));
    Logger()->OpenFile("");
    EXPECT_EQ(app.updateCalls, 3);
    EXPECT_EQ(app.overlayCalls, 0);
    EXPECT_TRUE(Logger()->Contains("screenshot " + options.screenshot + " not written"));
    EXPECT_TRUE(Logger()->Contains("frame stats: frames 3 interval mean"));
    EXPECT_TRUE(Logger()->Contains("frame stats: cpu "));
    const std::string text = ReadWholeFile(options.logFile);
    EXPECT_NE(text.find("recording app initializing"), std::string::npos);
    EXPECT_NE(text.find("frame stats: frames 3"), std::string::npos);
}

TEST(QuillApp, MeasuredStepsStayWithinBounds)
{
    RunOptions options = Headless(3);
    options.fixedStep = options.fastClock = false;
    RecordingApp app;
    ASSERT_TRUE(app.Run(options));
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

}  // namespace
