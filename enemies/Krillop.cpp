#include "enemies/Krillop.h"

#include <cstdlib>

#include "items/Rock.h"
#include "memory/TrackedNew.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kRockSpeed = 350.0f;

}  // namespace

int WalkerFrameBase(int dir, int fallback)
{
    switch (dir) {
        case DIR_UP:
            return 9;
        case DIR_DOWN:
            return 7;
        case DIR_LEFT:
            return 3;
        case DIR_RIGHT:
            return 5;
        default:
            return fallback;
    }
}

CKrillop::CKrillop(NetSession* session, bool blue)
    : Enemy(session, blue ? "KrillopBlue" : "KrillopRed", blue ? "Blue Krillop" : "Red Krillop"), isBlue(blue)
{
    speed = std::rand() % 4 < 3 ? 50.0f : 100.0f;
    health = blue ? 2.0f : 1.0f;
    spawnDelay = 0.1f + float(std::rand() % 10) / 10.0f;
    SetState(STATE_SPAWNING);
}

void CKrillop::SetDirection(int dir)
{
    Entity::SetDirection(dir);
    frameBase = WalkerFrameBase(dir, frameBase);
}

void CKrillop::Tick(float dt)
{
    Entity::Tick(dt);
    TickGridShooter(dt, isBlue ? AttackRule::OnRandomTurn : AttackRule::AfterStep, true, true);
}

void CKrillop::Fire()
{
    EntityRef<Rock> rock = KARSK_NEW Rock(session, renderer);
    rock->SetPosition(position);
    rock->Launch(direction, kRockSpeed);
    if (renderer)
        renderer->AddEntity(rock.get(), false);
}

void CKrillop::TakeDamage(float amount, int dir, Entity*)
{
    TakeWalkerDamage(amount, dir, true);
}
