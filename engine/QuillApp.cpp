#include "engine/QuillApp.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/ConfigFiles.h"
#include "engine/Gamepad.h"
#include "engine/MessageBanner.h"
#include "engine/PreciseWait.h"
#include "engine/QuillLogger.h"
#ifdef KARSK_MEMORY_TRACKER
#include "memory/MemoryTracker.h"
#endif

namespace Quill {

CQuillApp* g_quill = nullptr;

CQuillApp::CQuillApp() : clockOrigin(SteadyMilliseconds())
{
    g_quill = this;
}

CQuillApp::~CQuillApp()
{
    if (g_quill == this) {
        g_quill = nullptr;
    }
}

bool CQuillApp::InitInputSystem(InputSystemType type)
{
    (void)type;  // the keyboard, and a pad when one is plugged in
    if (!runOptions.inputScript.empty()) {
        auto scripted = std::make_unique<ScriptedInput>();
        std::string error;
        if (!scripted->LoadFile(runOptions.inputScript, error)) {
            Logger()->Log("InitInputSystem: %s", error.c_str());
            return false;
        }
        input = std::move(scripted);
    } else {
        input = std::make_unique<InputSystem>();
        // A headless run has no player: it neither reads nor writes the
        // player's files and looks for no pad.
        if (!runOptions.headless) {
            Controls controls;
            controls.LoadOrCreate(ConfigFilePath("controls.conf"));
            input->SetControls(controls);
            gamepad = std::make_unique<Gamepad>();
            gamepad->Open();
        }
    }
    return input->Initialize();
}

void CQuillApp::Message(const char* fmt, ...)
{
    if (!fmt) {
        return;
    }
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::vector<char> text(n > 0 ? static_cast<size_t>(n) + 1 : 1, '\0');
    if (n > 0) {
        std::vsnprintf(text.data(), text.size(), fmt, args);
    }
    va_end(args);
    messageText = text.data();
    messageUntil = GetPreciseTicks() + kMessageMilliseconds;
    Logger()->Log("%s", messageText.c_str());
}

void CQuillApp::DrawMessageBanner()
{
    if (messageText.empty() || !renderer || GetPreciseTicks() >= messageUntil) {
        return;
    }
    Quill::DrawMessageBanner(renderer->GetScreenSurface(), messageText);
}

bool CQuillApp::Launch(const LaunchContext* context)
{
    framesRun = 0;
    quitRequested = false;
    if (!runOptions.logFile.empty()) {
        Logger()->OpenFile(runOptions.logFile);
#ifdef KARSK_MEMORY_TRACKER
        // memory.log and memleaks.log go beside the game's log.
        const size_t slash = runOptions.logFile.rfind('/');
        const std::string logDirectory =
            slash == std::string::npos ? "" : runOptions.logFile.substr(0, slash == 0 ? 1 : slash);
        MemoryTracker::SetOutputDirectory(logDirectory.c_str());
#endif
    }
    if (runOptions.headless) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // Audio is started by the sound layer, which copes without a device.
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        Logger()->Log("Launch: cannot start SDL video: %s", SDL_GetError());
        return false;
    }
    videoStarted = true;

    videoMode = VideoRes();
    videoMode.scale = runOptions.headless ? 1 : runOptions.scale;
    std::string title = "Karsk";
    if (context) {
        if (context->width > 0) {
            videoMode.width = context->width;
        }
        if (context->height > 0) {
            videoMode.height = context->height;
        }
        size_t length = strnlen(context->title, sizeof context->title);
        if (length > 0) {
            title.assign(context->title, length);
        }
    }
    SDL_WM_SetCaption(title.c_str(), title.c_str());

    if (!Initialize()) {
        Logger()->Log("Initialize failed");
        Shutdown();
        return false;
    }
    RunFrameLoop();
    Shutdown();
    return true;
}

bool CQuillApp::RunFrameLoop()
{
    const double period = 1000.0 / 60.0;
    frameStats.Begin(SteadyMilliseconds());
    if (!runOptions.frameLog.empty()) {
        frameLog.Open(runOptions.frameLog);
    }
    double previousStart = GetPreciseTicks();
    double deadline = previousStart;
    bool firstFrame = true;
    for (;;) {
        const double start = GetPreciseTicks();
        const double startedAt = SteadyMilliseconds();
        // Every interval is kept for the percentiles, 480 bytes a second:
        // only when the run asked for them, or a long run keeps growing.
        if (runOptions.frameStats) {
            frameStats.FrameStarted(startedAt);
        }
        frameLog.FrameStarted(startedAt);
        if (runOptions.fixedStep || firstFrame) {
            SetTimeKey(1.0f / 60.0f);
        } else {
            double seconds = (start - previousStart) / 1000.0;
            SetTimeKey(static_cast<float>(seconds < 0.0 ? 0.0 : (seconds > 0.1 ? 0.1 : seconds)));
        }
        firstFrame = false;
        previousStart = start;

        if (!PumpEvents()) {
            break;
        }
        if (input) {
            input->BeginFrame(framesRun);
        }
        Update();
        RenderAndFlip();
        ++framesRun;
        if ((runOptions.frames > 0 && framesRun >= runOptions.frames) || quitRequested) {
            break;
        }
        deadline += period;
        const double now = GetPreciseTicks();
        if (deadline < now - period) {
            // Too far behind (a stall or a debugger); racing to catch up would
            // only run frames back to back.
            deadline = now;
        }
        WaitUntil(deadline);
    }
    FinishRun();
    return true;
}

bool CQuillApp::PumpEvents()
{
    const bool keyboard = input && !dynamic_cast<ScriptedInput*>(input.get());
    bool keepRunning = true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                keepRunning = false;
                break;
            case SDL_KEYDOWN:
                if (HandleDisplayKey(event.key.keysym.sym, event.key.keysym.mod)) {
                    break;
                }
                if (event.key.keysym.sym == SDLK_ESCAPE) {
                    keepRunning = false;
                }
                if (keyboard) {
                    input->SetPhysicalKey(event.key.keysym.sym, true);
                }
                break;
            case SDL_KEYUP:
                if (keyboard) {
                    input->SetPhysicalKey(event.key.keysym.sym, false);
                }
                break;
            case SDL_VIDEOEXPOSE:
                if (renderer) {
                    renderer->InvalidateDisplay();
                }
                break;
            case SDL_ACTIVEEVENT:
                // Key releases that happen in another window never arrive.
                if (keyboard && !event.active.gain && (event.active.state & SDL_APPINPUTFOCUS)) {
                    input->ReleaseAll();
                }
                break;
            default:
                if (keyboard) {
                    FeedPadEvent(event, *input);
                }
                break;
        }
    }
    return keepRunning;
}

void CQuillApp::RenderAndFlip()
{
    RendererSDL* r = renderer.get();
    if (!r) {
        return;
    }
    if (!r->HasFlipOverlay()) {
        r->SetFlipOverlay([this] { DrawMessageBanner(); });
    }
    const unsigned flips = r->FlipCount();
    r->RenderFrame();
    // A frame the game drew without flipping would never be seen.
    if (r->FlipCount() == flips && r->GetScreenSurface()) {
        r->PageFlip();
    }
}

void CQuillApp::FinishRun()
{
    if (!runOptions.screenshot.empty()) {
        if (!renderer) {
            Logger()->Log("Launch: no renderer, screenshot %s not written", runOptions.screenshot.c_str());
        } else if (renderer->SaveScreenshot(runOptions.screenshot.c_str())) {
            Logger()->Log("screenshot saved to %s", runOptions.screenshot.c_str());
        }
    }
    if (runOptions.frameStats) {
        for (const std::string& line : FrameStats::Describe(frameStats.Finish(SteadyMilliseconds()))) {
            Logger()->Log("%s", line.c_str());
        }
    }
}

bool CQuillApp::Shutdown()
{
    if (renderer) {
        renderer->Shutdown();
    }
    gamepad.reset();
    if (videoStarted) {
        SDL_Quit();
        videoStarted = false;
    }
    return true;
}

}  // namespace Quill
