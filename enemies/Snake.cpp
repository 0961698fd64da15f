#include "enemies/Snake.h"

#include <cmath>
#include <cstdlib>

#include "world/KarskRenderer.h"

namespace {

constexpr float kTile = 32.0f;
constexpr float kLineTolerance = 8.0f;

}  // namespace

Snake::Snake(NetSession* session) : Enemy(session, "Snake", "Snake")
{
    frameRate = 5.0f;
    speed = kWanderSpeed;
    health = 1.0f;
    spawnDelay = 0.0f;
    SetState(STATE_DECIDE);
}

void Snake::SetDirection(int dir)
{
    Entity::SetDirection(dir);
    // Going up or down it keeps its last sideways look.
    if (dir == DIR_LEFT)
        frameBase = 2;
    else if (dir == DIR_RIGHT)
        frameBase = 0;
}

void Snake::Tick(float dt)
{
    Entity::Tick(dt);
    switch (state) {
        case STATE_DECIDE:
            if (remote)
                SetState(STATE_WALK);
            else
                Decide();
            break;
        case STATE_WALK:
            TickWalk(dt);
            break;
        case STATE_ATTACK:
            // It has no attack: a request to attack only makes it decide again.
            animate = true;
            SetState(STATE_DECIDE);
            break;
        case STATE_STUNNED:
            TickStunned();
            break;
        default:
            break;
    }
}

void Snake::Decide()
{
    if (!charging)
        StartCharge(LookForPlayer());
    for (int attempt = 0; attempt < 4; ++attempt) {
        int dir;
        if (charging) {
            dir = chargeDirection;
            speed = kRushSpeed;
        } else {
            dir = direction;
            if (attempt > 0 || std::rand() % 5 == 0)
                dir = std::rand() % 4;
        }
        destination = position + StepOf(dir, kTile);
        if (!CanMoveTo(destination) || !InScreenBounds(destination)) {
            if (charging) {
                charging = false;
                speed = kWanderSpeed;
            }
            continue;
        }
        SetDirection(dir);
        if (state != STATE_ATTACK)
            SetState(STATE_WALK);
        return;
    }
}

int Snake::LookForPlayer()
{
    for (uint32_t id = 0; id < 2; ++id) {
        Entity* player = FindPlayer(id);
        if (!player || player->GetScreen() != screen)
            continue;
        const Vec2 p = player->GetPosition();
        if (std::fabs(position.x - p.x) < kLineTolerance)
            return p.y <= position.y ? DIR_UP : DIR_DOWN;
        if (std::fabs(position.y - p.y) < kLineTolerance)
            return p.x >= position.x ? DIR_RIGHT : DIR_LEFT;
    }
    return DIR_NONE;
}

void Snake::StartCharge(int dir)
{
    if (dir == DIR_NONE)
        return;
    charging = true;
    chargeDirection = dir;
}

void Snake::TakeDamage(float amount, int dir, Entity*)
{
    TakeWalkerDamage(amount, dir, true);
}
