#include "enemies/Bat.h"

#include <cmath>
#include <cstdlib>

#include "enemies/Skeleton.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kHalfTile = 16.0f;
constexpr float kTile = 32.0f;
constexpr float kThrottleRate = 0.25f;  // per second, both ways
constexpr float kRestTime = 1.0f;
constexpr float kTopWingRate = 25.0f;

enum Diagonal { DIR_UP_RIGHT = 4, DIR_UP_LEFT = 5, DIR_DOWN_RIGHT = 6, DIR_DOWN_LEFT = 7 };

}  // namespace

Bat::Bat(NetSession* session, bool blue) : Enemy(session, blue ? "BatBlue" : "BatRed", "Bat"), isBlue(blue)
{
    isPushable = false;
    frameRate = 20.0f;
    speed = kTopSpeed;
    health = 1.0f;
    spawnDelay = 0.0f;
    SetState(STATE_START);
}

Vec2 Bat::FlightStep(int dir)
{
    switch (dir) {
        case DIR_UP_RIGHT:
            return {kHalfTile, -kHalfTile};
        case DIR_UP_LEFT:
            return {-kHalfTile, -kHalfTile};
        case DIR_DOWN_RIGHT:
            return {kHalfTile, kHalfTile};
        case DIR_DOWN_LEFT:
            return {-kHalfTile, kHalfTile};
        default:
            return StepOf(dir, kHalfTile);
    }
}

bool Bat::CanMoveTo(const Vec2& point)
{
    if (!renderer)
        return false;
    const int tile =
        renderer->GetMapTile(int(std::trunc(point.x / kTile)), int(std::trunc(point.y / kTile)), 0);
    // The walkers' tiles, and three more it flies over.
    return Entity::CanMoveTo(point) || tile == 162 || tile == 163 || tile == 164;
}

void Bat::KeepRhythm(float dt)
{
    if (!resting) {
        if (throttle < 1.0f) {
            throttle += kThrottleRate * dt;
        } else if (std::rand() % 500 == 0) {
            resting = true;
            restTime = kRestTime;
        }
    } else {
        throttle -= kThrottleRate * dt;
        if (throttle < 0.0f) {
            throttle = 0.0f;
            restTime -= dt;
            if (restTime <= 0.0f)
                resting = false;
        }
    }
    speed = throttle * kTopSpeed;
    frameRate = throttle * kTopWingRate;
}

void Bat::Tick(float dt)
{
    Entity::Tick(dt);
    KeepRhythm(dt);
    switch (state) {
        case STATE_START:
            animate = true;
            SetState(STATE_DECIDE);
            break;
        case STATE_SPAWNING:
            SetState(STATE_START);
            spawnDelay = 0.0f;
            break;
        case STATE_DECIDE:
            if (remote)
                SetState(STATE_WALK);
            else
                Decide();
            break;
        case STATE_WALK:
            TickWalk(dt, false);
            break;
        case STATE_ATTACK:
            TickAttack();
            break;
        default:
            break;
    }
}

void Bat::Decide()
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        int dir = direction;
        if (attempt > 0 || std::rand() % 3 == 0)
            dir = std::rand() % 8;
        destination = position + FlightStep(dir);
        // Tested at the centre of its box, so its edges may hang over a wall.
        const Vec2 centre = destination + Vec2(kHalfTile, kHalfTile);
        if (CanMoveTo(centre) && InScreenBounds(centre)) {
            SetDirection(dir);
            SetState(STATE_WALK);
            return;
        }
    }
}

bool Bat::Advance(float step)
{
    float remaining;
    switch (direction) {
        case DIR_UP_RIGHT:
        case DIR_UP_LEFT:
            remaining = position.y - destination.y;
            break;
        case DIR_DOWN_RIGHT:
            remaining = destination.x - position.x;
            break;
        case DIR_DOWN_LEFT:
            remaining = destination.y - position.y;
            break;
        default:
            return Enemy::Advance(step);
    }
    if (step > remaining) {
        SetPosition(destination);
        return true;
    }
    const Vec2 unit = FlightStep(direction) * (1.0f / kHalfTile);
    Move(unit * step);
    return false;
}

void Bat::Fire()
{
    ThrowEnemySword(*this);
}

void Bat::TakeDamage(float, int, Entity*)
{
    Dead();
}
