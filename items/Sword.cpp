#include "items/Sword.h"

#include "items/Projectile.h"
#include "net/GameMessages.h"
#include "world/KarskRenderer.h"

namespace {

// Moves `p` by `distance` along a facing; false for a facing that has no axis.
bool OffsetAlong(int facing, float distance, Vec2& p)
{
    switch (facing) {
        case DIR_UP:
            p.y -= distance;
            return true;
        case DIR_DOWN:
            p.y += distance;
            return true;
        case DIR_LEFT:
            p.x -= distance;
            return true;
        case DIR_RIGHT:
            p.x += distance;
            return true;
        default:
            return false;
    }
}

}  // namespace

const char* SwordSpriteName(int grade)
{
    static const char* const kNames[Sword::kGradeCount] = {"WoodSword", "SteelSword", "MagicSword"};
    return grade >= 0 && grade < Sword::kGradeCount ? kNames[grade] : nullptr;
}

Sword::Sword(NetSession* session, int grade, Entity* owner) : Entity(session), swordType(grade), owner(owner)
{
    const char* spriteName = SwordSpriteName(grade);
    if (spriteName && renderer)
        sprite = renderer->GetSpriteType(spriteName);
    frameBase = 0;
    visible = false;
    transient = true;
    localOnly = true;
    SetName("Sword");
}

void Sword::SendEvent(int, void*, void*) {}

void Sword::Swing(const Vec2& from, int facing)
{
    SetPosition(from);
    state = 1;
    // One frame per facing in the sprite.
    frameBase = facing >= DIR_UP && facing <= DIR_RIGHT ? facing : 0;
    reach = kReach;
    visible = true;
    direction = facing;
    swingTime = kSwingTime;
    Vec2 out = from;
    if (OffsetAlong(facing, kReach, out))
        SetPosition(out);
}

void Sword::Tick(float dt)
{
    Entity::Tick(dt);
    if (!visible)
        return;
    if (swingTime == 0.0f) {
        reach -= kRetractStep;
        if (reach <= 0.0f) {
            reach = 0.0f;
            visible = false;
        }
        // Only a retracting sword follows its owner; an extended one keeps
        // the place the swing gave it.
        if (owner) {
            Vec2 p = owner->GetPosition();
            if (OffsetAlong(direction, reach, p))
                SetPosition(p);
        }
    }
    if (swingTime > 0.0f) {
        swingTime -= dt;
        if (swingTime < 0.0f)
            swingTime = 0.0f;
    }
    // Hits are the host's to decide; a client learns of them by message.
    if (IsHost(session))
        StrikeEnemies();
}

void Sword::StrikeEnemies()
{
    if (!g_renderer)
        return;
    EntityList& list = g_renderer->GetEntityList();
    const float amount = float(swordType + 1);
    for (int i = 0; i < list.Count(); ++i) {
        // Held: a struck entity may die and leave the list inside TakeDamage.
        EntityRef<Entity> target = list.Get(i);
        if (!target || target->isPlayer || target.get() == this || target->untargetable)
            continue;
        if (!Overlaps(this, target.get(), kHitInset))
            continue;
        if (target->flashing || target->invulnerable)
            continue;
        Projectile::Strike(session, target.get(), amount, direction);
    }
}
