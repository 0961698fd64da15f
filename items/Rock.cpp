#include "items/Rock.h"

#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

bool RockPassesTile(int tile)
{
    switch (tile) {
        case 0:
        case 9:
        case 10:
        case 16:
        case 25:
        case 32:
        case 64:
        case 97:
            return true;
        default:
            return false;
    }
}

Rock::Rock(NetSession* session, KarskRenderer* world) : Entity(session), Projectile(world), world(world)
{
    SetUpProjectile(*this, "Rock", world, 0.0f, 0.0f);
}

void Rock::SendEvent(int, void*, void*) {}

void Rock::Launch(int dir, float launchSpeed)
{
    direction = dir;
    speed = Finite(launchSpeed);
}

void Rock::Tick(float dt)
{
    Entity::Tick(dt);
    const bool overWall = world && !RockPassesTile(world->GetMapTile(int(tile.x), int(tile.y), 0));
    if (overWall || !InInnerScreen(position, 32.0f, 480.0f, 32.0f, 320.0f))
        Dead();
    TouchPlayers();
    if (deflected) {
        deflectTime += dt;
        if (deflectTime > kDeflectTime)
            Dead();
        Move(DeflectedStep(speed * dt));
    } else {
        Move(StraightStep(direction, speed * dt));
    }
}

void Rock::TouchPlayers()
{
    for (int slot = 0; slot < kPlayerCount; ++slot) {
        Entity* player = Player(slot);
        if (!player || deflected || !Overlaps(player, this, kHitInset))
            continue;
        if (ShieldBlocks(player, direction)) {
            deflected = true;
            speed *= 0.5f;
            PlayIfInView(*this, SND_SHIELD);
        } else {
            player->TakeDamage(kDamage, direction, this);
            Dead();
        }
    }
}

Vec2 Rock::DeflectedStep(float s) const
{
    switch (direction) {
        case DIR_UP:
            return Vec2(s, s);
        case DIR_DOWN:
            return Vec2(-s, -s);
        case DIR_LEFT:
            return Vec2(s, -s);
        case DIR_RIGHT:
            return Vec2(-s, s);
        default:
            return Vec2(0.0f, 0.0f);
    }
}
