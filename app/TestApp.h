#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/QuillApp.h"
#include "entity/EntityRef.h"
#include "entity/Vec2.h"
#include "net/Sockets.h"

class Entity;
class NetStream;
class NetTrace;
struct NetMessage;
class KarskRenderer;
class NetSession;
class RunRecorder;
class RunReplayer;
class Tavin;
struct ScreenInfo;

// The game's application: creates the world and the hero, turns keys into
// hero events, scrolls between screens, populates them and paces frames.
// What the player chose for the sound, kept in settings.ini:
//   [sound]
//   music_muted=0        (1: the music plays silently)
//   effects_volume=100   (percent, 0 to 100 in steps of 10)
struct SoundSettings {
    bool musicMuted = false;
    int effectsVolume = 100;
};
// False when there is nothing to use: no file (quietly) or a bad one (logged).
bool LoadSoundSettings(const std::string& path, SoundSettings& out);
// Replaces the file whole; false (logged) when it cannot.
bool SaveSoundSettings(const std::string& path, const SoundSettings& settings);

class CTestApp : public Quill::CQuillApp {
public:
    CTestApp();
    ~CTestApp() override;

    void Update() override;
    void RenderOverlay() override;
    void OnEvent(int event, int param) override;
    bool Initialize() override;

    void SetServer(bool server) { isServer = server; }
    // Whether this copy hosts or joins over the network at all; a lone game
    // has no session.
    void SetNetworked(bool on) { networked = on; }
    // Before Launch: the socket layer to use instead of the system's (tests).
    void UseSocketSys(std::unique_ptr<ISocketSys> sys);
    static const char* SessionPassword();
    // Before Launch: play this recording back instead of taking keys, clock
    // and peer from outside.
    void SetReplay(std::unique_ptr<RunReplayer> replay);
    RunReplayer* Replay() const { return replayer.get(); }
    // The clock the game's rules read (ms): while recording or replaying it
    // stands still within a frame, so the recording can carry it.
    double GameClock() const;
    void SetServerAddress(const char* address);
    void SetPlayerName(const char* name);

    Entity* Spawn(int type, const Vec2& tile, int uid);
    void PopulateScreen(int sx, int sy, bool forPeer);
    // A free tile in columns 2–13, rows 2–8 of the screen; gives up after a
    // bounded number of tries and then returns (−1, −1).
    Vec2 RandomFreeTile(int sx, int sy);

    void HandleInput();
    // Pause, mute and volume: each acts once per press, paused or not.
    void HandleSystemKeys();
    // A game with a network session (a two-player game) is never paused;
    // false then.
    bool SetPaused(bool on);
    bool IsPaused() const { return paused; }
    // Before Initialize: where the sound settings are read and saved (the
    // game uses $XDG_CONFIG_HOME/karsk/settings.ini; empty: not kept).
    void SetSettingsPath(const std::string& path) { settingsPath = path; }
    const SoundSettings& GetSoundSettings() const { return soundSettings; }
    // Sets every sound's volume from the settings.
    void ApplySoundSettings();
    // Moves the effects' volume by `volumeStep` steps of 10 % (kept within
    // 0..100) and toggles the music's mute; applies and saves the result.
    void ChangeSoundSettings(int volumeStep, bool toggleMute);
    static constexpr int kVolumeStep = 10;
    void UpdateScreen();
    void UpdateActivity();
    void CheckRoomCleared();

    // The network steps of a frame.
    void NetworkTick();
    void SendPlayerUpdate();
    void SendEntityStates();
    // The session's three callbacks.
    void OnNetMessage(NetMessage* message);
    void OnNetAuthenticated(const char* peerName);
    void OnConnectionDropped();

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
    void OpenClearedDoors(Vec2 screen);
    // --record and --replay: set up at the start, fed at the top of each
    // update, written out (or checked) at the end.
    void StartRecordOrReplay(uint32_t seed);
    void RecordOrReplayFrame();
    void FinishRecordOrReplay();
    // The socket layer, recorded or replayed when the run is.
    std::unique_ptr<ISocketSys> MakeSockets();
    // Creates the session and hosts or joins; false stops the start.
    bool StartNetwork();
    void CreateLocalPlayer();
    void ApplyConnectionDropped();
    // Spawns and opened doors for a player who joins a game under way.
    void TellNewcomer();
    // The first entity with that uid that both machines know of.
    Entity* FindShared(uint32_t uid) const;
    void OnHeroUpdate(NetStream& s);
    void OnEntityStates(NetStream& s);
    void OnSpawn(NetStream& s);
    void OnHit(NetStream& s);
    void OnPickupDrop(NetStream& s);

    KarskRenderer* world = nullptr;
    // Declared before the heroes, so that it outlives every entity.
    std::unique_ptr<NetSession> ownedSession;
    EntityRef<Tavin> localPlayer;
    EntityRef<Tavin> remotePlayer;
    bool isServer = true;
    // Room for a full host name; the launch dialog limits what it takes itself.
    char serverAddress[256] = "127.0.0.1";
    int32_t screenX = 7;
    int32_t screenY = 7;
    bool scrolling = false;
    float scrollX = 0.0f;
    float scrollY = 0.0f;
    char playerName[64] = "player";
    char remoteName[64] = "remote";
    NetSession* session = nullptr;
    std::unique_ptr<ISocketSys> pendingSockets;
    std::unique_ptr<NetTrace> netTrace;
    // The peer's hero after its player left, kept for a return.
    EntityRef<Tavin> departedPlayer;
    bool networked = false;
    bool connectFailed = false;
    bool peerDropped = false;
    bool shuttingDown = false;
    double lastNetTick = 0.0;  // fractional ms: when the last network tick was due
    // The joining hero's screen once the host has filled it for him; his
    // room's doors wait for that, not just for his arrival.
    Vec2 peerScreenFilled{-1000.0f, -1000.0f};
    int32_t nextUID = 10;
    bool attackKeyHeld = false;
    bool itemKeyHeld = false;
    bool switchKeyHeld = false;
    bool pauseKeyHeld = false;
    bool muteKeyHeld = false;
    bool volumeDownKeyHeld = false;
    bool volumeUpKeyHeld = false;
    bool paused = false;
    std::string settingsPath;
    SoundSettings soundSettings;
    int32_t activeCount = 0;
    bool frameParity = false;
    bool musicStarted = false;
    std::unique_ptr<RunRecorder> recorder;
    std::unique_ptr<RunReplayer> replayer;
    uint64_t frameClockMicros = 0;
};

// The running application, or null.
CTestApp* TheApp();
