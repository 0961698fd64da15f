#include "engine/RendererSDL.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/QuillLogger.h"

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
    Uint32 videoFlags = SDL_SWSURFACE | (res.fullscreen ? SDL_FULLSCREEN : 0);
    screen = SDL_SetVideoMode(res.width, res.height, res.bpp, videoFlags);
    if (!screen) {
        Logger()->Log("RendererSDL: cannot set video mode %dx%dx%d: %s", res.width, res.height, res.bpp,
                      SDL_GetError());
        if (ownsVideo) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            ownsVideo = false;
        }
        return false;
    }
    // SDL's dummy driver shows nothing, and presenting to it costs more than
    // drawing a whole frame; headless runs keep the screen surface only.
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    presentsToDisplay = std::strcmp(driver, "dummy") != 0;

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
    return !presentsToDisplay || SDL_Flip(screen) == 0;
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
    flipOverlay = nullptr;
    sprites.clear();
    missingSpritesLogged.clear();
    for (TileSheet& sheet : tileSheets) {
        sheet = TileSheet();
    }
    FreeImages();
    screen = nullptr;
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

}  // namespace Quill
