#include "enemies/Gorlak.h"

#include <cstdlib>

#include "enemies/Krillop.h"
#include "items/Arrow.h"
#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kArrowSpeed = 250.0f;
constexpr float kArrowDamage = 1.0f;
constexpr float kFlashTime = 0.5f;

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
    if (spawnDelay > 0.0f)
        SetState(STATE_SPAWNING);
    switch (state) {
        case STATE_START:
            frameBase = 3;
            frameCount = 2.0f;
            animate = true;
            SetState(STATE_DECIDE);
            break;
        case STATE_SPAWNING:
            TickSpawning(dt);
            break;
        case STATE_DECIDE:
            if (remote)
                SetState(STATE_WALK);
            else
                DecideGridStep(isBlue ? AttackRule::OnRandomTurn : AttackRule::AfterStep);
            break;
        case STATE_WALK:
            // Out of sight, the peer's copy stays where the last record put it.
            if (remote && !netUpdated && !inView)
                break;
            TickWalk(dt);
            break;
        case STATE_ATTACK:
            TickAttack();
            break;
        default:
            break;
    }
}

void Gorlak::Fire()
{
    EntityRef<Arrow> arrow = new Arrow(session, renderer, this);
    arrow->SetPosition(position);
    arrow->Launch(direction, kArrowSpeed, kArrowDamage);
    if (renderer)
        renderer->AddEntity(arrow.get(), false);
}

void Gorlak::TakeDamage(float amount, int dir, Entity*)
{
    if (flashing)
        return;
    // Even a stunning blow only makes it flash and step back.
    if (amount > 0.0f)
        health -= amount;
    StartFlashing(kFlashTime);
    if (health > 0.0f) {
        if (dir != DIR_NONE) {
            PlayIfInView(SND_HIT);
            StepToTile(dir);
        }
        return;
    }
    Dead();
    if (IsHost(session) && HostRollsDrop())
        DropLoot();
}
