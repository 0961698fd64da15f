#pragma once

#include "entity/Entity.h"

class KarskRenderer;

// Something lying in the world that a hero collects by touching it, by
// touching it with his boomerang or by shooting it with his arrow. Each kind
// credits the hero in its own Collect.
class Pickup : public Entity {
public:
    static constexpr float kForever = -1.0f;
    static constexpr int kTouchInset = 4;

    Pickup(NetSession* session, KarskRenderer* world);

    void Tick(float dt) override;
    // Pickups react to no event.
    void SendEvent(int event, void* arg1, void* arg2) override;

    // `lifetime` in seconds, kForever for a pickup that never vanishes.
    virtual void Place(const Vec2& position, float lifetime);
    // Credits `player` (a hero) and removes the pickup. Every call credits,
    // even on a pickup already collected in the same tick.
    virtual void Collect(Entity* player) = 0;

    float GetLifetime() const { return lifetime; }

    float lifetime = kForever;
    KarskRenderer* world = nullptr;
};
