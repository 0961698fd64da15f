#include "player/Tavin.h"

#include <cmath>
#include <cstring>

#include "engine/QuillLogger.h"
#include "net/GameMessages.h"
#include "net/NetStream.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

constexpr int kScreenWidthPx = 512;
constexpr int kScreenHeightPx = 352;
constexpr int kHudHeightPx = 128;

bool IsFrameIndex(int f)
{
    return f >= 0 && f < Tavin::kFrameCount;
}

// Whole pixels of a coordinate; false when it is not a usable number.
bool PixelOf(float v, int& out)
{
    if (!std::isfinite(v) || std::fabs(v) > 1.0e8f)
        return false;
    out = int(std::trunc(v));
    return true;
}

}  // namespace

Tavin::Tavin(const char* name, Quill::InputSystem* input, NetSession* session, const char* spriteName)
    : Entity(session), input(input)
{
    std::strncpy(playerName, name ? name : "", sizeof playerName - 1);
    if (renderer)
        sprite = renderer->GetSpriteType(spriteName ? spriteName : "Tavin");
    frameBase = 0;
    frameCount = 2.0f;
    position = Vec2(0.0f, 0.0f);
    speed = kSpeed;
    maxHealth = kStartHealth;
    health = kStartHealth;
    state = STATE_NORMAL;
    SetName("Tavin");
    isPlayer = true;
    hurtsOnTouch = false;
    netUpdated = false;
    for (int grade = 0; grade < kSwordCount; ++grade) {
        swords[grade] = new Sword(session, grade, this);
        if (renderer)
            renderer->AddEntity(swords[grade].get(), false);
    }
    for (int index = 0; index < kBoomerangCount; ++index) {
        boomerangs[index] = new Boomerang(session, renderer, this, index == 1);
        if (renderer)
            renderer->AddEntity(boomerangs[index].get(), false);
    }
}

Tavin::~Tavin()
{
    // The swords point back at this hero, so they leave the world with it.
    for (auto& sword : swords) {
        if (g_renderer && sword)
            g_renderer->GetEntityList().Remove(sword.get());
        sword.reset();
    }
    // The boomerangs point back too; one still held elsewhere stays inert.
    for (auto& boomerang : boomerangs) {
        if (!boomerang)
            continue;
        if (g_renderer)
            g_renderer->GetEntityList().Remove(boomerang.get());
        boomerang->DetachOwner();
        boomerang.reset();
    }
}

Sword* Tavin::GetSword(int grade) const
{
    return grade >= 0 && grade < kSwordCount ? swords[grade].get() : nullptr;
}

void Tavin::PlayIfInView(int sound) const
{
    if (inView)
        PlaySound(sound);
}

void Tavin::SendEvent(int event, void* arg1, void* arg2)
{
    switch (event) {
        case EVENT_WALK_UP:
        case EVENT_WALK_DOWN:
        case EVENT_WALK_LEFT:
        case EVENT_WALK_RIGHT:
            Walk(event - EVENT_WALK_UP);
            break;
        case EVENT_SWORD:
            UseSword();
            break;
        case EVENT_ITEM:
            UseItem();
            break;
        case EVENT_STOP:
            moveDirection = DIR_NONE;
            break;
        case EVENT_PLACE: {
            if (!arg1 || !arg2)
                break;
            int32_t column = *static_cast<const int32_t*>(arg1);
            int32_t row = *static_cast<const int32_t*>(arg2);
            SetPosition(Vec2(float(column) * 32.0f, float(row) * 32.0f));
            SetState(STATE_NORMAL);
            SetDirection(DIR_UP);
            if (swords[0])
                swords[0]->SetPosition(position);
            break;
        }
        case EVENT_STAIRS_DOWN:
            state = STATE_GOING_DOWN;
            PlayIfInView(SND_STAIRS);
            if (IsLocal())
                StopSound(SND_MUSIC_OVERWORLD);
            stairsOffset = kStairsDepth;
            break;
        case EVENT_STAIRS_UP:
            state = STATE_COMING_UP;
            PlayIfInView(SND_STAIRS);
            stairsOffset = 0.0f;
            onStairs = true;
            break;
        case EVENT_NEXT_ITEM:
            SelectNextItem();
            break;
        default:
            break;
    }
}

void Tavin::SetDirection(int d)
{
    direction = d;
    if (d >= DIR_UP && d <= DIR_RIGHT)
        frameBase = kWalkFrames[d];
}

void Tavin::Tick(float dt)
{
    Entity::Tick(dt);
    switch (state) {
        case 0:
        case STATE_PAUSED:
            return;
        case STATE_GOING_DOWN:
            TickGoingDown(dt);
            return;
        case STATE_COMING_UP:
            TickComingUp(dt);
            return;
        default:
            break;
    }
    CheckStairsTile();
    if (attackTimer > 0.0f)
        UpdateAttack(dt);
    if (IsLocal()) {
        WarnLowHealth(dt);
        CountCurrency();
        TouchEnemies();
    }
}

void Tavin::Render(int screenX, int screenY)
{
    if (!sprite || !visible || state == 0 || !renderer)
        return;
    int x, y, offset;
    if (!PixelOf(position.x, x) || !PixelOf(position.y, y) || !PixelOf(stairsOffset, offset))
        return;
    const int frameIndex = int(std::trunc(frame)) + frameBase;
    if (!IsFrameIndex(frameIndex))
        return;
    // Only the part above the stairs shows: the top rows, pushed down by
    // what has sunk.
    renderer->DrawSprite(sprite, frameIndex, x - screenX * kScreenWidthPx,
                         y - screenY * kScreenHeightPx + kHudHeightPx + (int(kStairsDepth) - offset), offset,
                         -1);
}

void Tavin::TakeDamage(float amount, int dir, Entity*)
{
    flashing = true;
    flashTime = kHurtFlashTime;
    health -= amount * damageFactor;
    SetPushDistance(kKnockBack);
    SetPushDirection(dir);
    PlayIfInView(SND_HURT);
}

void Tavin::SetHealth(float value)
{
    if (std::isnan(value))
        return;
    health = value;
    if (health > maxHealth)
        health = maxHealth;
}

void Tavin::Heal(float amount)
{
    if (std::isnan(amount))
        return;
    SetHealth(health + amount);
}

void Tavin::AddKey()
{
    if (keys < kMaxKeys)
        ++keys;
}

void Tavin::AddCurrency(int value)
{
    // Counting stops at either end of 0..999, so a larger backlog never
    // counts; the bound only keeps the sum from overflowing.
    long long sum = (long long)pendingCurrency + value;
    if (sum > kMaxCurrency)
        sum = kMaxCurrency;
    if (sum < -kMaxCurrency)
        sum = -kMaxCurrency;
    pendingCurrency = int32_t(sum);
}

void Tavin::PushReturnPoint(float column, float row)
{
    returnPoints.push_back(Vec2(column, row));
}

Vec2 Tavin::PopReturnPoint()
{
    if (returnPoints.empty())
        return Vec2(kDefaultReturnColumn, kDefaultReturnRow);
    Vec2 back = returnPoints.back();
    returnPoints.pop_back();
    return back;
}

Boomerang* Tavin::GetBoomerang(int index) const
{
    return index >= 0 && index < kBoomerangCount ? boomerangs[index].get() : nullptr;
}

Vec2 Tavin::HeldBoomerangPosition() const
{
    const Boomerang* held = GetBoomerang(boomerangIndex);
    return held ? held->position : Vec2(kNoBoomerang, kNoBoomerang);
}

bool Tavin::WriteHeldBoomerang(NetStream* s) const
{
    Vec2 p = HeldBoomerangPosition();
    return s->WriteF32(p.x) && s->WriteF32(p.y);
}

bool Tavin::ReadHeldBoomerang(NetStream* s)
{
    float x, y;
    if (!s->ReadF32(x) || !s->ReadF32(y))
        return false;
    // The host flies the boomerangs; a client copy follows its place. With
    // none in hand the place is only a marker.
    Boomerang* held = GetBoomerang(boomerangIndex);
    if (held && !IsHost(session) && IsPlaceOnMap(Vec2(x, y)))
        held->SetPosition(Vec2(x, y));
    return true;
}

bool Tavin::WriteState(NetStream* s)
{
    if (!Entity::WriteState(s))
        return false;
    return s->WriteF32(health) && s->WriteF32(maxHealth) && s->WriteI32(frameBase) && s->WriteF32(frame) &&
           s->WriteF32(frameCount) && WriteHeldBoomerang(s);
}

bool Tavin::ReadState(NetStream* s)
{
    if (!Entity::ReadState(s))
        return false;
    float value;
    int32_t base;
    bool rejected = false;
    // Each value is applied as soon as it is read; one the game cannot use
    // (not a number, or a frame the sprite lacks) is skipped.
    if (!s->ReadF32(value))
        return false;
    if (std::isfinite(value))
        health = value;
    else
        rejected = true;
    if (!s->ReadF32(value))
        return false;
    if (std::isfinite(value) && value > 0.0f)
        maxHealth = value;
    else
        rejected = true;
    if (!s->ReadI32(base))
        return false;
    if (IsFrameIndex(base))
        frameBase = base;
    else
        rejected = true;
    if (!s->ReadF32(value))
        return false;
    if (std::isfinite(value) && value >= 0.0f && value < float(kFrameCount))
        frame = value;
    else
        rejected = true;
    if (!s->ReadF32(value))
        return false;
    if (std::isfinite(value) && value >= 0.0f && value <= float(kFrameCount))
        frameCount = value;
    else
        rejected = true;
    if (rejected)
        Quill::Logger()->Log("Tavin %u: ignored unusable values in a state record", unsigned(uid));
    return ReadHeldBoomerang(s);
}
