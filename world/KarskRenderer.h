#pragma once

#include <cstdint>
#include <vector>

#include "engine/RendererSDL.h"
#include "entity/Entity.h"
#include "world/EntityList.h"
#include "world/MapFormat.h"

// The game's renderer is also the world: the tile map and screen records,
// the view, the local player and the list of live entities. Each frame it
// advances and draws everything.
class KarskRenderer : public Quill::RendererSDL {
public:
    KarskRenderer();
    ~KarskRenderer() override;

    // Starts the engine renderer, then loads the map, the heads-up bitmaps
    // and the font. Only an engine failure makes it false; missing files are
    // logged and leave the world empty.
    virtual bool Initialize(void* window, Quill::VideoRes* mode);
    // The engine's own start, with its video flags, stays callable.
    using Quill::RendererSDL::Initialize;
    void Shutdown() override;
    void RenderFrame() override;

    // Reads the world file; false (logged with the file name and reason) when
    // it is missing or not exactly a map's size, leaving the world unchanged.
    bool LoadMap(const char* path);
    void InitTileFlags();

    // A cell outside the map reads as a blocking terrain tile and no marker.
    uint8_t GetMapTile(int column, int row, int layer) const;
    bool IsTileBlocked(uint8_t tile, int mask) const;
    uint8_t TileFlags(uint8_t tile) const { return tileFlags[tile]; }
    // Quarter test of a point given in tile units (pixels / 32).
    bool IsPointBlocked(Vec2 tilePoint) const;
    // A screen outside the 16 × 38 grid reads as an all-zero record.
    ScreenInfo* GetScreenInfo(int sx, int sy);
    ScreenInfo* GetCurrentScreenInfo() { return GetScreenInfo(screenX, screenY); }
    bool IsScreenInGrid(int sx, int sy) const;
    // The loaded world, for tools and tests that build worlds in memory.
    MapFormat::MapData& Map() { return map; }

    void SetView(int sx, int sy, float fx, float fy);
    void SetPlayer(Entity* player) { localPlayer = player; }
    Entity* GetPlayer() const { return localPlayer; }
    int ViewScreenX() const { return screenX; }
    int ViewScreenY() const { return screenY; }
    float ViewScrollX() const { return scrollX; }
    float ViewScrollY() const { return scrollY; }

    void DrawMap(int sx, int sy, float fx, float fy);
    void DrawDoors();
    // door: 1 north, 2 south, 3 east, 4 west; −1 for sx or sy means the
    // current screen.
    void OpenDoor(int door, int sx, int sy);
    // Every door that was shut and has been opened since the map was loaded,
    // in order, so that a player who joins later can be told.
    struct OpenedDoor {
        int door, sx, sy;
    };
    const std::vector<OpenedDoor>& OpenedDoors() const { return openedDoors; }

    // While frozen (a paused game) RenderFrame draws the entities without
    // advancing them.
    void SetFrozen(bool on) { frozen = on; }
    bool IsFrozen() const { return frozen; }

    void AddEntity(Entity* entity, bool atFront);
    EntityList& GetEntityList() { return entities; }
    Entity* FindEntity(uint32_t id) { return entities.FindByUid(id); }
    bool RemoveEntity(uint32_t id) { return entities.RemoveByUid(id); }

    bool LoadFont(const char* path);
    bool DrawString(int x, int y, const char* format, ...) __attribute__((format(printf, 4, 5)));
    static int CharToGlyph(char c);

    Quill::Image* HudImage() const { return hudImage; }
    Quill::Image* FooterImage() const { return footerImage; }

protected:
    std::vector<OpenedDoor> openedDoors;
    bool frozen = false;
    // Copies one glyph of the font to the screen.
    virtual void DrawGlyph(int glyph, int x, int y);

    MapFormat::MapData map;
    uint8_t tileFlags[256] = {};
    ScreenInfo outOfGridRecord;
    int screenX = 7;
    int screenY = 6;
    float scrollX = 0.5f;
    float scrollY = 0.0f;
    Entity* localPlayer = nullptr;
    EntityList entities;
    Quill::Image* hudImage = nullptr;
    Quill::Image* footerImage = nullptr;
    Quill::Image* fontImage = nullptr;
};

extern KarskRenderer* g_renderer;

// The first hero in the world list with that uid, or null.
Entity* FindPlayer(uint32_t id);
