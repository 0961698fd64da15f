#pragma once

#include "enemies/Enemy.h"

// A slower, tougher archer that walks like the Krillops and shoots arrows.
// Blows make it flash and step back but never stun it. The blue kind
// attacks whenever it turns at random, the red kind after one step in ten.
class Gorlak : public Enemy {
public:
    Gorlak(NetSession* session, bool blue);

    void Tick(float dt) override;
    void SetDirection(int dir) override;
    void TakeDamage(float amount, int direction, Entity* source) override;

    bool IsBlue() const { return isBlue; }

protected:
    void Fire() override;
    bool WalksUnseen() const override { return false; }

private:
    bool isBlue;
};
