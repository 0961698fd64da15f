#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/FrameLog.h"
#include "engine/FrameStats.h"
#include "engine/InputSystem.h"
#include "engine/LaunchContext.h"
#include "engine/RendererSDL.h"
#include "engine/RunOptions.h"

class KarskRenderer;

namespace Quill {

class CQuillApp;
class Gamepad;
extern CQuillApp* g_quill;

// The engine's application: owns the window, the frame loop, the clock, the
// input system and the renderer. The engine calls Initialize, Update and
// Shutdown; RenderOverlay and OnEvent are the game's own hooks, called by its
// renderer and its world.
class CQuillApp {
public:
    CQuillApp();
    virtual ~CQuillApp();

    // Once per frame, after the input system has the frame's keys.
    virtual void Update() = 0;
    // Drawn on top of the world; the game's renderer calls it before flipping.
    virtual void RenderOverlay() = 0;
    // Game events (the engine sends none).
    virtual void OnEvent(int event, int param) = 0;
    // Once, after the window exists; the game creates its renderer here.
    virtual bool Initialize() = 0;

    // Creates the window, calls Initialize once, then Update and the
    // renderer's RenderFrame every frame until the window closes, Escape is
    // pressed or the frame limit is reached; Shutdown at the end. False when
    // the window or the game could not start.
    bool Launch(const LaunchContext* context);
    void SetRunOptions(const RunOptions& options) { runOptions = options; }
    const RunOptions& GetRunOptions() const { return runOptions; }
    // Ends the loop after the current frame.
    void RequestQuit() { quitRequested = true; }

    // Seconds of game time in the current frame.
    float GetTimeKey() const { return frameTime; }
    void SetTimeKey(float seconds) { frameTime = seconds; }

    // Milliseconds since the engine started (game clock: virtual when the
    // run uses the fast clock).
    uint32_t GetTickCount() const;
    // The same clock in fractional milliseconds.
    double GetPreciseTicks() const;
    // Returns once the clock has reached `deadline` (fractional ms): sleeps
    // until about a millisecond before it, then waits out the rest.
    void WaitUntil(double deadline);

    // The game's world renderer. Both are defined with the world, which is
    // the only renderer the game makes.
    KarskRenderer* CreateRenderer();
    KarskRenderer* GetRenderer() const;
    RendererSDL* GetBaseRenderer() const { return renderer.get(); }
    // Installs a renderer made elsewhere (tests use recording renderers).
    void SetRenderer(std::unique_ptr<RendererSDL> r) { renderer = std::move(r); }

    bool InitInputSystem(InputSystemType type);
    InputSystem* GetInputSystem() const { return input.get(); }
    void SetInputSystem(std::unique_ptr<InputSystem> system) { input = std::move(system); }

    // Shows a message in the game window for about four seconds of game
    // clock and logs it.
    void Message(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    const std::string& CurrentMessage() const { return messageText; }

    // F12: saves the game frame as a PNG in the pictures directory, with a
    // message in the window saying where (or why not). The path, or empty.
    std::string TakeScreenshot();
    // F11 and Alt+Enter: between the window and fullscreen.
    void ToggleFullscreen();

    VideoRes* GetVideoMode() { return &videoMode; }
    unsigned FramesRun() const { return framesRun; }

    static constexpr double kMessageMilliseconds = 4000.0;

protected:
    // Shuts the renderer down and quits SDL; games extend it and call it.
    virtual bool Shutdown();

    VideoRes videoMode;
    float frameTime = 1.0f / 60.0f;
    std::unique_ptr<RendererSDL> renderer;

private:
    bool RunFrameLoop();
    bool PumpEvents();
    // True when the key is the engine's own (fullscreen, screenshot).
    bool HandleDisplayKey(int key, int modifiers);
    void DrawMessageBanner();
    void RenderAndFlip();
    void FinishRun();

    RunOptions runOptions;
    std::unique_ptr<InputSystem> input;
    std::unique_ptr<Gamepad> gamepad;
    std::string messageText;
    double messageUntil = 0.0;
    double virtualTicks = 0.0;
    double clockOrigin = 0.0;
    unsigned framesRun = 0;
    bool quitRequested = false;
    bool videoStarted = false;
    FrameStats frameStats;
    FrameLog frameLog;
};

}  // namespace Quill
