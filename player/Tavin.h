#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "entity/Entity.h"
#include "entity/EntityRef.h"
#include "items/Boomerang.h"
#include "items/Sword.h"

namespace Quill {
class InputSystem;
}

// The hero each player steers. The local one follows the keyboard through
// events that the application sends; the peer's copy (`remote`) follows the
// peer's records. The hero owns its three swords and its two boomerangs,
// which live in the world list beside it.
class Tavin : public Entity {
public:
    static constexpr int kSwordCount = Sword::kGradeCount;
    static constexpr int kFrameCount = 12;  // left, right, down, up: walk, walk, strike
    static constexpr int kItemCount = 4;    // boomerang, fire, bomb, arrow
    static constexpr int kMaxKeys = 999;
    static constexpr int kMaxCurrency = 999;
    static constexpr int kBoomerangCount = 2;
    static constexpr float kSpeed = 175.0f;
    static constexpr float kStartHealth = 3.0f;
    static constexpr float kStairsDepth = 32.0f;  // pixels sunk over one second
    static constexpr float kAttackTime = 0.125f;
    static constexpr float kLowHealthLevel = 1.0f;
    static constexpr float kLowHealthInterval = 0.3f;
    static constexpr float kHurtFlashTime = 1.0f;
    static constexpr int kKnockBack = 64;
    static constexpr int kTouchInset = 5;
    static constexpr int kStairsTile = 64;
    // Tile (column, row) given when no return point is left.
    static constexpr float kDefaultReturnColumn = 120.0f;
    static constexpr float kDefaultReturnRow = 83.0f;
    // First frame of each facing (up, down, left, right) walking and striking.
    static constexpr int kWalkFrames[4] = {9, 6, 0, 3};
    static constexpr int kStrikeFrames[4] = {11, 8, 2, 5};
    // Where the record puts a boomerang that is not held.
    static constexpr float kNoBoomerang = -128.0f;

    enum Event {
        EVENT_WALK_UP = 1,
        EVENT_WALK_DOWN = 2,
        EVENT_WALK_LEFT = 3,
        EVENT_WALK_RIGHT = 4,
        EVENT_SWORD = 5,
        EVENT_ITEM = 6,
        EVENT_STOP = 7,
        EVENT_PLACE = 11,  // arg1, arg2: int32 column and row
        EVENT_STAIRS_DOWN = 12,
        EVENT_STAIRS_UP = 13,
        EVENT_NEXT_ITEM = 15,
    };
    enum HeroState { STATE_NORMAL = 1, STATE_PAUSED = 2, STATE_GOING_DOWN = 6, STATE_COMING_UP = 7 };

    Tavin(const char* playerName, Quill::InputSystem* input, NetSession* session,
          const char* spriteName = "Tavin");
    ~Tavin() override;

    void Render(int screenX, int screenY) override;
    void Tick(float dt) override;
    void SetDirection(int d) override;
    bool WriteState(NetStream* s) override;
    bool ReadState(NetStream* s) override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    void TakeDamage(float amount, int direction, Entity* source) override;
    bool CanMoveTo(const Vec2& target) override;

    void TouchEnemies();
    void UpdateAttack(float dt);
    bool UseKey();
    // The first locked-door tile under the probe points at `target`, or −1.
    int FindDoorTile(const Vec2& target);
    void PushReturnPoint(float column, float row);
    // The last pushed tile, removed; tile (120, 83) when none is left.
    Vec2 PopReturnPoint();
    size_t ReturnPointCount() const { return returnPoints.size(); }
    // Stores the value, capped at maxHealth; a value that is not a number is ignored.
    void SetHealth(float value);
    void Heal(float amount);
    void AddKey();
    // Counted in one unit per tick.
    void AddCurrency(int value);
    // Null outside 0..2.
    Sword* GetSword(int grade) const;
    // Null outside 0..1.
    Boomerang* GetBoomerang(int index) const;
    // Place of the boomerang in hand for the hero update; (−128, −128) when none is held.
    Vec2 HeldBoomerangPosition() const;
    const char* GetPlayerName() const { return playerName; }
    bool IsLocal() const { return !remote; }

    char playerName[64] = {};
    Quill::InputSystem* input = nullptr;
    float attackTimer = 0.0f;
    EntityRef<Sword> swords[kSwordCount];
    EntityRef<Boomerang> boomerangs[kBoomerangCount];  // plain, magic
    int32_t swordType = 0;
    int32_t boomerangIndex = 0;
    int32_t fireLevel = 0;
    int32_t shieldLevel = 1;
    float damageFactor = 0.5f;
    bool throwReady = true;
    bool itemReady = true;
    int32_t currency = 0;
    int32_t keys = 2;
    int32_t bombs = 0;
    int32_t pendingCurrency = 10;
    float lowHealthTimer = 0.0f;
    int32_t selectedItem = 1;
    float stairsOffset = kStairsDepth;
    bool onStairs = false;
    std::vector<Vec2> returnPoints;

private:
    void PlayIfInView(int sound) const;
    void Walk(int dir);
    void TryUnlockDoor(int dir, const Vec2& target);
    void CheckStairsTile();
    void TickGoingDown(float dt);
    void TickComingUp(float dt);
    void LandAtStairsTarget();
    void UseSword();
    void UseItem();
    void SelectNextItem();
    void WarnLowHealth(float dt);
    void CountCurrency();
    bool WriteHeldBoomerang(NetStream* s) const;
    bool ReadHeldBoomerang(NetStream* s);
};
