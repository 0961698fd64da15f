#include "enemies/Enemy.h"

#include <cmath>
#include <cstdlib>

#include "engine/QuillLogger.h"
#include "items/DeathSpark.h"
#include "items/Pickup.h"
#include "memory/TrackedNew.h"
#include "net/GameMessages.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

int g_killsWithoutDrop = 0;

namespace {

constexpr float kTile = 32.0f;
constexpr float kFlashTime = 0.5f;
constexpr float kAttackWindUp = 0.5f;
constexpr float kStunTime = 2.0f;
constexpr int kDropChancePercent = 35;
constexpr int kDroughtLimit = 5;

enum DropKind { DROP_COIN = 1, DROP_FIVE_PIECES = 2, DROP_HEART = 4 };

// Reads a float that must be a number: a record that carries anything else
// would put the enemy nowhere.
bool ReadFinite(NetStream* s, float& value)
{
    float v;
    if (!s->ReadF32(v) || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

}  // namespace

Enemy::Enemy(NetSession* session, const char* spriteName, const char* enemyName) : Entity(session)
{
    SetName(enemyName);
    if (renderer)
        sprite = renderer->GetSpriteType(spriteName);
    isEnemy = true;
    hurtsOnTouch = true;
    frameBase = 0;
    frameCount = 2.0f;
    position = Vec2(0.0f, 0.0f);
}

Vec2 Enemy::StepOf(int dir, float pixels)
{
    switch (dir) {
        case DIR_UP:
            return {0.0f, -pixels};
        case DIR_DOWN:
            return {0.0f, pixels};
        case DIR_LEFT:
            return {-pixels, 0.0f};
        case DIR_RIGHT:
            return {pixels, 0.0f};
        default:
            return {0.0f, 0.0f};
    }
}

void Enemy::PlayIfInView(int sound) const
{
    if (inView)
        PlaySound(sound);
}

void Enemy::SendEvent(int event, void* arg1, void* arg2)
{
    switch (event) {
        case EVENT_STEP_UP:
        case EVENT_STEP_DOWN:
        case EVENT_STEP_LEFT:
        case EVENT_STEP_RIGHT: {
            const float step = speed * EngineFrameTime();
            Vec2 candidate;
            if (event == EVENT_STEP_UP || event == EVENT_STEP_DOWN) {
                SetDirection(event == EVENT_STEP_UP ? DIR_UP : DIR_DOWN);
                candidate = Vec2(float(SnapX(16)), position.y + (event == EVENT_STEP_UP ? -step : step));
            } else {
                SetDirection(event == EVENT_STEP_LEFT ? DIR_LEFT : DIR_RIGHT);
                candidate = Vec2(position.x + (event == EVENT_STEP_LEFT ? -step : step), float(SnapY(16)));
            }
            if (CanMoveTo(candidate)) {
                SetPosition(candidate);
                animate = true;
            }
            break;
        }
        case EVENT_ATTACK: {
            if (!arg1)
                return;
            const int dir = *static_cast<int32_t*>(arg1);
            // The direction may come from the peer: one this kind cannot face
            // is dropped rather than guessed.
            if (dir < 0 || dir > MaxDirection()) {
                Quill::Logger()->Log("%s %u: attack toward unknown direction %d ignored", name, uid, dir);
                return;
            }
            SetDirection(dir);
            SetState(STATE_ATTACK);
            break;
        }
        case EVENT_PLACE: {
            if (!arg1 || !arg2)
                return;
            const int column = *static_cast<int32_t*>(arg1), row = *static_cast<int32_t*>(arg2);
            SetPosition(Vec2(float(column) * kTile, float(row) * kTile));
            // Until a record names the next tile, a replica has nowhere to
            // walk: enemies of the host's own screen are never streamed.
            destination = position;
            if (PlacementFlipsState())
                ModifyState(-2);
            SetDirection(DIR_UP);
            SetScreen(std::floor(float(column) / 16.0f), std::floor(float(row) / 11.0f));
            break;
        }
        default:
            break;
    }
}

void Enemy::TickSpawning(float dt)
{
    spawnDelay -= dt;
    frameBase = 0;
    frameCount = 3.0f;
    frame = std::max(0.0f, 3.0f - 10.0f * spawnDelay);
    if (spawnDelay <= 0.0f) {
        // The cloud's last frame number would otherwise show as a walking
        // frame of the wrong facing for a tick or two.
        frame = 0.0f;
        frameBase = 3;
        SetState(STATE_START);
        spawnDelay = 0.0f;
    }
}

void Enemy::TickGridShooter(float dt, AttackRule rule, bool animatesDeciding, bool stunnable)
{
    // A record that carries a spawn delay puts a replica back into the cloud.
    if (spawnDelay > 0.0f)
        SetState(STATE_SPAWNING);
    switch (state) {
        case STATE_START:
            frameBase = 3;
            frameCount = 2.0f;
            animate = true;
            SetState(STATE_DECIDE);
            break;
        case STATE_SPAWNING:
            TickSpawning(dt);
            break;
        case STATE_DECIDE:
            if (animatesDeciding)
                animate = true;
            if (remote)
                SetState(STATE_WALK);
            else
                DecideGridStep(rule);
            break;
        case STATE_WALK:
            // Out of sight, such a copy stays where the last record put it.
            if (remote && !netUpdated && !inView && !WalksUnseen())
                break;
            TickWalk(dt);
            break;
        case STATE_ATTACK:
            TickAttack();
            break;
        case STATE_STUNNED:
            if (stunnable)
                TickStunned();
            break;
        default:
            break;
    }
}

bool Enemy::DecideGridStep(AttackRule rule)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        int dir = direction;
        bool drawn = attempt > 0 || std::rand() % 5 == 0;
        if (drawn)
            dir = std::rand() % 4;
        if (drawn && rule == AttackRule::OnRandomTurn) {
            SetState(STATE_ATTACK);
            AnnounceAttack(dir);
        }
        destination = position + StepOf(dir, kTile);
        if (!CanMoveTo(destination) || !InScreenBounds(destination))
            continue;
        SetDirection(dir);
        if (rule == AttackRule::AfterStep) {
            SetState(STATE_WALK);
            if (std::rand() % 10 == 1) {
                SetState(STATE_ATTACK);
                AnnounceAttack(dir);
            }
        } else if (state != STATE_ATTACK) {
            SetState(STATE_WALK);
        }
        return true;
    }
    return false;
}

bool Enemy::Advance(float step)
{
    float remaining;
    float* coordinate;
    float target;
    switch (direction) {
        case DIR_UP:
            remaining = position.y - destination.y;
            coordinate = &position.y;
            target = destination.y;
            step = -step;
            break;
        case DIR_DOWN:
            remaining = destination.y - position.y;
            coordinate = &position.y;
            target = destination.y;
            break;
        case DIR_LEFT:
            remaining = position.x - destination.x;
            coordinate = &position.x;
            target = destination.x;
            step = -step;
            break;
        case DIR_RIGHT:
            remaining = destination.x - position.x;
            coordinate = &position.x;
            target = destination.x;
            break;
        default:
            // No way to walk: count it as arrived so that the host decides anew.
            return true;
    }
    if (std::fabs(step) > remaining) {
        *coordinate = target;
        DeriveTileAndScreen();
        return true;
    }
    *coordinate += step;
    DeriveTileAndScreen();
    return false;
}

void Enemy::TickWalk(float dt, bool setsFrameCount)
{
    if (remote && netUpdated) {
        netUpdated = false;
        return;
    }
    if (Advance(speed * dt))
        ResumeAfterAction();
    moveDirection = direction;
    if (setsFrameCount)
        frameCount = 2.0f;
    animate = true;
}

void Enemy::TickAttack()
{
    animate = true;
    if (stateTime > kAttackWindUp) {
        Fire();
        ResumeAfterAction();
    }
}

void Enemy::TickStunned()
{
    animate = true;
    if (stateTime > kStunTime)
        SetState(STATE_WALK);
}

void Enemy::AnnounceAttack(int dir)
{
    SendEnemyEvent(session, uid, dir);
}

void Enemy::TakeWalkerDamage(float amount, int dir, bool rollsDropOnDeath, bool stunnable)
{
    if (flashing)
        return;
    if (amount <= 0.0f && stunnable) {
        SetState(STATE_STUNNED);
        PlayIfInView(SND_HIT);
        return;
    }
    if (amount > 0.0f)
        health -= amount;
    StartFlashing(kFlashTime);
    if (health > 0.0f) {
        if (dir != DIR_NONE) {
            PlayIfInView(SND_HIT);
            StepToTile(dir);
        }
        return;
    }
    Dead();
    if (rollsDropOnDeath && IsHost(session) && HostRollsDrop())
        DropLoot();
}

bool Enemy::HostRollsDrop()
{
    // Drawn first, so the generator advances the same way whatever the drought.
    const bool lucky = std::rand() % 100 < kDropChancePercent;
    if (!lucky && g_killsWithoutDrop <= kDroughtLimit)
        return false;
    g_killsWithoutDrop = 0;
    return true;
}

void Enemy::DropLoot()
{
    const int r = std::rand() % 100;
    const int kind = r < 70 ? DROP_COIN : r < 85 ? DROP_FIVE_PIECES : DROP_HEART;
    EntityRef<Pickup> loot = SpawnPickup(kind);
    loot->Place(position, kLootLifetime);
    if (renderer)
        renderer->AddEntity(loot.get(), false);
    SendPickupDrop(session, kind, position, kLootLifetime);
}

void Enemy::DieWithSpark()
{
    EntityRef<DeathSpark> spark = KARSK_NEW DeathSpark(session);
    spark->SetPosition(position);
    if (renderer)
        renderer->AddEntity(spark.get(), false);
    if (inView) {
        PlaySound(SND_KILL);
        PlaySound(SND_HIT);
    }
    Entity::Dead();
}

void Enemy::Dead()
{
    if (dead || state == 0)
        return;
    DieWithSpark();
}

bool Enemy::WriteState(NetStream* s)
{
    if (!s || !Entity::WriteState(s))
        return false;
    return s->WriteF32(destination.x) && s->WriteF32(destination.y) && s->WriteF32(health) &&
           s->WriteI32(frameBase) && s->WriteF32(frame) && s->WriteF32(spawnDelay) && s->WriteF32(speed);
}

bool Enemy::ReadState(NetStream* s)
{
    if (!s)
        return false;
    const Vec2 before = position;
    if (!Entity::ReadState(s))
        return false;
    if (!std::isfinite(position.x) || !std::isfinite(position.y)) {
        Quill::Logger()->Log("%s %u: record with a position that is not a number ignored", name, uid);
        position = before;
        return false;
    }
    DeriveTileAndScreen();
    // Each field is applied once read; the first the enemy cannot use (a
    // destination off the map, a frame or speed out of range) ends the read.
    Vec2 to;
    if (!ReadFinite(s, to.x) || !ReadFinite(s, to.y) || !IsPlaceOnMap(to))
        return false;
    destination = to;
    int32_t base;
    if (!ReadFinite(s, health) || !s->ReadI32(base) || base < 0 || base >= kMaxRecordFrame)
        return false;
    frameBase = base;
    float f, v;
    if (!ReadFinite(s, f) || f < 0.0f || f >= float(kMaxRecordFrame))
        return false;
    frame = f;
    if (!ReadFinite(s, spawnDelay) || !ReadFinite(s, v) || v < 0.0f || v > kMaxRecordSpeed)
        return false;
    speed = v;
    return true;
}
