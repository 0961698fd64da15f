#include "items/Fire.h"

#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

Fire::Fire(NetSession* session, KarskRenderer* world, Entity* owner)
    : Entity(session), Projectile(world), world(world), owner(owner)
{
    SetUpProjectile(*this, "Fire", world, 2.0f, 15.0f);
}

void Fire::SendEvent(int, void*, void*) {}

void Fire::Launch(int dir, float launchSpeed, float launchDamage)
{
    speed = Finite(launchSpeed);
    direction = Opposite(dir);
    damage = Finite(launchDamage);
    distance = 0.0f;
    lingerTime = kLingerTime;
    RefreshInView(*this, world);
    PlayIfInView(*this, SND_FIRE);
}

void Fire::Dead()
{
    if (owner && owner->isPlayer)
        if (Tavin* hero = dynamic_cast<Tavin*>(owner.get()))
            hero->itemReady = true;
    Entity::Dead();
}

void Fire::Tick(float dt)
{
    animate = true;
    Entity::Tick(dt);
    if (!InInnerScreen(position, 32.0f, 480.0f, 32.0f, 320.0f))
        Dead();
    if (IsHost(session))
        Burn();
    if (distance >= kTravel) {
        lingerTime -= dt;
        if (lingerTime < 0.0f)
            Dead();
    } else {
        const float step = speed * dt;
        Move(StraightStep(Opposite(direction), step));
        distance += step;
    }
}

void Fire::Burn()
{
    if (!world)
        return;
    EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        EntityRef<Entity> target = list.Get(i);
        if (!Overlaps(target.get(), this, kHitInset) || target->flashing)
            continue;
        // Enemies are pushed on along the way it travelled, everyone else back towards the thrower.
        const int push = target->isEnemy ? Opposite(direction) : direction;
        Strike(session, target.get(), damage, push);
    }
}
