#include "items/Arrow.h"

#include "items/Pickup.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

Arrow::Arrow(NetSession* session, KarskRenderer* world, Entity* owner)
    : Entity(session), Projectile(world), world(world), owner(owner)
{
    SetUpProjectile(*this, "Arrow", world, 0.0f, 0.0f);
}

void Arrow::SendEvent(int, void*, void*) {}

void Arrow::Launch(int dir, float launchSpeed, float launchDamage)
{
    speed = Finite(launchSpeed);
    direction = dir;
    damage = Finite(launchDamage);
    frameRate = 0.0f;
    frameCount = 0.0f;
    // One still frame per facing.
    frameBase = dir >= DIR_UP && dir <= DIR_RIGHT ? dir : 0;
    RefreshInView(*this, world);
    PlayIfInView(*this, SND_ARROW);
}

void Arrow::Dead()
{
    if (owner && owner->isPlayer)
        if (Tavin* hero = dynamic_cast<Tavin*>(owner.get()))
            hero->itemReady = true;
    Entity::Dead();
}

void Arrow::Tick(float dt)
{
    animate = false;
    Entity::Tick(dt);
    if (!InInnerScreen(position, 32.0f, 480.0f, 32.0f, 320.0f))
        Dead();
    if (owner && owner->isPlayer)
        HitEnemiesAndPickups();
    else if (!HitPlayers())
        return;
    Move(StraightStep(direction, speed * dt));
}

void Arrow::HitEnemiesAndPickups()
{
    if (!world)
        return;
    EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        EntityRef<Entity> target = list.Get(i);
        if (!(target->isPickup || target->isEnemy) || !Overlaps(target.get(), this, kHitInset))
            continue;
        if (target->isPickup) {
            // Collected for the shooter; the arrow flies on.
            if (Pickup* pickup = dynamic_cast<Pickup*>(target.get()))
                pickup->Collect(owner.get());
            continue;
        }
        if (IsHost(session))
            Strike(session, target.get(), damage, direction);
        Dead();
        return;
    }
}

bool Arrow::HitPlayers()
{
    if (!world)
        return true;
    EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        EntityRef<Entity> player = list.Get(i);
        if (!player->isPlayer || !Overlaps(player.get(), this, kHitInset))
            continue;
        if (ShieldBlocks(player.get(), direction, damage)) {
            Dead();
            PlayIfInView(*this, SND_SHIELD);
            continue;
        }
        player->TakeDamage(damage - float(ShieldLevel(player.get())), direction, this);
        Dead();
        return false;
    }
    return true;
}
