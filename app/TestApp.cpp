#include "app/TestApp.h"

#include <cstdlib>
#include <cstring>

#include "app/RunRecorder.h"
#include "app/RunReplayer.h"
#include "app/SpawnTable.h"
#include "app/StateReport.h"
#include "app/WorldDump.h"
#include "engine/ConfigFiles.h"
#include "engine/EngineSettings.h"
#include "engine/QuillLogger.h"
#include "net/NetSession.h"
#include "net/NetTrace.h"
#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/HudOverlay.h"
#include "world/KarskRenderer.h"

namespace {

CTestApp* g_app = nullptr;

void CopyBounded(char* target, size_t size, const char* source)
{
    std::strncpy(target, source ? source : "", size - 1);
    target[size - 1] = '\0';
}

// Settings the engine keeps for its console; nothing in the game reads them.
void RegisterTestSettings()
{
    auto* settings = Quill::CSingleton<Quill::EngineSettings>::Instance();
    settings->NewCVar("testInt", Quill::CVAR_INT, 1)->SetInt(123);
    settings->NewCVar("testString", Quill::CVAR_STRING, 100)->SetString("holy shit");
    settings->NewCVar("testFloat", Quill::CVAR_FLOAT, 20)->SetFloat(23.5611f);
}

}  // namespace

CTestApp* TheApp()
{
    return g_app;
}

CTestApp::CTestApp()
{
    g_app = this;
}

CTestApp::~CTestApp()
{
    if (g_app == this)
        g_app = nullptr;
}

void CTestApp::SetServerAddress(const char* address)
{
    CopyBounded(serverAddress, sizeof serverAddress, address);
}

void CTestApp::SetPlayerName(const char* name)
{
    CopyBounded(playerName, sizeof playerName, name);
}

bool CTestApp::LoadSounds()
{
    bool allLoaded = true;
    for (const SoundTableEntry& entry : kSoundTable) {
        if (LoadSound(entry.file, entry.loop) != 1) {
            Quill::Logger()->Log("%s", GetSoundError());
            allLoaded = false;
        }
    }
    return allLoaded;
}

bool CTestApp::Initialize()
{
    // Seeded here rather than in main so that the seed reaches the log file
    // and headless tests seed exactly as the game does.
    const uint32_t seed = Quill::ChooseSeed(GetRunOptions());
    std::srand(seed);
    Quill::Logger()->Log("random seed: %u", unsigned(seed));
    StartRecordOrReplay(seed);
    RegisterTestSettings();
    RegisterGameSpawns();
    if (!InitSound())
        Quill::Logger()->Log("%s", GetSoundError());
    bool soundsLoaded = LoadSounds();
    if (!SetLoopPoints(SND_MUSIC_OVERWORLD, 7000, 0))
        Quill::Logger()->Log("%s", GetSoundError());
    // A headless run keeps no settings of a player.
    if (settingsPath.empty() && !GetRunOptions().headless)
        settingsPath = Quill::ConfigFilePath("settings.ini");
    LoadSoundSettings(settingsPath, soundSettings);
    ApplySoundSettings();
    PlaySound(SND_MUSIC_OVERWORLD);
    if (!soundsLoaded) {
        Message("The game cannot start: a sound file is missing or unreadable (see the log).");
        return false;
    }

    nextUID = 10;
    activeCount = 0;
    lastNetTick = 0;
    screenX = screenY = 7;
    scrollX = scrollY = 0.0f;
    scrolling = false;

    world = CreateRenderer();
    // Without a screen the game would run unseen, so this one is checked.
    if (!world->Initialize(nullptr, GetVideoMode())) {
        Message("Failed to create window");
        return false;
    }
    world->LoadSpriteDef("sprite.def");
    if (!InitInputSystem(Quill::INPUT_KEYBOARD))
        return false;

    remotePlayer.reset();
    localPlayer.reset();
    CopyBounded(remoteName, sizeof remoteName, "remote");

    if (networked) {
        if (!StartNetwork())
            return false;
    } else {
        isServer = true;  // a lone game is its own host
    }
    CreateLocalPlayer();

    world->SetPlayer(localPlayer.get());
    return true;
}

void CTestApp::Update()
{
    RecordOrReplayFrame();
    if (!musicStarted) {
        PlaySound(SND_MUSIC_OVERWORLD);
        musicStarted = true;
    }
    // A watcher may ask for the state at any frame, paused or not.
    ServeStateRequest(*this);
    // A paused game's world stands still; its music plays on.
    HandleSystemKeys();
    if (world)
        world->SetFrozen(paused);
    if (paused)
        return;
    ApplyConnectionDropped();
    if (session && session->IsConnected())
        NetworkTick();
    if (session)
        session->Update();
    ApplyConnectionDropped();
    HandleInput();
    UpdateScreen();
    UpdateActivity();
    Quill::InputSystem* input = GetInputSystem();
    if (scrolling) {
        if (world)
            world->RenderSprites(false);
        if (input)
            input->SetSuspended(true);
    } else {
        if (world)
            world->RenderSprites(true);
        if (input)
            input->SetSuspended(false);
        if (isServer)
            CheckRoomCleared();
    }
    // Frame pacing is the engine loop's: it sleeps until just before each
    // 1/60 s deadline instead of spinning on the clock.
}

void CTestApp::RenderOverlay()
{
    if (!world)
        return;
    Entity* hero = localPlayer.get();
    // The heads-up display stays while a scroll hides the world's sprites.
    const bool spritesShown = world->SpritesEnabled();
    world->RenderSprites(true);
    DrawHeadsUp(*world, hero && hero->isPlayer ? static_cast<Tavin*>(hero) : nullptr);
    if (paused) {
        const char* text = "PAUSED";
        const int glyph = 16;
        world->DrawString((GetVideoMode()->width - glyph * int(std::strlen(text))) / 2,
                          (GetVideoMode()->height - glyph) / 2, "%s", text);
    }
    world->RenderSprites(spritesShown);
}

void CTestApp::OnEvent(int event, int)
{
    if (event != 1 || !localPlayer || !world)
        return;
    Vec2 s = localPlayer->GetScreen();
    screenX = int(s.x);
    screenY = int(s.y);
    if (world->GetScreenInfo(screenX, screenY)->isDungeonRoom != 0)
        PlaySound(SND_MUSIC_DUNGEON);
}

bool CTestApp::Shutdown()
{
    // Before the base Shutdown, which tears the world down.
    const std::string& dump = GetRunOptions().dumpWorld;
    if (!dump.empty() && world)
        WriteWorldDump(*world, dump);
    FinishRecordOrReplay();
    shuttingDown = true;
    if (session)
        session->Shutdown();
    ShutdownSound();
    return CQuillApp::Shutdown();
}
