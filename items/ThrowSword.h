#pragma once

#include "entity/Entity.h"
#include "items/Projectile.h"

// The sword beam: thrown by a hero at full health, or by some enemies. It
// strikes only enemies, every one it touches in the tick it reaches them,
// and dies on the first contact.
class ThrowSword : public Entity, public Projectile {
public:
    static constexpr int kFrames = 3;

    // `owner` may be null (an enemy's beam); a hero owner may throw again once this beam is gone.
    ThrowSword(NetSession* session, KarskRenderer* world, Entity* owner);

    void Tick(float dt) override;
    void Dead() override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    void Launch(int direction, float launchSpeed, float launchDamage);

    KarskRenderer* world = nullptr;
    Vec2 velocity;
    float damage = 0.0f;
    EntityRef<Entity> owner;
};
