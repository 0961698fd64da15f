#include "items/Bomb.h"

#include <cmath>

#include "items/Smoke.h"
#include "memory/TrackedNew.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

Bomb::Bomb(NetSession* session, KarskRenderer* world, Entity* owner)
    : Entity(session), Projectile(world), world(world), owner(owner)
{
    SetUpProjectile(*this, "Bomb", world, 1.0f, 0.0f);
}

void Bomb::SendEvent(int, void*, void*) {}

void Bomb::Launch(int dir, float launchSpeed, float launchDamage)
{
    speed = Finite(launchSpeed);
    direction = Opposite(dir);
    damage = Finite(launchDamage);
    fuse = kFuse;
    RefreshInView(*this, world);
    PlayIfInView(*this, SND_BOMB_DROP);
}

void Bomb::Dead()
{
    if (Tavin* hero = dynamic_cast<Tavin*>(owner.get()))
        hero->itemReady = true;
    Entity::Dead();
}

void Bomb::Tick(float dt)
{
    animate = false;
    Entity::Tick(dt);
    if (!InInnerScreen(position, 4.0f, 508.0f, 4.0f, 348.0f))
        Dead();
    fuse -= dt;
    if (fuse < 0.0f)
        Explode();
}

void Bomb::Explode()
{
    PlayIfInView(*this, SND_BOMB_BLOW);
    if (IsHost(session))
        Blast();
    LeaveSmoke();
    Dead();
}

void Bomb::Blast()
{
    if (!world)
        return;
    EntityList& list = world->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        EntityRef<Entity> target = list.Get(i);
        const Vec2 apart = target->GetPosition() - position;
        float d = std::sqrt(apart.x * apart.x + apart.y * apart.y);
        if (target->isPlayer)
            d += kPlayerAllowance;
        if (!(d <= kReach) || target->flashing)
            continue;
        // Enemies are thrown the way the hero faced when laying it, everyone else back towards him.
        const int push = target->isEnemy ? Opposite(direction) : direction;
        Strike(session, target.get(), damage, push);
    }
}

void Bomb::LeaveSmoke()
{
    static const Vec2 kOffsets[kSmokePuffs] = {{0.0f, 0.0f},    {16.0f, 32.0f}, {-16.0f, 32.0f},
                                               {32.0f, 0.0f},   {-32.0f, 0.0f}, {16.0f, -32.0f},
                                               {-16.0f, -32.0f}};
    if (!g_renderer)
        return;
    for (const Vec2& offset : kOffsets) {
        Smoke* puff = KARSK_NEW Smoke(session, world);
        puff->Start(position.x + offset.x, position.y + offset.y);
        g_renderer->AddEntity(puff, false);
    }
}
