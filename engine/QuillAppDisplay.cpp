// The engine's own keys: fullscreen and screenshots.
#include <SDL.h>

#include <ctime>

#include "engine/QuillApp.h"
#include "engine/QuillLogger.h"
#include "engine/Screenshot.h"

namespace Quill {

bool CQuillApp::HandleDisplayKey(int key, int modifiers)
{
    if (key == SDLK_F11 || (key == SDLK_RETURN && (modifiers & KMOD_ALT))) {
        ToggleFullscreen();
        return true;
    }
    if (key == SDLK_F12) {
        TakeScreenshot();
        return true;
    }
    return false;
}

void CQuillApp::ToggleFullscreen()
{
    if (!renderer || !renderer->ToggleFullscreen()) {
        Message("Cannot switch to %s (see the log).",
                renderer && renderer->IsFullscreen() ? "a window" : "fullscreen");
    }
}

std::string CQuillApp::TakeScreenshot()
{
    if (!renderer || !renderer->GetScreenSurface()) {
        Message("Screenshot failed: nothing on screen.");
        return std::string();
    }
    const std::string dir = PicturesDirectory();
    std::string error;
    if (dir.empty()) {
        Message("Screenshot failed: no pictures directory (HOME is not set).");
        return std::string();
    }
    if (!MakeDirectories(dir, error)) {
        Message("Screenshot failed: %s", error.c_str());
        return std::string();
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string path = NextScreenshotPath(dir, local);
    if (!renderer->SaveScreenshotPng(path, error)) {
        Message("Screenshot failed: %s", error.c_str());
        return std::string();
    }
    Message("Screenshot saved: %s", path.c_str());
    return path;
}

}  // namespace Quill
