#pragma once

#include "enemies/Enemy.h"

// A rattling walker that never attacks on its own. It decides its drop as it
// dies, and each of its deaths without a drop feeds the shared drought count.
class Skeleton : public Enemy {
public:
    explicit Skeleton(NetSession* session);

    void Tick(float dt) override;
    void Dead() override;
    void TakeDamage(float amount, int direction, Entity* source) override;

protected:
    void Fire() override;
};

// A bone or blade thrown by an enemy that was told to attack.
void ThrowEnemySword(Entity& thrower);
