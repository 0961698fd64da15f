#pragma once

#include "entity/Entity.h"

class KarskRenderer;

// A hero's returning throw. Each hero owns a plain and a magic one for good;
// they lie hidden in the world list until thrown, fly out, turn at the range
// limit, the screen edge or an enemy, and hide again when caught. The host
// makes every flight decision; each machine moves its own copy.
class Boomerang : public Entity {
public:
    static constexpr float kThrowSpeed = 330.0f;
    static constexpr float kRange = 150.0f;   // plain boomerang only
    static constexpr float kBrake = 2000.0f;  // px/s², turning and coming home
    static constexpr float kCatchDistance = 16.0f;
    static constexpr float kWhirrInterval = 0.18f;
    static constexpr float kStun = -1.0f;
    static constexpr int kHitInset = 6;

    // The owner must outlive the boomerang or call DetachOwner when it goes.
    Boomerang(NetSession* session, KarskRenderer* world, Entity* owner, bool isMagic);

    void Tick(float dt) override;
    void Dead() override;
    // A boomerang reacts to no event.
    void SendEvent(int event, void* arg1, void* arg2) override;

    // Starts an outbound flight from the owner; directions 0..7 (up, down,
    // left, right, up-right, up-left, down-right, down-left).
    void Throw(int direction, float speed);
    // Begins the way home.
    void Return();
    // The owner is going away; the boomerang stays inert from now on.
    void DetachOwner() { owner = nullptr; }

    Entity* GetOwner() const { return owner; }
    bool IsMagic() const { return isMagic; }
    bool IsReturning() const { return returning; }
    bool IsFlying() const { return visible; }
    float GetDistance() const { return distance; }

    KarskRenderer* world = nullptr;
    Vec2 velocity;
    float damage = 0.0f;
    float distance = 0.0f;
    Entity* owner = nullptr;
    bool isMagic = false;
    bool returning = false;
    float soundTimer = 0.0f;

private:
    void DecideFlight();
    void StunEnemies();
    void Fly(float dt);
};
