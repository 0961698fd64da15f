#pragma once

#include <cstdint>

#include "engine/QuillApp.h"
#include "entity/EntityRef.h"
#include "entity/Vec2.h"

class Entity;
class KarskRenderer;
class NetSession;
class Tavin;
struct ScreenInfo;

// The game's application: creates the world and the hero, turns keys into
// hero events, scrolls between screens, populates them and paces frames.
class CTestApp : public Quill::CQuillApp {
public:
    CTestApp();
    ~CTestApp() override;

    void Update() override;
    void RenderOverlay() override;
    void OnEvent(int event, int param) override;
    bool Initialize() override;

    void SetServer(bool server) { isServer = server; }
    void SetServerAddress(const char* address);
    void SetPlayerName(const char* name);

    Entity* Spawn(int type, const Vec2& tile, int uid);
    void PopulateScreen(int sx, int sy, bool forPeer);
    // A free tile in columns 2–13, rows 2–8 of the screen; gives up after a
    // bounded number of tries and then returns (−1, −1).
    Vec2 RandomFreeTile(int sx, int sy);

    void HandleInput();
    void UpdateScreen();
    void UpdateActivity();
    void CheckRoomCleared();

    Tavin* LocalPlayer() const { return localPlayer.get(); }
    Tavin* RemotePlayer() const { return remotePlayer.get(); }
    KarskRenderer* World() const { return world; }
    NetSession* Session() const { return session; }
    bool IsServer() const { return isServer; }
    int ScreenX() const { return screenX; }
    int ScreenY() const { return screenY; }
    bool IsScrolling() const { return scrolling; }
    float ScrollX() const { return scrollX; }
    float ScrollY() const { return scrollY; }
    int NextUID() const { return nextUID; }
    int ActiveCount() const { return activeCount; }

    static constexpr int kRandomTileAttempts = 1000;

protected:
    bool Shutdown() override;
    // Loads the sound table; false when any sound failed (all are tried).
    bool LoadSounds();
    static Vec2 PlayerScreen(Entity* player);

    KarskRenderer* world = nullptr;
    EntityRef<Tavin> localPlayer;
    EntityRef<Tavin> remotePlayer;
    bool isServer = true;
    char serverAddress[24] = "127.0.0.1";
    int32_t screenX = 7;
    int32_t screenY = 7;
    bool scrolling = false;
    float scrollX = 0.0f;
    float scrollY = 0.0f;
    char playerName[64] = "player";
    char remoteName[64] = "remote";
    NetSession* session = nullptr;
    uint32_t lastNetTick = 0;
    int32_t nextUID = 10;
    bool attackKeyHeld = false;
    bool itemKeyHeld = false;
    bool switchKeyHeld = false;
    int32_t activeCount = 0;
    bool frameParity = false;
    bool musicStarted = false;
};

// The running application, or null.
CTestApp* TheApp();
