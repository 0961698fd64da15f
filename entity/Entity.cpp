#include "entity/Entity.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/QuillApp.h"
#include "engine/QuillLogger.h"
#include "net/GameMessages.h"
#include "world/KarskRenderer.h"

namespace {

constexpr int kTileSize = 32;
constexpr int kScreenWidthPx = 512;
constexpr int kScreenHeightPx = 352;
constexpr int kHudHeightPx = 128;
constexpr int kMaxPushStep = 16;

// Tiles an ordinary walker may enter.
bool IsWalkableTile(int tile)
{
    switch (tile) {
        case 0:
        case 9:
        case 10:
        case 16:
        case 18:
        case 25:
        case 32:
        case 64:
        case 160:
        case 161:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool IsPlaceOnMap(Vec2 p)
{
    using namespace MapFormat;
    return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= -float(kTileSize) && p.y >= -float(kTileSize) &&
           p.x <= float(kColumns * kTileSize) && p.y <= float(kRows * kTileSize);
}

Vec2 TileOfPosition(Vec2 p)
{
    return {std::floor((p.x + 16.0f) / kTileSize), std::floor((p.y + 16.0f) / kTileSize)};
}

Vec2 ScreenOfTile(Vec2 t)
{
    return {std::floor(t.x / 16.0f), std::floor(t.y / 11.0f)};
}

float EngineFrameTime()
{
    return Quill::g_quill ? Quill::g_quill->GetTimeKey() : 1.0f / 60.0f;
}

Entity::Entity(NetSession* session) : session(session)
{
    renderer =
        (Quill::g_quill && Quill::g_quill->GetBaseRenderer()) ? Quill::g_quill->GetRenderer() : g_renderer;
}

void Entity::DeriveTileAndScreen()
{
    tile = TileOfPosition(position);
    screen = ScreenOfTile(tile);
}

void Entity::Render(int screenX, int screenY)
{
    if (!sprite || !visible || state == 0 || !renderer)
        return;
    int x = int(position.x) - screenX * kScreenWidthPx;
    int y = int(position.y) - screenY * kScreenHeightPx + kHudHeightPx;
    renderer->DrawSprite(sprite, int(frame) + frameBase, x, y, -1, -1);
}

void Entity::Tick(float dt)
{
    stateTime += dt;
    if (cooldown != 0.0f) {
        cooldown -= dt;
        if (cooldown < 0.0f)
            cooldown = 0.0f;
    }
    DeriveTileAndScreen();
    if (animate) {
        frame += dt * frameRate;
        // The overshoot is dropped so a wrapped animation restarts cleanly.
        if (frame >= frameCount)
            frame = 0.0f;
        animate = false;
    }
    if (flashing) {
        visible = !visible;
        if (flashTime != -1.0f) {
            flashTime -= dt;
            if (flashTime < 0.0f) {
                flashing = false;
                flashTime = 0.0f;
                visible = true;
            }
        }
    }
    ProcessPush();
}

void Entity::Move(const Vec2& delta)
{
    position = position + delta;
    DeriveTileAndScreen();
}

void Entity::SetPosition(const Vec2& p)
{
    position = p;
    DeriveTileAndScreen();
}

void Entity::SetTilePosition(const Vec2& t)
{
    tile = t;
    position = t * float(kTileSize);
}

void Entity::SetScreen(float x, float y)
{
    screen = Vec2(x, y);
}

void Entity::SetScreen(Vec2 s)
{
    screen = s;
}

void Entity::Dead()
{
    if (IsHost(session) && !localOnly)
        SendDeath(session, uid);
    dead = true;
    visible = false;
    localOnly = true;
    state = 0;
}

void Entity::ProcessPush()
{
    if (pushDirection == DIR_NONE || pushDistance <= 0) {
        pushDistance = 0;
        pushDirection = DIR_NONE;
        return;
    }
    int steps = kMaxPushStep;
    if (pushDistance < kMaxPushStep) {
        steps = pushDistance;
        pushDistance = 0;
    } else {
        pushDistance -= kMaxPushStep;
    }
    for (int i = 0; i < steps; ++i) {
        Vec2 p = position;
        Vec2 candidate = p;
        bool sameScreen;
        switch (pushDirection) {
            case 0:
                candidate.y -= 1.0f;
                sameScreen = std::trunc(p.y / kScreenHeightPx) == std::trunc(candidate.y / kScreenHeightPx);
                break;
            case 1:
                candidate.y += 1.0f;
                sameScreen = std::trunc(p.y / kScreenHeightPx) == std::trunc(candidate.y / kScreenHeightPx);
                break;
            case 2:
            case 5:
            case 7:
                candidate.x -= 1.0f;
                sameScreen = std::trunc((p.x + 16.0f) / kScreenWidthPx) ==
                             std::trunc((candidate.x + 16.0f) / kScreenWidthPx);
                break;
            case 3:
            case 4:
            case 6:
                candidate.x += 1.0f;
                sameScreen = std::trunc(p.x / kScreenWidthPx) == std::trunc(candidate.x / kScreenWidthPx);
                break;
            default:
                // No such direction: drop the push instead of guessing a way.
                sameScreen = false;
                break;
        }
        if (!sameScreen || !CanMoveTo(candidate)) {
            pushDistance = 0;
            pushDirection = DIR_NONE;
            return;
        }
        if (strcasecmp(name, "tavin") == 0 && (candidate.x <= 32.0f || candidate.y <= 32.0f))
            Quill::Logger()->Log("BAD PUSH: %f, %f", double(candidate.x), double(candidate.y));
        SetPosition(candidate);
    }
}

bool Entity::WriteState(NetStream* s)
{
    if (!s)
        return false;
    const uint8_t padding[3] = {0, 0, 0};
    return s->WriteU32(uid) && s->WriteI32(type) && s->WriteF32(position.x) && s->WriteF32(position.y) &&
           s->WriteI32(direction) && s->WriteU8(isEnemy ? 1 : 0) && s->Write(padding, 3);
}

bool Entity::ReadState(NetStream* s)
{
    if (!s)
        return false;
    uint32_t recordUid;
    int32_t recordType, recordDirection;
    float x, y;
    uint8_t enemyAndPadding[4];
    if (!s->ReadU32(recordUid) || !s->ReadI32(recordType) || !s->ReadF32(x) || !s->ReadF32(y))
        return false;
    // Drawing and hit tests turn positions into whole pixels: a place off the
    // map (or not a number) refuses the whole record.
    if (!IsPlaceOnMap(Vec2(x, y))) {
        Quill::Logger()->Log("%s %u: record with a position off the map ignored", name, unsigned(uid));
        return false;
    }
    position = Vec2(x, y);
    if (!s->ReadI32(recordDirection))
        return false;
    direction = recordDirection;
    SetDirection(direction);
    if (!s->Read(enemyAndPadding, 4))
        return false;
    if (recordType != type)
        Quill::Logger()->Log("type modification error! %d", recordType);
    if (recordUid != uid)
        Quill::Logger()->Log("UID modification error! %d", int(recordUid));
    return true;
}

void Entity::SetState(int s)
{
    state = s;
    stateTime = 0.0f;
}

void Entity::ModifyState(int bits)
{
    if (bits > 0)
        state |= bits;
    else if (bits < 0)
        state ^= -bits;
}

void Entity::TakeDamage(float amount, int, Entity*)
{
    if (amount > 0.0f)
        health -= amount;
}

bool Entity::CanMoveTo(const Vec2& p)
{
    if (!renderer)
        return false;
    int tileNumber =
        renderer->GetMapTile(int(std::trunc(p.x / kTileSize)), int(std::trunc(p.y / kTileSize)), 0);
    return IsWalkableTile(tileNumber);
}

bool Entity::InScreenBounds(const Vec2& p)
{
    float u = (p.x + 2.0f) / kTileSize;
    float v = (p.y + 16.0f) / kTileSize;
    float left = screen.x * 16.0f, top = screen.y * 11.0f;
    return left + 1.0f <= u && u <= left + 15.0f && top + 1.0f <= v && v <= top + 10.0f;
}

void Entity::SetName(const char* n)
{
    std::strncpy(name, n ? n : "", sizeof name - 1);
    name[sizeof name - 1] = '\0';
}

void Entity::StartFlashing(float seconds)
{
    flashTime = seconds;
    flashing = true;
}

namespace {

// Moves a coordinate toward the nearer line of a `grid`-pixel grid without
// passing it.
int SnapCoordinate(float value, int grid, float speed)
{
    float step = 2.0f * speed * EngineFrameTime();
    int q = int(std::trunc(value)) / grid;
    float r = value - float(q * grid);
    float result;
    if (r < float(grid / 2))
        result = std::max(value - step, float(q * grid));
    else
        result = std::min(value + step, float((q + 1) * grid));
    return int(std::trunc(result));
}

}  // namespace

int Entity::SnapX(int grid)
{
    return SnapCoordinate(position.x, grid, speed);
}

int Entity::SnapY(int grid)
{
    return SnapCoordinate(position.y, grid, speed);
}

void Entity::StepToTile(int dir)
{
    Vec2 target = position;
    switch (dir) {
        case DIR_UP:
            target.y = (std::floor((position.y + 16.0f) / kTileSize) - 1.0f) * kTileSize;
            break;
        case DIR_DOWN:
            target.y = (std::floor((position.y + 16.0f) / kTileSize) + 1.0f) * kTileSize;
            break;
        case DIR_LEFT:
            target.x = (std::floor((position.x + 16.0f) / kTileSize) - 1.0f) * kTileSize;
            break;
        case DIR_RIGHT:
            target.x = (std::floor((position.x + 16.0f) / kTileSize) + 1.0f) * kTileSize;
            break;
        default:
            return;
    }
    Vec2 from = TileOfPosition(position), to = TileOfPosition(target);
    bool sameScreen = std::floor(from.y / 11.0f) == std::floor(to.y / 11.0f) &&
                      std::floor(from.x / 16.0f) == std::floor(to.x / 16.0f);
    if (sameScreen && CanMoveTo(target))
        SetPosition(target);
}

bool Overlaps(Entity* a, Entity* b, int inset)
{
    int aLeft = int(a->position.x) + inset, aTop = int(a->position.y) + inset;
    int aRight = int(a->position.x) + a->width - inset, aBottom = int(a->position.y) + a->height - inset;
    int bLeft = int(b->position.x) + inset, bTop = int(b->position.y) + inset;
    int bRight = int(b->position.x) + b->width - inset, bBottom = int(b->position.y) + b->height - inset;
    return aLeft < bRight && bLeft < aRight && aTop < bBottom && bTop < aBottom;
}
