#pragma once

#include "entity/Entity.h"
#include "items/Projectile.h"

// An arrow. A hero's arrow strikes the first enemy it reaches and collects
// the pickups it flies over for the shooter; any other arrow is aimed at the
// heroes, whose shields can stop it.
class Arrow : public Entity, public Projectile {
public:
    Arrow(NetSession* session, KarskRenderer* world, Entity* owner);

    void Tick(float dt) override;
    void Dead() override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    void Launch(int dir, float launchSpeed, float launchDamage);

    KarskRenderer* world = nullptr;
    Vec2 velocity;
    float damage = 0.0f;
    EntityRef<Entity> owner;

private:
    void HitEnemiesAndPickups();
    // False when the arrow struck a hero and must not move this tick.
    bool HitPlayers();
};
