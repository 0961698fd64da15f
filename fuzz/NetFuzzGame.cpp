#include "fuzz/NetFuzzGame.h"

#include <cstdlib>

#include "app/SpawnTable.h"
#include "enemies/Enemy.h"
#include "engine/QuillLogger.h"
#include "fuzz/QuietWorld.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace {

constexpr int kWaterTile = 48;
constexpr int kPushBlockMarker = 16;

struct Placed {
    int column;
    int row;
};

// Where the crowd stands, in the order of NetFuzzGame::kCrowd: around the
// host's hero at (120, 83) and the joining hero at (118, 83), the Nerrit in
// the pond.
constexpr Placed kCrowdTiles[] = {{122, 83}, {124, 84}, {118, 85}, {114, 79},
                                  {121, 80}, {116, 82}, {123, 86}, {119, 86}};
static_assert(sizeof kCrowdTiles / sizeof kCrowdTiles[0] ==
                  sizeof NetFuzzGame::kCrowd / sizeof NetFuzzGame::kCrowd[0],
              "a tile for every member of the crowd");

// Grass everywhere, a pond and doors on the start screen (7, 7), and
// neighbouring screens that populate when a hero enters them.
void PaintWorld(MapFormat::MapData& map)
{
    for (int column = 113; column <= 115; ++column)
        for (int row = 78; row <= 80; ++row) map.Cell(0, column, row) = kWaterTile;
    ScreenInfo& start = map.Screen(7, 7);
    start.doors[MapFormat::DOOR_NORTH] = MapFormat::DOOR_LOCKED;
    start.doors[MapFormat::DOOR_EAST] = MapFormat::DOOR_CLEAR;
    start.doors[MapFormat::DOOR_WEST] = MapFormat::DOOR_PUSH;
    auto range = [&map](int sx, int sy, int type, int low, int high) {
        map.Screen(sx, sy).spawnRange[type][0] = int8_t(low);
        map.Screen(sx, sy).spawnRange[type][1] = int8_t(high);
    };
    range(8, 7, 0, 1, 2);
    range(8, 7, 12, 0, 1);
    range(6, 7, 9, 1, 1);
    range(6, 7, 18, 1, 1);
    range(7, 6, 2, 1, 2);
    range(7, 6, 11, 0, 1);
    map.Cell(1, 8 * 16 + 5, 7 * 11 + 4) = kPushBlockMarker;
}

// Starts the crowd walking at once, except the first Krillop, which stays in
// its spawn cloud so that messages meet that state too.
void SkipSpawnClouds(KarskRenderer* world)
{
    for (uint32_t uid = NetFuzzGame::kFirstCrowdUid + 1;
         uid < NetFuzzGame::kFirstCrowdUid + sizeof NetFuzzGame::kCrowd / sizeof NetFuzzGame::kCrowd[0];
         ++uid) {
        if (Entity* e = world->FindEntity(uid))
            e->spawnDelay = 0.0f;
    }
}

}  // namespace

NetFuzzGame::NetFuzzGame(Role role) : role(role)
{
    static const bool registered = (RegisterGameSpawns(), true);
    (void)registered;
}

NetFuzzGame::~NetFuzzGame()
{
    Stop();
}

std::unique_ptr<FuzzApp> FuzzApp::OverQuietWorld()
{
    auto app = std::make_unique<FuzzApp>();
    auto quiet = std::make_unique<QuietWorld>();
    quiet->InitTileFlags();
    app->world = quiet.get();
    app->SetRenderer(std::move(quiet));
    app->SetTimeKey(1.0f / 60.0f);
    Quill::RunOptions options;
    options.fastClock = true;
    options.logFile = "";
    options.seed = 1u;
    app->SetRunOptions(options);
    app->SetInputSystem(std::make_unique<Quill::InputSystem>());
    return app;
}

InProcessPipe* NetFuzzGame::ToApp() const
{
    std::shared_ptr<InProcessLink> link = network ? network->LastLink() : nullptr;
    if (!link)
        return nullptr;
    return role == Role::Host ? &link->ToServer() : &link->ToClient();
}

bool NetFuzzGame::Start()
{
    Stop();
    Quill::Logger()->ClearRecent();
    std::srand(1);
    g_killsWithoutDrop = 0;
    const bool hosting = role == Role::Host;

    network = std::make_unique<InProcessNetwork>();
    app = FuzzApp::OverQuietWorld();
    KarskRenderer* world = app->world;
    PaintWorld(world->Map());

    FuzzApp* game = app.get();
    auto clock = [game] { return game->GetPreciseTicks(); };
    peer = std::make_unique<NetSession>(CTestApp::SessionPassword(), hosting ? "guest" : "host");
    peer->UseSocketSys(std::make_unique<InProcessSocketSys>(*network));
    peer->SetClock(clock);
    peer->Init([](const char*) {}, [](NetMessage*) {}, [] {});
    if (!hosting && !peer->Host(false))
        return false;

    app->UseSocketSys(std::make_unique<InProcessSocketSys>(*network));
    app->SetNetworked(true);
    app->SetServer(hosting);
    app->SetPlayerName(hosting ? "host" : "guest");
    if (!app->StartNetwork() || !app->session)
        return false;
    app->session->SetClock(clock);
    app->CreateLocalPlayer();
    world->SetPlayer(app->localPlayer.get());
    world->SetView(7, 7, 0.0f, 0.0f);
    if (hosting && !peer->Connect("127.0.0.1", false))
        return false;

    for (int i = 0; i < 8 && !(app->session->IsConnected() && peer->IsConnected() && app->remotePlayer);
         ++i) {
        app->session->Update();
        peer->Update();
    }
    if (!app->session->IsConnected() || !peer->IsConnected() || !app->remotePlayer)
        return false;

    if (hosting) {
        for (size_t i = 0; i < sizeof kCrowd / sizeof kCrowd[0]; ++i)
            app->Spawn(kCrowd[i], Vec2(float(kCrowdTiles[i].column), float(kCrowdTiles[i].row)), -1);
    } else {
        SendCrowdSpawns();
        app->session->Update();
    }
    SkipSpawnClouds(world);
    for (int i = 0; i < 2; ++i) Frame();
    return true;
}

void NetFuzzGame::SendCrowdSpawns()
{
    for (size_t i = 0; i < sizeof kCrowd / sizeof kCrowd[0]; ++i) {
        NetMessage m;
        m.type = MSG_SPAWN;
        NetStream& s = m.payload;
        const uint8_t padding[3] = {0, 0, 0};
        s.WriteU32(kFirstCrowdUid + uint32_t(i));
        s.WriteI32(kCrowd[i]);
        s.WriteF32(float(kCrowdTiles[i].column * 32));
        s.WriteF32(float(kCrowdTiles[i].row * 32));
        s.WriteI32(DIR_DOWN);
        s.WriteU8(kCrowd[i] == 30 ? 0 : 1);
        s.Write(padding, 3);
        peer->SendMessage(&m);
    }
}

void NetFuzzGame::Frame()
{
    app->Update();
    app->world->RenderFrame();
    app->WaitUntil(app->GetPreciseTicks() + 1000.0 / 60.0);
}

void NetFuzzGame::Feed(const uint8_t* data, size_t size)
{
    InProcessPipe* pipe = ToApp();
    if (!app || !pipe)
        return;
    pipe->Inject(data, size);
    if (app->session)
        app->session->Update();
    for (int i = 0; i < kFrames; ++i) Frame();
}

void NetFuzzGame::Stop()
{
    if (app) {
        // The entities go before the session they hold.
        if (app->world)
            app->world->GetEntityList().Clear();
        app.reset();
    }
    peer.reset();
    network.reset();
}
