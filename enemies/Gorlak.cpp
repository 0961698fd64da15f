#include "enemies/Gorlak.h"

#include <cstdlib>

#include "enemies/Krillop.h"
#include "items/Arrow.h"
#include "memory/TrackedNew.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kArrowSpeed = 250.0f;
constexpr float kArrowDamage = 1.0f;

}  // namespace

Gorlak::Gorlak(NetSession* session, bool blue)
    : Enemy(session, blue ? "GorlakBlue" : "GorlakRed", "Gorlak"), isBlue(blue)
{
    speed = std::rand() % 4 < 3 ? 40.0f : 60.0f;
    health = blue ? 3.0f : 2.0f;
    spawnDelay = 0.1f + float(std::rand() % 10) / 10.0f;
    SetState(STATE_SPAWNING);
}

void Gorlak::SetDirection(int dir)
{
    Entity::SetDirection(dir);
    frameBase = WalkerFrameBase(dir, frameBase);
}

void Gorlak::Tick(float dt)
{
    Entity::Tick(dt);
    // It does not animate while deciding and is never stunned.
    TickGridShooter(dt, isBlue ? AttackRule::OnRandomTurn : AttackRule::AfterStep, false, false);
}

void Gorlak::Fire()
{
    EntityRef<Arrow> arrow = KARSK_NEW Arrow(session, renderer, this);
    arrow->SetPosition(position);
    arrow->Launch(direction, kArrowSpeed, kArrowDamage);
    if (renderer)
        renderer->AddEntity(arrow.get(), false);
}

void Gorlak::TakeDamage(float amount, int dir, Entity*)
{
    // Even a stunning blow only makes it flash and step back.
    TakeWalkerDamage(amount, dir, true, false);
}
