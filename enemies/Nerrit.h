#pragma once

#include "enemies/Enemy.h"

// The water dweller. It hides under water, comes up on a random water tile
// of its screen, fires one energy ball at a hero and dives again. Only while
// it is up can it be hurt (and before its first dive), and a dive heals it.
class Nerrit : public Enemy {
public:
    static constexpr int kWaterTile = 48;

    explicit Nerrit(NetSession* session);

    void Tick(float dt) override;
    void SetDirection(int dir) override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    void TakeDamage(float amount, int direction, Entity* source) override;
    // Always a heart.
    void DropLoot() override;

    void SetInvulnerable(bool on) { invulnerable = on; }
    // The unit vector toward the hero it aims at (the host's hero when on
    // this screen, else the joining one when on it, else the host's); zero
    // without any hero, straight down when the hero stands right on it.
    Vec2 AimAtPlayer();
    // A water tile among 32 random cells inside the screen's border ring, or
    // (−1, −1).
    Vec2 FindWaterTile(int screenX, int screenY);

    bool hasFired = false;

private:
    // Null when no hero is in the world: then there is no shot.
    Entity* AimTarget();
    void FireBall();
};
