#include "items/EnergyBall.h"

#include <cmath>

#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

int DirectionOfVelocity(Vec2 v)
{
    if (std::fabs(v.x) > std::fabs(v.y))
        return v.x > 0.0f ? DIR_RIGHT : DIR_LEFT;
    return v.y > 0.0f ? DIR_DOWN : DIR_UP;
}

EnergyBall::EnergyBall(NetSession* session, KarskRenderer* world)
    : Entity(session), Projectile(world), world(world)
{
    SetUpProjectile(*this, "EnergyBall", world, 4.0f, 30.0f);
}

void EnergyBall::SendEvent(int, void*, void*) {}

void EnergyBall::Launch(float vx, float vy, float launchSpeed, float launchPower)
{
    // An aim at a target on the very same spot divides by a zero length.
    if (!std::isfinite(vx) || !std::isfinite(vy))
        vx = vy = 0.0f;
    velocity = Vec2(vx, vy);
    speed = Finite(launchSpeed);
    power = Finite(launchPower);
    direction = DirectionOfVelocity(velocity);
}

void EnergyBall::Tick(float dt)
{
    animate = true;
    Entity::Tick(dt);
    if (!InInnerScreen(position, 32.0f, 460.0f, 32.0f, 300.0f))
        Dead();
    for (int slot = 0; slot < kPlayerCount; ++slot) {
        Entity* player = Player(slot);
        if (!player || !Overlaps(player, this, kHitInset) || player->flashing)
            continue;
        if (ShieldBlocks(player, direction, power)) {
            Dead();
            PlayIfInView(*this, SND_SHIELD);
            continue;
        }
        player->TakeDamage(power - float(ShieldLevel(player)), direction, this);
        Dead();
        return;
    }
    Move(velocity * (speed * dt));
}
