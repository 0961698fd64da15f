#pragma once

#include "entity/Entity.h"
#include "items/Projectile.h"

// A hero's flame: it creeps one tile ahead, then burns in place for a while.
// It burns whatever stands in it once that has stopped flashing, its own
// thrower included.
class Fire : public Entity, public Projectile {
public:
    static constexpr float kTravel = 32.0f;
    static constexpr float kLingerTime = 0.8f;

    Fire(NetSession* session, KarskRenderer* world, Entity* owner);

    void Tick(float dt) override;
    void Dead() override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    // Stores the direction reversed: that is the way it pushes those it burns.
    void Launch(int dir, float launchSpeed, float launchDamage);

    KarskRenderer* world = nullptr;
    Vec2 velocity;
    float damage = 0.0f;
    EntityRef<Entity> owner;
    float distance = 0.0f;
    float lingerTime = 0.0f;

private:
    void Burn();
};
