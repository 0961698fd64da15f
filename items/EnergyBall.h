#pragma once

#include "entity/Entity.h"
#include "items/Projectile.h"

// A ball of energy an enemy fires at the heroes in any direction. It passes
// over walls; only a shield at least as strong as the ball stops it.
class EnergyBall : public Entity, public Projectile {
public:
    EnergyBall(NetSession* session, KarskRenderer* world);

    void Tick(float dt) override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    // A velocity that is not a number leaves the ball standing.
    void Launch(float vx, float vy, float launchSpeed, float launchPower);

    KarskRenderer* world = nullptr;
    Vec2 velocity;
    float power = 0.0f;
};

// The facing a velocity shows to shields and knock-backs: horizontal only
// when strictly larger in size, so ties go to the vertical; none gives up.
int DirectionOfVelocity(Vec2 velocity);
