#include "items/Projectile.h"

#include <cmath>

#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/Sound.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kScreenWidthPx = 512.0f;
constexpr float kScreenHeightPx = 352.0f;

}  // namespace

Projectile::Projectile(KarskRenderer*)
{
    // The heroes are looked up in the one world list, whichever world made us.
    for (int slot = 0; slot < kPlayerCount; ++slot) players[slot] = FindPlayer(uint32_t(slot));
}

Entity* Projectile::Player(int slot) const
{
    if (slot < 0 || slot >= kPlayerCount || !players[slot] || !g_renderer)
        return nullptr;
    EntityList& list = g_renderer->GetEntityList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Get(i) == players[slot].get())
            return players[slot].get();
    return nullptr;
}

bool Projectile::InInnerScreen(Vec2 p, float xmin, float xmax, float ymin, float ymax)
{
    const float rx = p.x - kScreenWidthPx * std::floor(p.x / kScreenWidthPx);
    const float ry = p.y - kScreenHeightPx * std::floor(p.y / kScreenHeightPx);
    return xmin <= rx && rx <= xmax && ymin <= ry && ry <= ymax;
}

Vec2 Projectile::StraightStep(int direction, float distance)
{
    switch (direction) {
        case DIR_UP:
            return Vec2(0.0f, -distance);
        case DIR_DOWN:
            return Vec2(0.0f, distance);
        case DIR_LEFT:
            return Vec2(-distance, 0.0f);
        case DIR_RIGHT:
            return Vec2(distance, 0.0f);
        default:
            return Vec2(0.0f, 0.0f);
    }
}

int Projectile::Opposite(int direction)
{
    return OppositeDirection(direction);
}

bool Projectile::ShieldBlocks(Entity* player, int direction)
{
    const Tavin* hero = dynamic_cast<const Tavin*>(player);
    // Only a hero carries a shield.
    if (!hero || Opposite(direction) == DIR_NONE)
        return false;
    return player->GetDirection() == Opposite(direction) && hero->attackTimer <= 0.0f;
}

bool Projectile::ShieldBlocks(Entity* player, int direction, float strength)
{
    return ShieldBlocks(player, direction) && strength <= float(ShieldLevel(player));
}

int Projectile::ShieldLevel(Entity* player)
{
    const Tavin* hero = dynamic_cast<const Tavin*>(player);
    return hero ? hero->shieldLevel : 0;
}

void Projectile::Strike(NetSession* session, Entity* target, float amount, int direction)
{
    if (!target)
        return;
    // Asked before the hit: a target that dies in it turns local-only too.
    const bool peerHasCopy = !target->localOnly;
    target->TakeDamage(amount, direction, nullptr);
    if (peerHasCopy)
        SendHit(session, target->GetUID(), target->GetPosition(), amount, target->flashTime, direction, 0);
}

void Projectile::PlayIfInView(const Entity& entity, int sound)
{
    if (entity.inView)
        PlaySound(sound);
}

void Projectile::RefreshInView(Entity& entity, KarskRenderer* world)
{
    if (!world)
        return;
    Entity* local = world->GetPlayer();
    entity.inView = local && entity.GetScreen() == local->GetScreen();
}

float Projectile::Finite(float value, float fallback)
{
    return std::isfinite(value) ? value : fallback;
}

void SetUpProjectile(Entity& e, const char* name, KarskRenderer* world, float frameCount, float frameRate)
{
    e.SetName(name);
    if (world)
        e.sprite = world->GetSpriteType(name);
    e.visible = true;
    e.transient = true;
    e.localOnly = true;
    e.untargetable = true;
    e.frameBase = 0;
    e.frameCount = frameCount;
    e.frameRate = frameRate;
    e.direction = DIR_UP;
}
