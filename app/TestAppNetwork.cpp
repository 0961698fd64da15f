#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/TestApp.h"
#include "engine/QuillLogger.h"
#include "items/Boomerang.h"
#include "items/Pickup.h"
#include "items/Pushblock.h"
#include "net/GameMessages.h"
#include "net/NetSession.h"
#include "net/NetTrace.h"
#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"
#include "world/MapFormat.h"

namespace {

// Every copy of the game carries the same password, so any two copies
// authenticate each other; it keeps strangers' programs out of the game.
constexpr char kSessionPassword[] = "4718295036612874093517268430195";
static_assert(sizeof kSessionPassword == NetSession::kPasswordBytes, "31 digits and the terminating zero");

constexpr double kNetTickSeconds = 0.0166;
constexpr int kHostStartColumn = 120, kHostStartRow = 83;
constexpr int kGuestStartColumn = 118, kGuestStartRow = 83;
constexpr int32_t kMaxPushDistance = 256;

bool Finite(Vec2 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// A peer's bytes must not break the log into false lines.
std::string Printable(std::string text)
{
    for (char& c : text)
        if (c < 32 || c > 126)
            c = '.';
    return text;
}

// Whether a screen a peer names can be turned into whole numbers at all;
// the grid test comes after.
bool ScreenFits(Vec2 s)
{
    return Finite(s) && std::fabs(s.x) < 65536.0f && std::fabs(s.y) < 65536.0f;
}

bool ValidDirection(int32_t d)
{
    return d >= 0 && d <= 3;
}

// Hits also come from boomerangs thrown on the diagonals.
bool ValidHitDirection(int32_t d)
{
    return d >= 0 && d <= 7;
}

}  // namespace

const char* CTestApp::SessionPassword()
{
    return kSessionPassword;
}

void CTestApp::UseSocketSys(std::unique_ptr<ISocketSys> sys)
{
    pendingSockets = std::move(sys);
}

bool CTestApp::StartNetwork()
{
    const Quill::RunOptions& options = GetRunOptions();
    ownedSession = std::make_unique<NetSession>(kSessionPassword, playerName);
    session = ownedSession.get();
    if (std::unique_ptr<ISocketSys> sockets = MakeSockets())
        session->UseSocketSys(std::move(sockets));
    if (recorder || replayer)
        session->SetClock([this] { return GameClock(); });
    session->SetPort(options.port);
    if (!options.netTrace.empty()) {
        netTrace = std::make_unique<NetTrace>();
        if (netTrace->Open(options.netTrace))
            session->SetTrace(netTrace.get());
    }
    session->SetAlertHandler([this](const char* text) { Message("Network error: %s", text); });
    if (!session->Init([this](const char* peer) { OnNetAuthenticated(peer); },
                       [this](NetMessage* m) { OnNetMessage(m); }, [this] { OnConnectionDropped(); })) {
        Quill::Logger()->Log("the network could not start");
        return false;
    }
    if (isServer) {
        if (!session->Host(false)) {
            isServer = false;
            Message("Cannot host a game on port %u: is another copy of the game running?",
                    unsigned(options.port));
            return false;
        }
        Quill::Logger()->Log("hosting on port %u as %s", unsigned(options.port), playerName);
        return true;
    }
    if (session->Connect(serverAddress, false)) {
        Quill::Logger()->Log("connected to %s:%u as %s", serverAddress, unsigned(options.port), playerName);
        return true;
    }
    // Nobody answered: this copy plays alone as its own host. The session
    // goes too, since entities would take a client's session for a client.
    ownedSession.reset();
    session = nullptr;
    isServer = true;
    connectFailed = true;
    return true;
}

void CTestApp::CreateLocalPlayer()
{
    const bool guest = !isServer;
    localPlayer = new Tavin(playerName, GetInputSystem(), session, guest ? "Tavin2" : "Tavin");
    localPlayer->SetUID(guest ? 1 : 0);
    if (guest)
        localPlayer->SetNetUpdated();
    world->AddEntity(localPlayer.get(), false);
    int column = guest ? kGuestStartColumn : kHostStartColumn;
    int row = guest ? kGuestStartRow : kHostStartRow;
    localPlayer->SendEvent(11, &column, &row);
    if (connectFailed)
        Message("Failed to connect to %s", serverAddress);
}

void CTestApp::NetworkTick()
{
    // On the fractional clock, as a schedule: frames paced at 1/60 s would
    // otherwise fall 16 ms apart on the millisecond count every third frame
    // and skip the tick, and the peer's copies would lag.
    const double now = GameClock(), period = kNetTickSeconds * 1000.0;
    if (now < lastNetTick + period)
        return;
    lastNetTick = std::max(lastNetTick + period, now - period);
    SendPlayerUpdate();
    if (isServer)
        SendEntityStates();
}

void CTestApp::SendPlayerUpdate()
{
    if (!session || !localPlayer)
        return;
    NetMessage m;
    m.type = MSG_HERO_UPDATE;
    NetStream& s = m.payload;
    WriteVec2(s, localPlayer->GetPosition());
    s.WriteI32(localPlayer->GetDirection());
    s.WriteF32(localPlayer->GetHealth());
    if (isServer) {
        for (Tavin* hero : {localPlayer.get(), remotePlayer.get()}) {
            if (!hero)
                continue;
            const Boomerang* held = hero->GetBoomerang(hero->boomerangIndex);
            WriteVec2(s, hero->HeldBoomerangPosition());
            s.WriteU8(held && held->IsVisible() ? 1 : 0);
        }
    }
    session->SendMessage(&m);
}

void CTestApp::SendEntityStates()
{
    if (activeCount == 0 || !world)
        return;
    const EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count() && session && session->IsConnected(); ++i) {
        Entity* e = list.Get(i);
        if (!e->active || e->localOnly || e->isPlayer)
            continue;
        NetMessage m;
        m.type = MSG_ENTITY_STATE;
        m.payload.WriteU32(1);
        e->WriteState(&m.payload);
        session->SendMessage(&m);
    }
    activeCount = 0;
}

void CTestApp::OnNetAuthenticated(const char* peerName)
{
    std::snprintf(remoteName, sizeof remoteName, "%s", Printable(peerName).c_str());
    if (isServer)
        Quill::Logger()->Log("%s joined", remoteName);
    else
        Quill::Logger()->Log("joined %s", remoteName);
    Message(isServer ? "%s joined the game" : "Joined %s's game", remoteName);
    if (isServer)
        TellNewcomer();
    if (!remotePlayer && departedPlayer) {
        // The same hero comes back, as it was when the link went.
        remotePlayer = departedPlayer;
        departedPlayer.reset();
        std::snprintf(remotePlayer->playerName, sizeof remotePlayer->playerName, "%s", remoteName);
        world->AddEntity(remotePlayer.get(), false);
        remotePlayer->SetState(1);
        remotePlayer->SetNetUpdated();
        return;
    }
    if (remotePlayer)
        return;
    const bool peerHosts = !isServer;
    remotePlayer = new Tavin(remoteName, GetInputSystem(), session, peerHosts ? "Tavin" : "Tavin2");
    remotePlayer->SetUID(peerHosts ? 0 : 1);
    remotePlayer->SetNetUpdated();
    remotePlayer->SetRemote(true);
    world->AddEntity(remotePlayer.get(), false);
    int column = peerHosts ? kHostStartColumn : kGuestStartColumn;
    int row = peerHosts ? kHostStartRow : kGuestStartRow;
    remotePlayer->SendEvent(11, &column, &row);
}

void CTestApp::TellNewcomer()
{
    // A player who joins late would otherwise miss what was spawned and
    // opened before: enemies on the host's screen stay invisible to him, and
    // doors the host opened stay shut in his world.
    const EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        Entity* e = list.Get(i);
        if (!e->localOnly && !e->isPlayer && !e->dead)
            SendSpawn(session, e);
    }
    for (const KarskRenderer::OpenedDoor& d : world->OpenedDoors())
        SendDoorOpened(session, d.door, Vec2(float(d.sx), float(d.sy)));
}

void CTestApp::OnConnectionDropped()
{
    // A send can fail in the middle of the world's tick, so the world is
    // changed at the start of the next frame, not here.
    if (!shuttingDown)
        peerDropped = true;
}

void CTestApp::ApplyConnectionDropped()
{
    if (!peerDropped)
        return;
    peerDropped = false;
    Quill::Logger()->Log("Connection Dropped");
    peerScreenFilled = Vec2(-1000.0f, -1000.0f);
    if (remotePlayer) {
        Message("%s left the game", remoteName);
        world->GetEntityList().Remove(remotePlayer.get());
        departedPlayer = remotePlayer;
        remotePlayer.reset();
    }
    if (isServer)
        return;
    // Without its host a client's enemies would stand still for ever: the
    // copies go, and this copy goes on as its own host.
    EntityList& list = world->GetEntityList();
    for (int i = list.Count() - 1; i >= 0; --i) {
        Entity* e = list.Get(i);
        if (!e->isPlayer && !e->localOnly)
            list.RemoveAt(i);
    }
    session->PlayAlone();
    isServer = true;
    PopulateScreen(screenX, screenY, false);
}

Entity* CTestApp::FindShared(uint32_t uid) const
{
    // Swords and boomerangs share their hero's uid but live on one machine.
    const EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        Entity* e = list.Get(i);
        if (e->GetUID() == uid && !e->localOnly)
            return e;
    }
    return nullptr;
}

void CTestApp::OnNetMessage(NetMessage* message)
{
    if (!message || !world)
        return;
    NetStream& s = message->payload;
    const int32_t type = message->type;
    if (isServer && type != MSG_HERO_UPDATE && type != MSG_SCREEN_ENTERED && type != MSG_HIT &&
        type != MSG_SWORD_PRESSED && type != MSG_DOOR_OPENED && type != MSG_ITEM_PRESSED) {
        std::string raw(reinterpret_cast<const char*>(s.GetData()), s.GetLength());
        raw.erase(std::find(raw.begin(), raw.end(), '\0'), raw.end());  // shown up to the first zero, as text
        const std::string text = Printable(std::move(raw));
        Quill::Logger()->Log("Server received unauthorized net message:");
        Quill::Logger()->Log("type: %d", int(type));
        Quill::Logger()->Log("data: %s", text.c_str());
    }
    switch (type) {
        case MSG_HERO_UPDATE:
            return OnHeroUpdate(s);
        case MSG_SCREEN_ENTERED: {
            Vec2 screen;
            if (!ReadVec2(s, screen) || !ScreenFits(screen) ||
                !world->IsScreenInGrid(int(screen.x), int(screen.y)))
                return Quill::Logger()->Log("ignored a screen-entered message outside the world"), void();
            if (isServer)
                PopulateScreen(int(screen.x), int(screen.y), true);
            return;
        }
        case MSG_ENTITY_STATE:
            return OnEntityStates(s);
        case MSG_SPAWN:
            return OnSpawn(s);
        case MSG_REMOVE: {
            uint32_t uid = 0;
            Entity* e = s.ReadU32(uid) ? FindShared(uid) : nullptr;
            if (e && !e->isPlayer)
                world->GetEntityList().Remove(e);
            return;
        }
        case MSG_CHAT: {
            uint32_t length = 0;
            if (!s.ReadU32(length))
                return;
            std::string text(reinterpret_cast<const char*>(s.GetData()) + 4, s.GetLength() - 4);
            text = Printable(text.substr(0, std::min<size_t>(length, text.size())).c_str());
            Quill::Logger()->Log("%s: %s", remoteName, text.c_str());
            return;
        }
        case MSG_HIT:
            return OnHit(s);
        case MSG_SWORD_PRESSED:
        case MSG_ITEM_PRESSED:
            if (remotePlayer) {
                remotePlayer->Animate();
                remotePlayer->SendEvent(type == MSG_SWORD_PRESSED ? 5 : 6, nullptr, nullptr);
            }
            return;
        case MSG_DEATH: {
            uint32_t uid = 0;
            Entity* e = s.ReadU32(uid) ? FindShared(uid) : nullptr;
            if (e && !e->isPlayer)
                e->Dead();
            return;
        }
        case MSG_ENEMY_EVENT: {
            uint32_t uid = 0;
            int32_t direction = 0, zero = 0;
            if (!s.ReadU32(uid) || !s.ReadI32(direction) || !ValidDirection(direction))
                return;
            Entity* e = FindShared(uid);
            if (e && e->isEnemy)
                e->SendEvent(5, &direction, &zero);
            return;
        }
        case MSG_DOOR_OPENED: {
            int32_t door = 0;
            Vec2 screen;
            if (s.ReadI32(door) && ReadVec2(s, screen) && ScreenFits(screen) &&
                world->IsScreenInGrid(int(screen.x), int(screen.y)))
                world->OpenDoor(door, int(std::trunc(screen.x)), int(std::trunc(screen.y)));
            return;
        }
        case MSG_PICKUP_DROP:
            return OnPickupDrop(s);
        case MSG_PUSHBLOCK_MOVED: {
            uint32_t uid = 0;
            int32_t value = 0;
            if (!s.ReadU32(uid) || !s.ReadI32(value) || !ValidDirection(value))
                return;
            Entity* e = FindShared(uid);
            if (e && e->isPushable)
                static_cast<Pushblock*>(e)->Push(value);
            return;
        }
        default:
            return;
    }
}

void CTestApp::OnHeroUpdate(NetStream& s)
{
    if (!remotePlayer)
        return;
    Vec2 position;
    int32_t direction = 0;
    float health = 0.0f;
    if (!ReadVec2(s, position) || !s.ReadI32(direction) || !s.ReadF32(health))
        return;
    if (!IsPlaceOnMap(position) || !ValidDirection(direction) || !std::isfinite(health)) {
        Quill::Logger()->Log("ignored a hero update with an impossible place, direction or health");
        return;
    }
    if (!isServer) {
        for (Tavin* hero : {remotePlayer.get(), localPlayer.get()}) {
            Vec2 place;
            uint8_t visible = 0;
            if (!ReadVec2(s, place) || !s.ReadU8(visible))
                break;
            Boomerang* held = hero->GetBoomerang(hero->boomerangIndex);
            if (held && IsPlaceOnMap(place)) {
                held->SetPosition(place);
                held->visible = visible != 0;
            }
        }
    }
    remotePlayer->SetHealth(health);
    const Vec2 was = remotePlayer->GetPosition();
    if (was.x != position.x || was.y != position.y)
        remotePlayer->Animate();
    remotePlayer->SetPosition(position);
    remotePlayer->SetDirection(direction);
}

void CTestApp::OnEntityStates(NetStream& s)
{
    uint32_t count = 0;
    if (!s.ReadU32(count))
        return;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t base[24];
        if (!s.Peek(base, sizeof base))
            return;
        const uint32_t uid =
            uint32_t(base[0]) | uint32_t(base[1]) << 8 | uint32_t(base[2]) << 16 | uint32_t(base[3]) << 24;
        Entity* e = FindShared(uid);
        if (!e || e->isPlayer) {
            // Its record's length is unknown, so nothing after it can be read.
            Quill::Logger()->Log("entity not found: %d", int(uid));
            return;
        }
        if (!e->ReadState(&s))
            return;
        e->Animate();
        e->SetNetUpdated();
    }
}

void CTestApp::OnSpawn(NetStream& s)
{
    uint32_t uid = 0;
    int32_t type = 0;
    Vec2 position;
    if (!s.ReadU32(uid) || !s.ReadI32(type) || !ReadVec2(s, position))
        return;
    if (!IsPlaceOnMap(position) || uid < 2 || uid > uint32_t(INT32_MAX)) {
        Quill::Logger()->Log("ignored a spawn of type %d, uid %u at an impossible place or with a hero's uid",
                             int(type), unsigned(uid));
        return;
    }
    if (FindShared(uid)) {
        Quill::Logger()->Log("ignored a second spawn of uid %u", unsigned(uid));
        return;
    }
    const Vec2 tile(std::trunc(position.x / 32.0f), std::trunc(position.y / 32.0f));
    if (Entity* e = Spawn(type, tile, int(uid)))
        e->SetRemote(true);
}

void CTestApp::OnHit(NetStream& s)
{
    uint32_t uid = 0;
    Vec2 position;
    float amount = 0.0f, flashTime = 0.0f;
    int32_t direction = 0, pushDistance = 0;
    if (!s.ReadU32(uid) || !ReadVec2(s, position) || !s.ReadF32(amount) || !s.ReadF32(flashTime) ||
        !s.ReadI32(direction) || !s.ReadI32(pushDistance))
        return;
    Entity* e = FindShared(uid);
    if (!e)
        return;
    if (!IsPlaceOnMap(position) || !std::isfinite(amount) || !std::isfinite(flashTime) ||
        !ValidHitDirection(direction)) {
        Quill::Logger()->Log("ignored a hit on uid %u with impossible values", unsigned(uid));
        return;
    }
    e->SetPosition(position);
    e->TakeDamage(amount, direction, nullptr);
    e->flashTime = flashTime;
    e->flashing = true;
    if (e->isPlayer) {
        e->SetPushDirection(direction);
        // A knock-back, not a journey across the map.
        e->SetPushDistance(std::clamp(pushDistance, 0, kMaxPushDistance));
        if (e->inView)
            PlaySound(SND_HURT);
    }
}

void CTestApp::OnPickupDrop(NetStream& s)
{
    int32_t kind = 0;
    Vec2 position;
    float lifetime = 0.0f;
    if (!s.ReadI32(kind) || !ReadVec2(s, position) || !s.ReadF32(lifetime) || !localPlayer)
        return;
    if (!IsPlaceOnMap(position) || !std::isfinite(lifetime) || lifetime < 0.0f) {
        Quill::Logger()->Log("ignored a pickup drop at an impossible place or with an impossible lifetime");
        return;
    }
    EntityRef<Pickup> pickup = localPlayer->SpawnPickup(kind);
    pickup->Place(position, lifetime);
    world->AddEntity(pickup.get(), false);
    Quill::Logger()->Log("pickup spawned: %d (%f, %f) life: %f", int(kind), double(position.x),
                         double(position.y), double(lifetime));
}
