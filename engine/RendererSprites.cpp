// Sprite and tile sheet loading and drawing of RendererSDL.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "engine/QuillLogger.h"
#include "engine/RendererSDL.h"
#include "engine/TextUtil.h"

namespace Quill {

namespace {
std::string ResolveBeside(const std::string& defFile, const std::string& image)
{
    if (!image.empty() && image[0] == '/') {
        return image;
    }
    size_t slash = defFile.rfind('/');
    return slash == std::string::npos ? image : defFile.substr(0, slash + 1) + image;
}

bool ContainsPixel(SDL_Surface* s, Uint32 value)
{
    const int bpp = s->format->BytesPerPixel;
    const Uint32 ignore = s->format->Amask;
    bool found = false;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h && !found; ++y) {
        const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < s->w && !found; ++x, p += bpp) {
            Uint32 pixel = 0;
            std::memcpy(&pixel, p, static_cast<size_t>(bpp));  // little-endian host
            found = ((pixel ^ value) & ~ignore & (bpp == 4 ? 0xFFFFFFFFu : (1u << (8 * bpp)) - 1)) == 0;
        }
    }
    SDL_UnlockSurface(s);
    return found;
}

// A colour key costs a compare per pixel on every blit, so images without any
// magenta (most map tiles) are left unkeyed and blit as plain copies.
void SetMagentaKey(Image* image)
{
    SDL_Surface* s = image->surface;
    const Uint32 magenta = SDL_MapRGB(s->format, 255, 0, 255);
    if ((s->flags & SDL_SRCCOLORKEY) == 0 && ContainsPixel(s, magenta)) {
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, magenta);
    }
}

// Blits part of `source`; skips rectangles wholly off the screen so that far
// away coordinates never reach SDL's 16-bit rectangles.
void Blit(SDL_Surface* source, int sx, int sy, int w, int h, SDL_Surface* screen, int x, int y)
{
    if (w <= 0 || h <= 0 || x >= screen->w || y >= screen->h || x + w <= 0 || y + h <= 0) {
        return;
    }
    SDL_Rect src;
    src.x = static_cast<Sint16>(sx);
    src.y = static_cast<Sint16>(sy);
    src.w = static_cast<Uint16>(w);
    src.h = static_cast<Uint16>(h);
    SDL_Rect dest;
    dest.x = static_cast<Sint16>(x);
    dest.y = static_cast<Sint16>(y);
    dest.w = 0;
    dest.h = 0;
    SDL_BlitSurface(source, &src, screen, &dest);
}
}  // namespace

bool RendererSDL::LoadSpriteDef(const char* file)
{
    if (!file) {
        Logger()->Log("LoadSpriteDef: no file name");
        return false;
    }
    std::string text;
    std::string error;
    if (!ReadTextFile(file, text, error)) {
        Logger()->Log("LoadSpriteDef: %s", error.c_str());
        return false;
    }
    SpriteDefFile def = ParseSpriteDef(text, file);
    bool ok = def.errors.empty();
    for (const std::string& e : def.errors) {
        Logger()->Log("LoadSpriteDef: %s", e.c_str());
    }
    for (const SpriteDefEntry& entry : def.sprites) {
        AddSprite(entry, LoadImageCached(ResolveBeside(file, entry.image)), file, ok);
    }
    for (const TileSheetDefEntry& entry : def.tileSheets) {
        AddTileSheet(entry, LoadImageCached(ResolveBeside(file, entry.image)), file, ok);
    }
    return ok;
}

void RendererSDL::AddSprite(const SpriteDefEntry& entry, Image* image, const std::string& defFile, bool& ok)
{
    if (!image) {
        Logger()->Log("LoadSpriteDef: %s:%d: sprite %s skipped, image %s did not load", defFile.c_str(),
                      entry.line, entry.name.c_str(), entry.image.c_str());
        ok = false;
        return;
    }
    // Both factors may be up to 65535: the strip's width can exceed an int.
    const long long stripWidth = static_cast<long long>(entry.frameWidth) * entry.frameCount;
    if (image->width < stripWidth || image->height < entry.frameHeight) {
        Logger()->Log("LoadSpriteDef: %s:%d: sprite %s needs %lldx%d pixels for %d frames but %s is %dx%d",
                      defFile.c_str(), entry.line, entry.name.c_str(), stripWidth, entry.frameHeight,
                      entry.frameCount, entry.image.c_str(), image->width, image->height);
        ok = false;
        return;
    }
    SetMagentaKey(image);
    // Reloading updates in place: the game may hold pointers to sprite types.
    std::unique_ptr<SpriteType>& slot = sprites[entry.name];
    if (!slot) {
        slot = std::make_unique<SpriteType>();
    }
    slot->name = entry.name;
    slot->sheet = image;
    slot->frameWidth = entry.frameWidth;
    slot->frameHeight = entry.frameHeight;
    slot->frameCount = entry.frameCount;
    missingSpritesLogged.erase(entry.name);
}

void RendererSDL::AddTileSheet(const TileSheetDefEntry& entry, Image* image, const std::string& defFile,
                               bool& ok)
{
    if (!image) {
        Logger()->Log("LoadSpriteDef: %s:%d: tile sheet %d skipped, image %s did not load", defFile.c_str(),
                      entry.line, entry.sheet, entry.image.c_str());
        ok = false;
        return;
    }
    TileSheet sheet;
    sheet.image = image;
    sheet.tileWidth = entry.tileWidth;
    sheet.tileHeight = entry.tileHeight;
    sheet.columns = image->width / entry.tileWidth;
    sheet.rows = image->height / entry.tileHeight;
    if (sheet.columns == 0 || sheet.rows == 0) {
        Logger()->Log("LoadSpriteDef: %s:%d: tile sheet %d: %s (%dx%d) is smaller than one %dx%d tile",
                      defFile.c_str(), entry.line, entry.sheet, entry.image.c_str(), image->width,
                      image->height, entry.tileWidth, entry.tileHeight);
        ok = false;
        return;
    }
    SetMagentaKey(image);
    tileSheets[entry.sheet] = sheet;
}

SpriteType* RendererSDL::GetSpriteType(const char* name)
{
    if (!name) {
        return nullptr;
    }
    auto found = sprites.find(name);
    if (found != sprites.end()) {
        return found->second.get();
    }
    bool& logged = missingSpritesLogged[name];
    if (!logged) {
        Logger()->Log("GetSpriteType: unknown sprite %s", name);
        logged = true;
    }
    return nullptr;
}

bool RendererSDL::HasTileSheet(int sheet) const
{
    return sheet >= 0 && sheet < kMaxTileSheets && tileSheets[sheet].image;
}

int RendererSDL::TileCount(int sheet) const
{
    return HasTileSheet(sheet) ? tileSheets[sheet].columns * tileSheets[sheet].rows : 0;
}

void RendererSDL::DrawSprite(SpriteType* sprite, int frame, int x, int y, int drawHeight, int drawWidth)
{
    if (!screen || !spritesEnabled || !sprite || !sprite->sheet || !sprite->sheet->surface) {
        return;
    }
    if (frame < 0 || frame >= sprite->frameCount) {
        return;
    }
    int w = sprite->frameWidth;
    int h = sprite->frameHeight;
    if (drawWidth >= 0) {
        w = std::min(w, drawWidth);
    }
    if (drawHeight >= 0) {
        h = std::min(h, drawHeight);
    }
    Blit(sprite->sheet->surface, frame * sprite->frameWidth, 0, w, h, screen, x, y);
}

void RendererSDL::DrawTile(int sheet, int tile, int x, int y)
{
    if (!screen || !HasTileSheet(sheet)) {
        return;
    }
    const TileSheet& s = tileSheets[sheet];
    if (tile < 0 || tile >= s.columns * s.rows || !s.image->surface) {
        return;
    }
    Blit(s.image->surface, (tile % s.columns) * s.tileWidth, (tile / s.columns) * s.tileHeight, s.tileWidth,
         s.tileHeight, screen, x, y);
}

}  // namespace Quill
