#include "items/Pushblock.h"

#include <cmath>

#include "net/GameMessages.h"
#include "net/NetStream.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

// Door numbers 1..4 are north, south, east, west, as the record stores them.
constexpr int kDoorCount = 4;

}  // namespace

Entity* CreatePushblock(NetSession* session)
{
    return new Pushblock(session);
}

Pushblock::Pushblock(NetSession* session) : Entity(session)
{
    isEnemy = false;
    hurtsOnTouch = false;
    isPushable = true;
    if (renderer)
        sprite = renderer->GetSpriteType("PushStone");
    frameBase = 0;
    frameCount = 1.0f;
    frameRate = 0.0f;
    position = Vec2(0.0f, 0.0f);
    speed = kSlideSpeed;
    health = -1.0f;
    spawnDelay = 0.0f;
    SetState(STATE_RESTING);
    SetName("Pushblock");
}

void Pushblock::SendEvent(int event, void* arg1, void* arg2)
{
    switch (event) {
        case EVENT_PLACE: {
            if (!arg1 || !arg2)
                return;
            const int32_t column = *static_cast<const int32_t*>(arg1);
            const int32_t row = *static_cast<const int32_t*>(arg2);
            SetPosition(Vec2(float(column) * kTileSize, float(row) * kTileSize));
            SetState(STATE_RESTING);
            return;
        }
        case EVENT_PUSHED: {
            if (!arg1 || moved)
                return;
            pushTime += EngineFrameTime();
            if (pushTime > kPushTime) {
                Push(*static_cast<const int32_t*>(arg1));
                pushTime = 0.0f;
            }
            pushedThisTick = true;
            return;
        }
        default:
            return;
    }
}

void Pushblock::Push(int dir)
{
    if (moved)
        return;
    destination = position;
    switch (dir) {
        case DIR_UP:
            destination.y -= kTileSize;
            break;
        case DIR_DOWN:
            destination.y += kTileSize;
            break;
        case DIR_LEFT:
            destination.x -= kTileSize;
            break;
        case DIR_RIGHT:
            destination.x += kTileSize;
            break;
        default:
            break;
    }
    // Only the marker layer decides where a block may go.
    const Vec2 cell = TileOfPosition(destination);
    const int marker = renderer ? renderer->GetMapTile(int(cell.x), int(cell.y), 1) : -1;
    if (marker != 0) {
        destination = position;
        return;
    }
    moved = true;
    PlaySound(SND_SECRET);
    SetDirection(dir);
    SetState(STATE_SLIDING);
    SendPushblockMoved(session, uid, dir);
    OpenPushDoor();
}

void Pushblock::OpenPushDoor()
{
    if (!renderer)
        return;
    // The block's own room: with two heroes it need not be the one on screen.
    const Vec2 room = GetScreen();
    if (!renderer->IsScreenInGrid(int(room.x), int(room.y)))
        return;
    const ScreenInfo* info = renderer->GetScreenInfo(int(room.x), int(room.y));
    int door = 0;
    // The last waiting door in record order wins.
    for (int i = 0; i < kDoorCount; ++i)
        if (info->doors[i] == MapFormat::DOOR_PUSH)
            door = i + 1;
    if (door != 0)
        renderer->OpenDoor(door, int(room.x), int(room.y));
}

void Pushblock::Dead()
{
    if (dead || state == 0)
        return;
    Entity::Dead();
}

void Pushblock::Tick(float dt)
{
    Entity::Tick(dt);
    // Pushing must go on from tick to tick, or it starts over: on a client
    // too, where the joining hero pushes the copy of the block.
    if (pushedThisTick)
        pushedThisTick = false;
    else
        pushTime = 0.0f;
    // The host slides the block; a client follows its records.
    if (!IsHost(session))
        return;
    if (state == STATE_RESTING)
        animate = false;
    else if (state == STATE_SLIDING)
        Slide(dt);
}

void Pushblock::Slide(float dt)
{
    const float step = speed * dt;
    bool arrived = false;
    switch (direction) {
        case DIR_DOWN:
            arrived = step > destination.y - position.y;
            position.y = arrived ? destination.y : position.y + step;
            break;
        case DIR_LEFT:
            arrived = step > position.x - destination.x;
            position.x = arrived ? destination.x : position.x - step;
            break;
        case DIR_RIGHT:
            arrived = step > destination.x - position.x;
            position.x = arrived ? destination.x : position.x + step;
            break;
        default:
            arrived = step > position.y - destination.y;
            position.y = arrived ? destination.y : position.y - step;
            break;
    }
    if (arrived) {
        SetState(STATE_RESTING);
        moved = true;
    }
    moveDirection = direction;
    animate = false;
}

bool Pushblock::WriteState(NetStream* s)
{
    if (!Entity::WriteState(s))
        return false;
    return s->WriteF32(destination.x) && s->WriteF32(destination.y) && s->WriteI32(frameBase) &&
           s->WriteF32(frame) && s->WriteF32(spawnDelay) && s->WriteF32(speed) && s->WriteU8(moved ? 1 : 0);
}

bool Pushblock::ReadState(NetStream* s)
{
    if (!Entity::ReadState(s))
        return false;
    float dx, dy, f, delay, v;
    int32_t base;
    uint8_t movedByte;
    // Values the block cannot use (not a number, a destination off the map,
    // a frame or speed out of range) are read past and left as they were.
    if (!s->ReadF32(dx) || !s->ReadF32(dy))
        return false;
    if (IsPlaceOnMap(Vec2(dx, dy)))
        destination = Vec2(dx, dy);
    if (!s->ReadI32(base))
        return false;
    if (base >= 0 && base < kMaxRecordFrame)
        frameBase = base;
    if (!s->ReadF32(f))
        return false;
    if (std::isfinite(f) && f >= 0.0f && f < float(kMaxRecordFrame))
        frame = f;
    if (!s->ReadF32(delay))
        return false;
    if (std::isfinite(delay))
        spawnDelay = delay;
    if (!s->ReadF32(v))
        return false;
    if (std::isfinite(v) && v >= 0.0f && v <= kMaxRecordSpeed)
        speed = v;
    if (!s->ReadU8(movedByte))
        return false;
    moved = movedByte != 0;
    return true;
}
