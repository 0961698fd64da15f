#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

// Strikes show while at least this much of the swing is left.
constexpr float kStrikePose = 0.02f;

int Reverse(int dir)
{
    switch (dir) {
        case DIR_UP:
            return DIR_DOWN;
        case DIR_DOWN:
            return DIR_UP;
        case DIR_LEFT:
            return DIR_RIGHT;
        case DIR_RIGHT:
            return DIR_LEFT;
        default:
            return DIR_NONE;
    }
}

}  // namespace

void Tavin::UseSword()
{
    PlayIfInView(SND_SWORD);
    // A press during a swing still sounds but does not start another.
    if (attackTimer > 0.0f || state != STATE_NORMAL)
        return;
    if (Sword* sword = GetSword(swordType))
        sword->Swing(position, direction);
    cooldown = kAttackTime;
    attackTimer = kAttackTime;
}

void Tavin::UpdateAttack(float dt)
{
    if (attackTimer != 0.0f) {
        attackTimer -= dt;
        if (attackTimer < 0.0f) {
            attackTimer = 0.0f;
            frameCount = 2.0f;
        } else {
            frame = 0.0f;
            frameCount = 1.0f;
        }
    }
    if (direction < DIR_UP || direction > DIR_RIGHT)
        return;
    frameBase = attackTimer >= kStrikePose ? kStrikeFrames[direction] : kWalkFrames[direction];
}

void Tavin::SelectNextItem()
{
    ++selectedItem;
    if (selectedItem < 1 || selectedItem > kItemCount)
        selectedItem = 1;
    PlaySound(SND_TEXT);
}

void Tavin::WarnLowHealth(float dt)
{
    if (health > kLowHealthLevel)
        return;
    lowHealthTimer -= dt;
    if (lowHealthTimer <= 0.0f) {
        PlaySound(SND_LOW_HEALTH);
        lowHealthTimer = kLowHealthInterval;
    }
}

void Tavin::CountCurrency()
{
    if (pendingCurrency < 0) {
        if (currency > 0)
            --currency;
        ++pendingCurrency;
        if (currency < 1)
            pendingCurrency = 0;
        PlaySound(SND_TEXT);
    } else if (pendingCurrency > 0) {
        if (currency < kMaxCurrency)
            ++currency;
        --pendingCurrency;
        if (currency >= kMaxCurrency)
            pendingCurrency = 0;
        PlaySound(SND_TEXT);
        PlaySound(SND_GET_JESSEL);
    }
}

void Tavin::TouchEnemies()
{
    if (!renderer)
        return;
    EntityList& list = renderer->GetEntityList();
    // A hit starts the flashing, which shields the hero from the rest.
    for (int i = 0; i < list.Count() && !flashing; ++i) {
        EntityRef<Entity> e = list.Get(i);
        if (!e || e.get() == this || e->spawnDelay > 0.0f || e->flashing ||
            !Overlaps(this, e.get(), kTouchInset))
            continue;
        if (!e->hurtsOnTouch || e->isPushable)
            continue;
        const int knockBack = moveDirection == DIR_NONE ? e->moveDirection : Reverse(moveDirection);
        if (knockBack == DIR_NONE)
            continue;
        const float amount = float(e->touchDamage);
        TakeDamage(amount, knockBack, nullptr);
        SendHit(session, uid, position, amount, flashTime, knockBack, pushDistance);
    }
}
