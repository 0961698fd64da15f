#pragma once

#include "entity/Entity.h"
#include "items/Projectile.h"

// A hero's bomb: it lies where it was put down and after a second blasts
// everything near it, heroes only when much closer, then leaves a ring of
// smoke. Every machine shows the blast; only the host deals the damage.
class Bomb : public Entity, public Projectile {
public:
    static constexpr float kFuse = 1.0f;
    static constexpr float kReach = 60.0f;
    // Heroes count as this much farther away, so they are hit within 28 pixels.
    static constexpr float kPlayerAllowance = 32.0f;
    static constexpr int kSmokePuffs = 7;

    Bomb(NetSession* session, KarskRenderer* world, Entity* owner);

    void Tick(float dt) override;
    void Dead() override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    // The bomb does not move; the speed is only kept. The direction is stored
    // reversed, towards whoever laid it.
    void Launch(int dir, float launchSpeed, float launchDamage);
    virtual void Explode();

    KarskRenderer* world = nullptr;
    Vec2 velocity;
    float damage = 0.0f;
    EntityRef<Entity> owner;
    float fuse = 0.0f;

private:
    void Blast();
    void LeaveSmoke();
};
