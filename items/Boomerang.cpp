#include "items/Boomerang.h"

#include <cmath>

#include "items/Projectile.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kScreenWidthPx = 512.0f;
constexpr float kScreenHeightPx = 352.0f;
constexpr float kInnerMin = 32.0f;
constexpr float kInnerMaxX = 480.0f;
constexpr float kInnerMaxY = 320.0f;

// Outbound vectors by throw direction, before normalising.
constexpr float kThrowVectors[8][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}};

bool IsThrowDirection(int d)
{
    return d >= 0 && d < 8;
}

bool InsideInnerScreen(Vec2 p)
{
    const float rx = p.x - kScreenWidthPx * std::floor(p.x / kScreenWidthPx);
    const float ry = p.y - kScreenHeightPx * std::floor(p.y / kScreenHeightPx);
    return rx >= kInnerMin && rx <= kInnerMaxX && ry >= kInnerMin && ry <= kInnerMaxY;
}

float Length(Vec2 v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

void SetItemReady(Entity* owner)
{
    if (auto* hero = dynamic_cast<Tavin*>(owner))
        hero->itemReady = true;
}

}  // namespace

Boomerang::Boomerang(NetSession* session, KarskRenderer* world, Entity* owner, bool isMagic)
    : Entity(session), world(world), owner(owner), isMagic(isMagic)
{
    SetName("Boomerang");
    if (world)
        sprite = world->GetSpriteType(isMagic ? "BoomerangB" : "Boomerang");
    visible = false;
    speed = 0.0f;
    frameBase = 0;
    frameRate = 30.0f;
    frameCount = 8.0f;
    untargetable = true;
    transient = true;
    localOnly = true;
    returning = false;
    direction = 0;
    soundTimer = 0.0f;
}

void Boomerang::SendEvent(int, void*, void*) {}

void Boomerang::Throw(int dir, float throwSpeed)
{
    if (!owner)
        return;
    speed = throwSpeed;
    direction = dir;
    damage = kStun;
    returning = false;
    visible = true;
    distance = 0.0f;
    soundTimer = 0.0f;
    position = owner->GetPosition();
    // A direction without a vector cannot fly out; it comes straight home
    // so that the owner gets the item back.
    if (!IsThrowDirection(dir)) {
        Return();
        speed = 0.0f;
    }
}

void Boomerang::Return()
{
    returning = true;
}

void Boomerang::Dead()
{
    if (state == 0)
        return;
    SetItemReady(owner);
    Entity::Dead();
}

void Boomerang::Tick(float dt)
{
    animate = true;
    Entity::Tick(dt);
    if (!owner) {
        visible = false;
        return;
    }
    if (visible && soundTimer <= 0.0f) {
        if (inView)
            PlaySound(SND_BOOMERANG);
        soundTimer = kWhirrInterval;
    }
    soundTimer -= dt;
    if (IsHost(session))
        DecideFlight();
    Fly(dt);
}

void Boomerang::DecideFlight()
{
    if (!InsideInnerScreen(position)) {
        Return();
        speed = 0.0f;
    }
    if (!isMagic && distance > kRange)
        Return();
    if (owner->isPlayer && visible)
        StunEnemies();
}

void Boomerang::StunEnemies()
{
    if (!g_renderer)
        return;
    EntityList& list = g_renderer->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        // Held: an enemy may leave the list inside TakeDamage.
        EntityRef<Entity> target = list.Get(i);
        if (!target || !target->isEnemy || !Overlaps(target.get(), this, kHitInset))
            continue;
        Projectile::Strike(session, target.get(), damage, direction);
        if (!returning) {
            Return();
            speed = 0.0f;
        }
    }
}

void Boomerang::Fly(float dt)
{
    Vec2 v;
    if (returning) {
        v = position - owner->GetPosition();
        if (visible && Length(v) < kCatchDistance && IsHost(session)) {
            visible = false;
            SetItemReady(owner);
        }
        if (speed <= -kThrowSpeed)
            speed = -kThrowSpeed;
        else
            speed -= kBrake * dt;
    } else {
        if (IsHost(session))
            visible = true;
        if (IsThrowDirection(direction))
            v = Vec2(kThrowVectors[direction][0], kThrowVectors[direction][1]);
    }
    // A zero vector has no direction to scale: such a step stands still.
    const float length = Length(v);
    v = length > 0.0f ? v * (speed * dt / length) : Vec2();
    if (!returning)
        distance += Length(v);
    if (visible)
        Move(v);
}
