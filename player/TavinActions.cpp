#include "items/Arrow.h"
#include "items/Bomb.h"
#include "items/Fire.h"
#include "items/Projectile.h"
#include "items/ThrowSword.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

// Strikes show while at least this much of the swing is left.
constexpr float kStrikePose = 0.02f;
// Health may be this far below full and the sword still flies as a beam.
constexpr float kBeamHealthMargin = 0.25f;
constexpr float kBeamSpeed = 350.0f;
// Items are put down one tile ahead.
constexpr float kItemPlacement = 32.0f;
constexpr float kBoomerangSpeed = 330.0f;
constexpr float kFireSpeed = 60.0f;
constexpr float kBombSpeed = 60.0f;
constexpr float kArrowSpeed = 320.0f;

enum Item { ITEM_BOOMERANG = 1, ITEM_FIRE = 2, ITEM_BOMB = 3, ITEM_ARROW = 4 };

}  // namespace

void Tavin::UseSword()
{
    // At full health, within a quarter heart, the sword also flies as a beam.
    if (throwReady && renderer && maxHealth <= health + kBeamHealthMargin) {
        EntityRef<ThrowSword> beam = new ThrowSword(session, renderer, this);
        beam->SetPosition(position);
        beam->Launch(direction, kBeamSpeed, float(swordType + 1));
        renderer->AddEntity(beam.get(), false);
        throwReady = false;
        PlayIfInView(SND_SWORD_COMBINED);
    } else {
        PlayIfInView(SND_SWORD);
    }
    // A press during a swing still sounds but does not start another.
    if (attackTimer > 0.0f || state != STATE_NORMAL)
        return;
    if (Sword* sword = GetSword(swordType))
        sword->Swing(position, direction);
    cooldown = kAttackTime;
    attackTimer = kAttackTime;
}

void Tavin::UseItem()
{
    if (!itemReady || state != STATE_NORMAL || cooldown != 0.0f || !renderer)
        return;
    const Vec2 ahead = position + Projectile::StraightStep(direction, kItemPlacement);
    bool used = false;
    switch (selectedItem) {
        case ITEM_BOOMERANG:
            // The host flies every boomerang; the client's copy follows the hero records.
            if (IsHost(session) && boomerangIndex > -1) {
                if (Boomerang* boomerang = GetBoomerang(boomerangIndex)) {
                    boomerang->Throw(direction, kBoomerangSpeed);
                    used = true;
                }
            }
            break;
        case ITEM_FIRE: {
            EntityRef<Fire> fire = new Fire(session, renderer, this);
            fire->SetPosition(ahead);
            fire->Launch(direction, kFireSpeed, 1.0f);
            renderer->AddEntity(fire.get(), false);
            used = true;
            break;
        }
        case ITEM_BOMB: {
            EntityRef<Bomb> bomb = new Bomb(session, renderer, this);
            bomb->SetPosition(ahead);
            bomb->Launch(direction, kBombSpeed, 2.0f);
            renderer->AddEntity(bomb.get(), false);
            used = true;
            break;
        }
        case ITEM_ARROW: {
            if (currency < 1) {
                currency = 0;
                break;
            }
            --currency;
            EntityRef<Arrow> arrow = new Arrow(session, renderer, this);
            arrow->SetPosition(ahead);
            arrow->Launch(direction, kArrowSpeed, 1.0f);
            renderer->AddEntity(arrow.get(), false);
            used = true;
            break;
        }
        default:
            break;
    }
    if (!used)
        return;
    itemReady = false;
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
        const int knockBack = moveDirection == DIR_NONE ? e->moveDirection : OppositeDirection(moveDirection);
        if (knockBack == DIR_NONE)
            continue;
        const float amount = float(e->touchDamage);
        TakeDamage(amount, knockBack, nullptr);
        SendHit(session, uid, position, amount, flashTime, knockBack, pushDistance);
    }
}
