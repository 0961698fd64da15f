#include "enemies/Skeleton.h"

#include "items/ThrowSword.h"
#include "memory/TrackedNew.h"
#include "net/GameMessages.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kThrowSpeed = 350.0f;
constexpr float kThrowDamage = 1.0f;

}  // namespace

void ThrowEnemySword(Entity& thrower)
{
    EntityRef<ThrowSword> blade = KARSK_NEW ThrowSword(thrower.session, thrower.renderer, nullptr);
    blade->SetPosition(thrower.position);
    blade->Launch(thrower.direction, kThrowSpeed, kThrowDamage);
    if (thrower.renderer)
        thrower.renderer->AddEntity(blade.get(), false);
}

Skeleton::Skeleton(NetSession* session) : Enemy(session, "Skeleton", "Skeleton")
{
    isPushable = false;
    frameRate = 8.0f;
    speed = 50.0f;
    health = 2.0f;
    spawnDelay = 0.0f;
    SetState(STATE_START);
}

void Skeleton::Tick(float dt)
{
    Entity::Tick(dt);
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
            animate = true;
            if (remote)
                SetState(STATE_WALK);
            else
                DecideGridStep(AttackRule::None);
            break;
        case STATE_WALK:
            TickWalk(dt, false);
            break;
        case STATE_ATTACK:
            TickAttack();
            break;
        case STATE_STUNNED:
            TickStunned();
            break;
        default:
            break;
    }
}

void Skeleton::Fire()
{
    ThrowEnemySword(*this);
}

void Skeleton::TakeDamage(float amount, int dir, Entity*)
{
    TakeWalkerDamage(amount, dir, false);
}

void Skeleton::Dead()
{
    if (dead || state == 0)
        return;
    // The peer's copy counts its deaths as droughts too.
    if (IsHost(session) && HostRollsDrop())
        DropLoot();
    else
        ++g_killsWithoutDrop;
    DieWithSpark();
}
