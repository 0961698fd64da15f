#include <cmath>

#include "engine/QuillApp.h"
#include "engine/QuillLogger.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

constexpr int kProbeCount = 4;

// The lower half of the box, 2 pixels in from each side, in tile units: feet
// decide where the hero fits, so its head may overlap a wall above.
void ProbePoints(const Vec2& p, Vec2 (&out)[kProbeCount])
{
    out[0] = Vec2((p.x + 2.0f) / 32.0f, (p.y + 16.0f) / 32.0f);
    out[1] = Vec2((p.x + 30.0f) / 32.0f, (p.y + 31.0f) / 32.0f);
    out[2] = Vec2((p.x + 30.0f) / 32.0f, (p.y + 16.0f) / 32.0f);
    out[3] = Vec2((p.x + 2.0f) / 32.0f, (p.y + 31.0f) / 32.0f);
}

// A map cell index from a coordinate in tile units; false when it is not a
// usable number (the map then reads as blocked).
bool CellOf(float v, int& out)
{
    if (!std::isfinite(v) || std::fabs(v) > 1.0e7f)
        return false;
    out = int(std::floor(v));
    return true;
}

bool IsLockedDoorTile(int tile)
{
    return tile >= 136 && tile <= 141;
}

// The door a locked tile belongs to when walking that way, or 0.
int DoorForTile(int dir, int tile)
{
    switch (dir) {
        case DIR_UP:
            return tile == 136 || tile == 137 ? 1 : 0;
        case DIR_DOWN:
            return tile == 138 || tile == 139 ? 2 : 0;
        case DIR_LEFT:
            return tile == 141 ? 4 : 0;
        case DIR_RIGHT:
            return tile == 140 ? 3 : 0;
        default:
            return 0;
    }
}

}  // namespace

void Tavin::Walk(int dir)
{
    if (cooldown != 0.0f || state != STATE_NORMAL)
        return;
    SetDirection(dir);
    // Set before the test so that a push-block hears the way it is pushed.
    moveDirection = dir;
    const float step = speed * EngineFrameTime();
    Vec2 target = position;
    switch (dir) {
        case DIR_UP:
            target.y -= step;
            target.x = float(SnapX(16));
            break;
        case DIR_DOWN:
            target.y += step;
            target.x = float(SnapX(16));
            break;
        case DIR_LEFT:
            target.x -= step;
            target.y = float(SnapY(16));
            break;
        default:
            target.x += step;
            target.y = float(SnapY(16));
            break;
    }
    if (CanMoveTo(target)) {
        SetPosition(target);
        animate = true;
    } else {
        TryUnlockDoor(dir, target);
    }
    frameCount = 2.0f;
}

void Tavin::TryUnlockDoor(int dir, const Vec2& target)
{
    const int door = DoorForTile(dir, FindDoorTile(target));
    if (door == 0 || !renderer || !UseKey())
        return;
    renderer->OpenDoor(door, -1, -1);
    SendDoorOpened(session, door, screen);
}

bool Tavin::CanMoveTo(const Vec2& target)
{
    if (!renderer)
        return false;
    Vec2 probes[kProbeCount];
    ProbePoints(target, probes);
    for (const Vec2& p : probes) {
        int column, row;
        if (!CellOf(p.x, column) || !CellOf(p.y, row) || renderer->IsPointBlocked(p))
            return false;
        // Off the left or top edge there is no map; truncation alone would
        // fold those points onto the first column or row.
        if (column < 0 || row < 0)
            return false;
    }
    const int left = int(std::trunc(target.x + 4.0f)), top = int(std::trunc(target.y + 16.0f));
    const int right = int(std::trunc(target.x + 28.0f)), bottom = int(std::trunc(target.y + 30.0f));
    EntityList& list = renderer->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        Entity* e = list.Get(i);
        if (!e || !e->isPushable)
            continue;
        const int eLeft = int(std::trunc(e->position.x)), eTop = int(std::trunc(e->position.y));
        const int eRight = int(std::trunc(e->position.x + float(e->width)));
        const int eBottom = int(std::trunc(e->position.y + float(e->height)));
        if (left < eRight && eLeft < right && top < eBottom && eTop < bottom) {
            int32_t none = 0;
            e->SendEvent(14, &moveDirection, &none);
            return false;
        }
    }
    return true;
}

int Tavin::FindDoorTile(const Vec2& target)
{
    if (!renderer)
        return -1;
    Vec2 probes[kProbeCount];
    ProbePoints(target, probes);
    for (const Vec2& p : probes) {
        int column, row;
        if (!CellOf(p.x, column) || !CellOf(p.y, row))
            continue;
        const int tileNumber = renderer->GetMapTile(column, row, 0);
        if (IsLockedDoorTile(tileNumber))
            return tileNumber;
    }
    return -1;
}

bool Tavin::UseKey()
{
    --keys;
    if (keys >= 0)
        return true;
    keys = 0;
    return false;
}

void Tavin::CheckStairsTile()
{
    int column, row;
    if (!renderer || !CellOf(tile.x, column) || !CellOf((position.y + 30.0f) / 32.0f, row))
        return;
    if (renderer->GetMapTile(column, row, 0) != kStairsTile) {
        onStairs = false;
        return;
    }
    // Arriving from below marks the tile, so only stepping off and back on
    // takes the hero down.
    if (onStairs)
        return;
    SendEvent(EVENT_STAIRS_DOWN, nullptr, nullptr);
    SetPosition(Vec2(std::floor((position.x + 16.0f) / 32.0f) * 32.0f, float(row) * 32.0f));
}

void Tavin::TickGoingDown(float dt)
{
    frameBase = kWalkFrames[DIR_UP];
    frameCount = 2.0f;
    stairsOffset -= kStairsDepth * dt;
    Animate();
    if (stairsOffset > 0.0f)
        return;
    state = STATE_NORMAL;
    stairsOffset = kStairsDepth;
    LandAtStairsTarget();
}

void Tavin::TickComingUp(float dt)
{
    if (IsLocal())
        StopSound(SND_MUSIC_DUNGEON);
    frameBase = kWalkFrames[DIR_DOWN];
    frameCount = 2.0f;
    stairsOffset += kStairsDepth * dt;
    Animate();
    if (stairsOffset < kStairsDepth)
        return;
    state = STATE_NORMAL;
    stairsOffset = kStairsDepth;
    if (IsLocal())
        PlaySound(SND_MUSIC_OVERWORLD);
}

void Tavin::LandAtStairsTarget()
{
    int sx, sy;
    if (!renderer || !CellOf(screen.x, sx) || !CellOf(screen.y, sy))
        return;
    const int32_t target = renderer->GetScreenInfo(sx, sy)->stairsTarget;
    // Tile 0 is the map's corner and marks a screen without stairs ("d" can
    // be pressed anywhere); a broken map must not throw the hero out of the
    // world either. Stay, marked so that standing there does not loop.
    if (target <= 0 || target >= MapFormat::kColumns * MapFormat::kRows) {
        Quill::Logger()->Log(
            "Tavin: stairs of screen (%d, %d) lead to tile %d, not a place in the map; staying", sx, sy,
            int(target));
        onStairs = true;
        if (IsLocal())
            PlaySound(SND_MUSIC_OVERWORLD);
        return;
    }
    PushReturnPoint(tile.x, tile.y);
    SetPosition(Vec2(float(target % MapFormat::kColumns) * 32.0f + 16.0f,
                     float(target / MapFormat::kColumns) * 32.0f));
    if (IsLocal() && Quill::g_quill)
        Quill::g_quill->OnEvent(1, 0);
}
