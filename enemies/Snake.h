#pragma once

#include "enemies/Enemy.h"

// A slow wanderer that rushes at four times its speed when a hero lines up
// with it on its screen, until a wall or the screen's edge stops it.
class Snake : public Enemy {
public:
    static constexpr float kWanderSpeed = 60.0f;
    static constexpr float kRushSpeed = 240.0f;

    explicit Snake(NetSession* session);

    void Tick(float dt) override;
    void SetDirection(int dir) override;
    void TakeDamage(float amount, int direction, Entity* source) override;

    // The way to a hero on this screen within 8 pixels of its column (up or
    // down) or row (left or right), the host's hero first; −1 when none is.
    int LookForPlayer();
    void StartCharge(int dir);
    bool IsCharging() const { return charging; }

    bool charging = false;
    int32_t chargeDirection = DIR_NONE;

protected:
    bool PlacementFlipsState() const override { return false; }

private:
    void Decide();
};
