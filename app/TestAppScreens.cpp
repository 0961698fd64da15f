#include <cmath>
#include <cstdlib>

#include "app/SpawnTable.h"
#include "app/TestApp.h"
#include "engine/QuillLogger.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace {

constexpr int kPushBlockMarker = 16;
constexpr int kPushBlockType = 30;
constexpr int kWatchedMarkerCell = 20596;  // column 116, row 80: logged when populating

bool IsFreeSpawnTile(int tile)
{
    switch (tile) {
        case 0:
        case 16:
        case 32:
        case 64:
        case 145:
        case 160:
        case 161:
            return true;
        default:
            return false;
    }
}

}  // namespace

// The screen a hero is in, rounding its position to the nearest tile first.
Vec2 CTestApp::PlayerScreen(Entity* player)
{
    Vec2 p = player->GetPosition();
    return {std::floor(((p.x - 16.0f) / 32.0f + 1.0f) / 16.0f),
            std::floor(((p.y - 16.0f) / 32.0f + 1.0f) / 11.0f)};
}

void CTestApp::UpdateScreen()
{
    if (!localPlayer || !world)
        return;
    Vec2 p = localPlayer->GetPosition();
    const int sx = int(std::trunc(((p.x - 16.0f) / 32.0f + 1.0f) / 16.0f));
    const int sy = int(std::trunc(((p.y - 16.0f) / 32.0f + 1.0f) / 11.0f));

    auto startScroll = [this](int dx, int dy, float fraction, int pushDirection) {
        scrolling = true;
        screenX += dx;
        screenY += dy;
        if (dx != 0)
            scrollX = fraction;
        else
            scrollY = fraction;
        localPlayer->SetPushDistance(8);
        localPlayer->SetPushDirection(pushDirection);
        localPlayer->SetScreen(float(screenX), float(screenY));
    };

    if (!scrolling && sx < screenX)
        startScroll(-1, 0, 1.0f, DIR_LEFT);
    if (!scrolling && sx > screenX)
        startScroll(1, 0, -1.0f, DIR_RIGHT);
    if (!scrolling && sy < screenY)
        startScroll(0, -1, 1.0f, DIR_UP);
    if (!scrolling && sy > screenY) {
        if (world->GetScreenInfo(screenX, screenY)->exitSouthReturns != 0) {
            // Leaving a dungeon's entry room southwards climbs back up the stairs.
            Vec2 back = localPlayer->PopReturnPoint();
            localPlayer->SetPosition(Vec2(back.x * 32.0f, back.y * 32.0f));
            localPlayer->SendEvent(13, nullptr, nullptr);
            OnEvent(1, 0);
            return;
        }
        startScroll(0, 1, -1.0f, DIR_DOWN);
    }

    if (scrolling) {
        const float step = 2.0f * GetTimeKey();
        bool ended = false;
        auto settle = [&](float& fraction) {
            if (fraction < 0.0f) {
                fraction += step;
                if (fraction >= 0.0f) {
                    fraction = 0.0f;
                    ended = true;
                }
            } else if (fraction > 0.0f) {
                fraction -= step;
                if (fraction <= 0.0f) {
                    fraction = 0.0f;
                    ended = true;
                }
            }
        };
        settle(scrollX);
        settle(scrollY);
        if (ended && scrollX == 0.0f && scrollY == 0.0f) {
            scrolling = false;
            localPlayer->flashTime = 0.0f;
            localPlayer->flashing = true;
            if (isServer)
                PopulateScreen(screenX, screenY, false);
            else
                SendScreenEntered(session, Vec2(float(screenX), float(screenY)));
        }
    }
    world->SetView(screenX, screenY, scrollX, scrollY);
}

void CTestApp::UpdateActivity()
{
    if (!world || !localPlayer)
        return;
    frameParity = !frameParity;
    const Vec2 s1 = PlayerScreen(localPlayer.get());
    const bool hasRemote = bool(remotePlayer);
    const Vec2 s2 = hasRemote ? PlayerScreen(remotePlayer.get()) : Vec2(-1000.0f, -1000.0f);
    activeCount = 0;
    EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        Entity* e = list.Get(i);
        if (!isServer) {
            if (!e->isPlayer && e->dead) {
                list.RemoveAt(i);
                --i;
            }
            continue;
        }
        e->active = false;
        if (e == remotePlayer.get() || e->localOnly)
            continue;
        if (e == localPlayer.get()) {
            e->active = true;
            ++activeCount;
            continue;
        }
        if (hasRemote && e->GetScreen() == s2) {
            if ((i % 2 == 0) == frameParity) {
                e->active = true;
                ++activeCount;
            }
            continue;
        }
        if ((!e->transient && e->dead) || (e->GetScreen() != s1 && !e->transient && !e->isPlayer)) {
            SendRemove(session, e->GetUID());
            list.RemoveAt(i);
            --i;
        }
    }
}

void CTestApp::CheckRoomCleared()
{
    if (!world || !localPlayer)
        return;
    const Vec2 s1 = PlayerScreen(localPlayer.get());
    OpenClearedDoors(s1);
    // The joining player's room is cleared on the host as well: a client
    // never decides this itself and would be shut in.
    if (remotePlayer) {
        const Vec2 s2 = PlayerScreen(remotePlayer.get());
        if (!(s2 == s1) && s2 == peerScreenFilled)
            OpenClearedDoors(s2);
    }
}

void CTestApp::OpenClearedDoors(Vec2 s)
{
    const int sx = int(s.x), sy = int(s.y);
    if (!world->IsScreenInGrid(sx, sy))
        return;
    ScreenInfo* info = world->GetScreenInfo(sx, sy);
    bool waitsForClear = false;
    for (int d = 0; d < 4; ++d) waitsForClear = waitsForClear || info->doors[d] == MapFormat::DOOR_CLEAR;
    if (!waitsForClear)
        return;
    EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        Entity* e = list.Get(i);
        // A dead enemy waits for the world to drop it, but no longer holds the doors.
        if (e->isEnemy && !e->dead && e->GetScreen() == s)
            return;
    }
    // East, west, north, south; door numbers 3, 4, 1, 2.
    const int order[4][2] = {{MapFormat::DOOR_EAST, 3},
                             {MapFormat::DOOR_WEST, 4},
                             {MapFormat::DOOR_NORTH, 1},
                             {MapFormat::DOOR_SOUTH, 2}};
    for (const auto& door : order) {
        if (info->doors[door[0]] != MapFormat::DOOR_CLEAR)
            continue;
        world->OpenDoor(door[1], sx, sy);
        SendDoorOpened(session, door[1], s);
    }
}

void CTestApp::PopulateScreen(int sx, int sy, bool forPeer)
{
    if (!world || !world->IsScreenInGrid(sx, sy))
        return;
    auto heroScreen = [](Entity* hero) {
        Vec2 p = hero->GetPosition();
        return Vec2(std::floor(std::floor((p.x + 16.0f) / 32.0f) / 16.0f),
                    std::floor(std::floor((p.y + 16.0f) / 32.0f) / 11.0f));
    };
    const Vec2 screen{float(sx), float(sy)};
    // Only the screen the peer's hero stands on is filled for him.
    if (forPeer && (!remotePlayer || heroScreen(remotePlayer.get()) != screen))
        return;
    if (forPeer)
        peerScreenFilled = screen;
    if (!forPeer && remotePlayer && heroScreen(remotePlayer.get()) == screen)
        return;
    if (forPeer && localPlayer && heroScreen(localPlayer.get()) == screen)
        return;
    // A screen still holding what it was filled with is not filled again: a
    // peer reporting its screen over and over would stack enemies for ever.
    if (forPeer) {
        const EntityList& list = world->GetEntityList();
        for (int i = 0; i < list.Count(); ++i) {
            Entity* e = list.Get(i);
            if ((e->isEnemy || e->isPushable) && !e->isPlayer && e->GetScreen() == screen)
                return;
        }
    }

    // Copied: spawning may not change the record, but the map stays the source.
    const ScreenInfo info = *world->GetScreenInfo(sx, sy);
    // A checked world never asks for more than the spawn area's 12 x 7 tiles;
    // a broken record could ask for thousands and stall every frame.
    constexpr int kMaxSpawns = 12 * 7;
    int spawned = 0;
    for (int type = 0; type < MapFormat::kSpawnTypes && spawned < kMaxSpawns; ++type) {
        const int low = info.SpawnMin(type), high = info.SpawnMax(type);
        if (high <= 0)
            continue;
        if (low > high) {
            Quill::Logger()->Log(
                "screen (%d, %d): spawn type %d has minimum %d above maximum %d; nothing spawned", sx, sy,
                type, low, high);
            continue;
        }
        const int count = std::rand() % (high + 1 - low) + low;
        for (int n = 0; n < count; ++n) {
            if (spawned == kMaxSpawns) {
                Quill::Logger()->Log(
                    "screen (%d, %d): the spawn ranges ask for more than %d enemies; "
                    "no more are spawned",
                    sx, sy, kMaxSpawns);
                break;
            }
            Vec2 tile = RandomFreeTile(sx, sy);
            if (tile.x < 0.0f)
                break;
            Spawn(type, tile, -1);
            ++spawned;
        }
    }

    for (int c = 0; c < 16; ++c) {
        for (int r = 0; r < 11; ++r) {
            const int column = sx * 16 + c, row = sy * 11 + r;
            const int marker = world->GetMapTile(column, row, 1);
            if (marker == kPushBlockMarker)
                Spawn(kPushBlockType, Vec2(float(column), float(row)), -1);
            if (marker != 0)
                Quill::Logger()->Log("dirty tile");
            if (row * 256 + column == kWatchedMarkerCell)
                Quill::Logger()->Log("%d", marker);
        }
    }
}

Vec2 CTestApp::RandomFreeTile(int sx, int sy)
{
    for (int attempt = 0; attempt < kRandomTileAttempts; ++attempt) {
        const int column = std::rand() % 12 + sx * 16 + 2;
        const int row = std::rand() % 7 + sy * 11 + 2;
        if (IsFreeSpawnTile(world->GetMapTile(column, row, 0)))
            return Vec2(float(column), float(row));
    }
    Quill::Logger()->Log("screen (%d, %d): no free tile found for a spawn", sx, sy);
    return Vec2(-1.0f, -1.0f);
}

Entity* CTestApp::Spawn(int type, const Vec2& tile, int uid)
{
    if (!world)
        return nullptr;
    EntityRef<Entity> entity = SpawnTable::Game().Create(type, session);
    if (!entity)
        return nullptr;
    world->AddEntity(entity.get(), true);
    int column = int(std::trunc(tile.x)), row = int(std::trunc(tile.y));
    entity->SendEvent(11, &column, &row);
    entity->SetType(type);
    if (uid > -1) {
        entity->SetUID(uint32_t(uid));
    } else {
        entity->SetUID(uint32_t(nextUID));
        ++nextUID;
    }
    if (isServer && session && session->IsConnected())
        SendSpawn(session, entity.get());
    return entity.get();
}
