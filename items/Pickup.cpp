#include "items/Pickup.h"

#include "items/Boomerang.h"
#include "items/Heart.h"
#include "items/Jessel.h"
#include "items/Key.h"
#include "memory/TrackedNew.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace {

constexpr uint32_t kPlayerIds[] = {0, 1};
constexpr int kDropFivePieces = 2;
constexpr int kDropHeart = 4;
constexpr int kDropKey = 8;

}  // namespace

Pickup::Pickup(NetSession* session, KarskRenderer* world) : Entity(session), world(world)
{
    lifetime = kForever;
    isPickup = true;
    localOnly = true;
    SetName("Pickup");
}

void Pickup::SendEvent(int, void*, void*) {}

void Pickup::Place(const Vec2& p, float life)
{
    lifetime = life;
    SetPosition(p);
}

void Pickup::Tick(float dt)
{
    if (lifetime != kForever) {
        lifetime -= dt;
        if (lifetime <= 0.0f)
            Dead();
    }
    if (frameCount > 0.0f)
        animate = true;
    for (uint32_t id : kPlayerIds) {
        // Looked up afresh each tick and held while crediting, so a hero that
        // left the world is never reached through a stale pointer.
        EntityRef<Entity> player = FindPlayer(id);
        if (!player)
            continue;
        if (Overlaps(player.get(), this, kTouchInset))
            Collect(player.get());
        auto* hero = dynamic_cast<Tavin*>(player.get());
        if (!hero)
            continue;
        EntityRef<Boomerang> boomerang = hero->GetBoomerang(hero->boomerangIndex);
        if (boomerang && Overlaps(boomerang.get(), this, kTouchInset))
            Collect(player.get());
    }
    Entity::Tick(dt);
}

Pickup* Entity::SpawnPickup(int kind)
{
    switch (kind) {
        case kDropFivePieces:
            return KARSK_NEW Jessel(5, session, renderer);
        case kDropHeart:
            return KARSK_NEW Heart(session, renderer);
        case kDropKey:
            return KARSK_NEW Key(session, renderer);
        default:
            return KARSK_NEW Jessel(1, session, renderer);
    }
}
