#pragma once

#include "enemies/Enemy.h"

// The flyer: half-tile steps in eight directions, a slow rhythm of speeding
// up, slowing down and hovering, a few more tiles it may cross than the
// walkers, and death from any blow. It never drops anything.
class Bat : public Enemy {
public:
    static constexpr float kTopSpeed = 85.0f;

    Bat(NetSession* session, bool blue);

    void Tick(float dt) override;
    void TakeDamage(float amount, int direction, Entity* source) override;
    bool CanMoveTo(const Vec2& point) override;

    bool IsBlue() const { return isBlue; }
    // The step of a flight direction: 0–3 as for walkers, then up-right,
    // up-left, down-right, down-left.
    static Vec2 FlightStep(int dir);

    bool isBlue;
    float throttle = 1.0f;
    bool resting = false;
    float restTime = 0.0f;

protected:
    int MaxDirection() const override { return 7; }
    bool Advance(float step) override;
    void Fire() override;

private:
    void KeepRhythm(float dt);
    void Decide();
};
