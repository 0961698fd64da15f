#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/FrameScaler.h"
#include "engine/SpriteDef.h"

struct SDL_Surface;

namespace Quill {

struct VideoRes {
    int width = 512;
    int height = 512;
    int bpp = 32;
    bool fullscreen = false;
    // The window shows the frame this many times larger (whole pixels);
    // 0 picks the largest that fits the desktop. Ignored without a display.
    int scale = 0;
};

// A loaded bitmap. The surface comes first so that code blitting with SDL can
// read it directly.
struct Image {
    SDL_Surface* surface = nullptr;
    int width = 0;
    int height = 0;
    std::string file;
};

struct SpriteType {
    std::string name;
    Image* sheet = nullptr;
    int frameWidth = 0;
    int frameHeight = 0;
    int frameCount = 0;
};

class IRenderer {
public:
    virtual ~IRenderer() = default;
    virtual bool Initialize(void* window, VideoRes* mode, int flags) = 0;
    virtual bool ClearScreen() = 0;
    virtual bool PageFlip() = 0;
    virtual void StepFrame() = 0;
    virtual void Shutdown() = 0;
};

// Draws into the SDL 1.2 screen surface. Drawing calls made before a screen
// exists do nothing, so world code runs unchanged in tests without video.
class RendererSDL : public IRenderer {
public:
    RendererSDL();
    ~RendererSDL() override;

    bool Initialize(void* window, VideoRes* mode, int flags) override;
    bool ClearScreen() override;
    // Runs the flip overlay (if any) and shows the screen (with SDL's dummy
    // video driver there is nothing to show it on, so the surface is kept).
    bool PageFlip() override;
    // Advances FrameNumber; the game's RenderFrame calls it once per frame.
    void StepFrame() override;
    void Shutdown() override;
    // The game's per-frame work; the engine calls it once each frame.
    virtual void RenderFrame() {}

    // Loads sprite and tile sheet definitions; false (with a log line per
    // problem, naming the file) when the file is missing or any line is bad.
    // Good entries are kept either way. Image paths are relative to the
    // folder holding the definition file (the data directory).
    bool LoadSpriteDef(const char* file);
    size_t SpriteCount() const { return sprites.size(); }
    bool HasTileSheet(int sheet) const;
    // Tiles in the sheet (columns × rows); 0 for an unknown sheet.
    int TileCount(int sheet) const;
    // Null (logged once per name) when no sprite has that name.
    SpriteType* GetSpriteType(const char* name);

    // Frame `frame` of the sprite with its top-left at (x, y). `drawHeight`
    // draws only that many rows from the top of the frame and `drawWidth` that
    // many columns; −1 draws the whole frame.
    virtual void DrawSprite(SpriteType* sprite, int frame, int x, int y, int drawHeight, int drawWidth);
    // Tile `tile` of tile sheet `sheet` (0 the map, 1 the heads-up display).
    virtual void DrawTile(int sheet, int tile, int x, int y);
    // Null (logged with the file and SDL's reason) when the bitmap cannot load.
    // The renderer owns the image; loading the same path again returns it.
    Image* LoadImage(const char* file);
    virtual void DrawImage(Image* image, int x, int y);
    // Off while the view scrolls: sprites drawn with DrawSprite are skipped.
    void RenderSprites(bool enabled) { spritesEnabled = enabled; }
    bool SpritesEnabled() const { return spritesEnabled; }

    // The frame the game draws into (width × height of the video mode). On a
    // display it is kept apart from the window, which shows it enlarged.
    SDL_Surface* GetScreenSurface() const { return screen; }
    // Writes the current frame to a BMP file.
    bool SaveScreenshot(const char* file);
    // Writes the current frame to a PNG file; false with the reason in `error`.
    bool SaveScreenshotPng(const std::string& file, std::string& error);

    // Switches between the window and fullscreen (the frame enlarged by the
    // largest whole number that fits, centred on black). False (logged) when
    // there is no display or the mode cannot be set; the old mode stays.
    bool ToggleFullscreen();
    bool IsFullscreen() const { return fullscreen; }
    // How many times larger the window (or the screen) shows the frame.
    int WindowScale() const { return windowScale; }
    int PresentScale() const { return placement.scale; }
    // The next flip shows the frame even if it has not changed (the window
    // was uncovered).
    void InvalidateDisplay() { presentPending = true; }
    // Flips that found the frame unchanged and sent nothing to the screen.
    unsigned SkippedPresents() const { return skippedPresents; }
    unsigned FrameNumber() const { return frameNumber; }

    // Drawn on top of everything just before each flip; the engine draws its
    // message banner here.
    void SetFlipOverlay(std::function<void()> overlay) { flipOverlay = std::move(overlay); }
    bool HasFlipOverlay() const { return static_cast<bool>(flipOverlay); }
    unsigned FlipCount() const { return flipCount; }

protected:
    Image* LoadImageCached(const std::string& file);
    void AddSprite(const SpriteDefEntry& entry, Image* image, const std::string& defFile, bool& ok);
    void AddTileSheet(const TileSheetDefEntry& entry, Image* image, const std::string& defFile, bool& ok);
    void FreeImages();
    bool SetDisplayMode(bool wantFullscreen);

    std::function<void()> flipOverlay;
    unsigned flipCount = 0;
    bool presentsToDisplay = true;

    SDL_Surface* screen = nullptr;
    // The window's surface when the frame is shown enlarged; null when the
    // game draws straight into the window (SDL's dummy driver).
    SDL_Surface* display = nullptr;
    VideoRes frameMode;
    FramePlacement placement;
    int windowScale = 1;
    bool fullscreen = false;
    bool ownsScreen = false;
    bool presentPending = true;
    unsigned skippedPresents = 0;
    std::vector<uint8_t> shownFrame;
    bool ownsVideo = false;
    bool spritesEnabled = true;
    unsigned frameNumber = 0;
    std::vector<std::unique_ptr<Image>> images;
    std::map<std::string, std::unique_ptr<SpriteType>> sprites;
    std::map<std::string, bool> missingSpritesLogged;
    struct TileSheet {
        Image* image = nullptr;
        int tileWidth = 0;
        int tileHeight = 0;
        int columns = 0;
        int rows = 0;
    };
    TileSheet tileSheets[kMaxTileSheets];
};

}  // namespace Quill
