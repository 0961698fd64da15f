#include "items/ThrowSword.h"

#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

ThrowSword::ThrowSword(NetSession* session, KarskRenderer* world, Entity* owner)
    : Entity(session), Projectile(world), world(world), owner(owner)
{
    SetUpProjectile(*this, "ThrowSword", world, float(kFrames), 40.0f);
}

void ThrowSword::SendEvent(int, void*, void*) {}

void ThrowSword::Launch(int dir, float launchSpeed, float launchDamage)
{
    // The sheet holds three frames per facing: up, down, right, left.
    static const int kFirstFrame[4] = {0, 3, 9, 6};
    speed = Finite(launchSpeed);
    direction = dir;
    damage = Finite(launchDamage);
    frameRate = 30.0f;
    frameCount = float(kFrames);
    frameBase = dir >= DIR_UP && dir <= DIR_RIGHT ? kFirstFrame[dir] : 0;
}

void ThrowSword::Dead()
{
    if (Tavin* hero = dynamic_cast<Tavin*>(owner.get()))
        hero->throwReady = true;
    Entity::Dead();
}

void ThrowSword::Tick(float dt)
{
    animate = true;
    Entity::Tick(dt);
    if (!InInnerScreen(position, 32.0f, 480.0f, 32.0f, 320.0f))
        Dead();
    if (world) {
        EntityList& list = world->GetEntityList();
        for (int i = 0; i < list.Count(); ++i) {
            // Held: a struck enemy may die and leave the list.
            EntityRef<Entity> target = list.Get(i);
            if (!target->isEnemy || !Overlaps(target.get(), this, kHitInset))
                continue;
            if (IsHost(session))
                Strike(session, target.get(), damage, direction);
            Dead();
        }
    }
    Move(StraightStep(direction, speed * dt));
}
