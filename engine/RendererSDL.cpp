#include "engine/RendererSDL.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/QuillLogger.h"
#include "engine/Screenshot.h"

namespace Quill {

RendererSDL::RendererSDL() = default;

RendererSDL::~RendererSDL()
{
    RendererSDL::Shutdown();
}

bool RendererSDL::Initialize(void* window, VideoRes* mode, int flags)
{
    (void)window;
    (void)flags;
    VideoRes res = mode ? *mode : VideoRes();
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            Logger()->Log("RendererSDL: cannot start SDL video: %s", SDL_GetError());
            return false;
        }
        ownsVideo = true;
    }
    // SDL's dummy driver shows nothing, and presenting to it costs more than
    // drawing a whole frame; headless runs keep the screen surface only.
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    presentsToDisplay = std::strcmp(driver, "dummy") != 0;
    frameMode = res;
    placement = FramePlacement();
    windowScale = 1;
    fullscreen = false;

    if (!presentsToDisplay) {
        Uint32 videoFlags = SDL_SWSURFACE | (res.fullscreen ? SDL_FULLSCREEN : 0);
        screen = SDL_SetVideoMode(res.width, res.height, res.bpp, videoFlags);
    } else {
        // Before the first video mode SDL reports the desktop's size.
        int desktopWidth = 0;
        int desktopHeight = 0;
        const SDL_VideoInfo* info = SDL_GetVideoSurface() ? nullptr : SDL_GetVideoInfo();
        if (info) {
            desktopWidth = info->current_w;
            desktopHeight = info->current_h;
        }
        windowScale =
            res.scale > 0 ? std::min(res.scale, kMaxScale) : ChooseWindowScale(desktopWidth, desktopHeight);
        Logger()->Log("RendererSDL: desktop %dx%d, window scale %d", desktopWidth, desktopHeight,
                      windowScale);
        if (SetDisplayMode(res.fullscreen)) {
            // The game draws here; PageFlip shows it enlarged in the window.
            const SDL_PixelFormat* format = display->format;
            screen = SDL_CreateRGBSurface(SDL_SWSURFACE, res.width, res.height, format->BitsPerPixel,
                                          format->Rmask, format->Gmask, format->Bmask, 0);
            ownsScreen = screen != nullptr;
        }
    }
    if (!screen) {
        Logger()->Log("RendererSDL: cannot set video mode %dx%dx%d: %s", res.width, res.height, res.bpp,
                      SDL_GetError());
        display = nullptr;
        if (ownsVideo) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            ownsVideo = false;
        }
        return false;
    }

    // The app may have named the window before it existed; name it again.
    // Copies, because setting the caption frees SDL's own strings.
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    if (title) {
        std::string titleCopy = title;
        std::string iconCopy = icon ? icon : title;
        SDL_WM_SetCaption(titleCopy.c_str(), iconCopy.c_str());
    }
    return true;
}

bool RendererSDL::SetDisplayMode(bool wantFullscreen)
{
    int width = frameMode.width * windowScale;
    int height = frameMode.height * windowScale;
    Uint32 flags = SDL_SWSURFACE;
    if (wantFullscreen) {
        // Zero asks for the screen's current size.
        width = 0;
        height = 0;
        flags |= SDL_FULLSCREEN;
    }
    SDL_Surface* surface = SDL_SetVideoMode(width, height, frameMode.bpp, flags);
    if (!surface) {
        Logger()->Log("RendererSDL: cannot set %s video mode %dx%d: %s",
                      wantFullscreen ? "fullscreen" : "window", width, height, SDL_GetError());
        return false;
    }
    display = surface;
    fullscreen = wantFullscreen;
    const int scale = wantFullscreen ? ChooseFullscreenScale(display->w, display->h) : windowScale;
    placement = PlaceFrame(display->w, display->h, frameMode.width, frameMode.height, scale);
    SDL_FillRect(display, nullptr, SDL_MapRGB(display->format, 0, 0, 0));
    presentPending = true;
    Logger()->Log("RendererSDL: %s %dx%d showing the frame at %dx", wantFullscreen ? "fullscreen" : "window",
                  display->w, display->h, placement.scale);
    return true;
}

bool RendererSDL::ToggleFullscreen()
{
    if (!display) {
        Logger()->Log("RendererSDL: no display to switch to %s", fullscreen ? "a window" : "fullscreen");
        return false;
    }
    const bool was = fullscreen;
    if (SetDisplayMode(!was)) {
        return true;
    }
    // Back to the mode that worked; the old surface is gone either way.
    if (!SetDisplayMode(was)) {
        display = nullptr;
    }
    return false;
}

bool RendererSDL::ClearScreen()
{
    if (!screen) {
        return false;
    }
    return SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0)) == 0;
}

bool RendererSDL::PageFlip()
{
    if (!screen) {
        return false;
    }
    if (flipOverlay) {
        flipOverlay();
    }
    ++flipCount;
    if (!presentsToDisplay) {
        return true;
    }
    if (!display) {
        return false;
    }
    // A frame like the one on show is not sent again: most of the cost of a
    // frame in a large window is SDL copying it to the screen.
    const size_t frameBytes = static_cast<size_t>(screen->pitch) * screen->h;
    if (!presentPending && shownFrame.size() == frameBytes &&
        std::memcmp(shownFrame.data(), screen->pixels, frameBytes) == 0) {
        ++skippedPresents;
        return true;
    }
    shownFrame.assign(static_cast<const uint8_t*>(screen->pixels),
                      static_cast<const uint8_t*>(screen->pixels) + frameBytes);
    presentPending = false;
    if (display != screen && !ScaleFrame(screen, display, placement)) {
        SDL_BlitSurface(screen, nullptr, display, nullptr);
    }
    return SDL_Flip(display) == 0;
}

void RendererSDL::StepFrame()
{
    ++frameNumber;
}

void RendererSDL::FreeImages()
{
    for (auto& image : images) {
        if (image->surface) {
            SDL_FreeSurface(image->surface);
            image->surface = nullptr;
        }
    }
    images.clear();
}

void RendererSDL::Shutdown()
{
    if (flipCount > 0 && display) {
        Logger()->Log("RendererSDL: %u of %u frames unchanged and not sent to the screen", skippedPresents,
                      flipCount);
    }
    flipOverlay = nullptr;
    sprites.clear();
    missingSpritesLogged.clear();
    for (TileSheet& sheet : tileSheets) {
        sheet = TileSheet();
    }
    FreeImages();
    if (screen && ownsScreen) {
        SDL_FreeSurface(screen);
    }
    ownsScreen = false;
    screen = nullptr;
    display = nullptr;
    if (ownsVideo) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        ownsVideo = false;
    }
}

Image* RendererSDL::LoadImage(const char* file)
{
    if (!file) {
        Logger()->Log("LoadImage: no file name");
        return nullptr;
    }
    return LoadImageCached(file);
}

Image* RendererSDL::LoadImageCached(const std::string& file)
{
    for (auto& image : images) {
        if (image->file == file) {
            return image.get();
        }
    }
    // SDL reports a missing file only as a bad parameter; say what it is.
    if (std::FILE* probe = std::fopen(file.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        Logger()->Log("LoadImage: cannot load %s: %s", file.c_str(), std::strerror(errno));
        return nullptr;
    }
    SDL_Surface* surface = SDL_LoadBMP(file.c_str());
    if (!surface) {
        Logger()->Log("LoadImage: cannot load %s: %s", file.c_str(), SDL_GetError());
        return nullptr;
    }
    if (screen) {
        // Matching the screen's pixel format keeps blits cheap.
        SDL_Surface* converted = SDL_DisplayFormat(surface);
        if (converted) {
            SDL_FreeSurface(surface);
            surface = converted;
        }
    }
    auto image = std::make_unique<Image>();
    image->surface = surface;
    image->width = surface->w;
    image->height = surface->h;
    image->file = file;
    images.push_back(std::move(image));
    return images.back().get();
}

void RendererSDL::DrawImage(Image* image, int x, int y)
{
    if (!screen || !image || !image->surface) {
        return;
    }
    if (x >= screen->w || y >= screen->h || x + image->width <= 0 || y + image->height <= 0) {
        return;
    }
    SDL_Rect dest;
    dest.x = static_cast<Sint16>(x);
    dest.y = static_cast<Sint16>(y);
    dest.w = 0;
    dest.h = 0;
    SDL_BlitSurface(image->surface, nullptr, screen, &dest);
}

bool RendererSDL::SaveScreenshot(const char* file)
{
    if (!file || !*file) {
        Logger()->Log("SaveScreenshot: no file name");
        return false;
    }
    if (!screen) {
        Logger()->Log("SaveScreenshot: no screen to save to %s", file);
        return false;
    }
    if (SDL_SaveBMP(screen, file) != 0) {
        Logger()->Log("SaveScreenshot: cannot write %s: %s", file, SDL_GetError());
        return false;
    }
    return true;
}

bool RendererSDL::SaveScreenshotPng(const std::string& file, std::string& error)
{
    if (!screen) {
        error = "no screen to save";
        return false;
    }
    return WritePng(file, screen, error);
}

}  // namespace Quill
