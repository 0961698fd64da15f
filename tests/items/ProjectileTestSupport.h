#pragma once

#include <cstdint>
#include <vector>

#include "items/Pickup.h"
#include "tests/player/TavinTestSupport.h"

// The hero of TavinTest (tile (120, 83), screen (7, 7) in view) with helpers
// for what the projectiles meet. The smoke flicker timer starts at 0.
class ProjectileTest : public TavinTest {
protected:
    void SetUp() override;

    // A point of the viewed screen, relative to its top-left corner.
    static Vec2 At(float rx, float ry);
    // An entity added to the world at `p`.
    template <class T>
    T* Put(T* e, Vec2 p)
    {
        world->AddEntity(e, false);
        e->SetPosition(p);
        return e;
    }
    // Every live entity of that class in the world list, in list order.
    template <class T>
    std::vector<T*> Live()
    {
        std::vector<T*> found;
        EntityList& list = world->GetEntityList();
        for (int i = 0; i < list.Count(); ++i)
            if (auto* t = dynamic_cast<T*>(list.Get(i)); t && t->GetState() != 0)
                found.push_back(t);
        return found;
    }
    // Runs frames until the entity has died, at most `limit`; the count run.
    int RunUntilDead(Entity* e, int limit);
};

// Records each blow; may start flashing from it as enemies do.
class Target : public TestEntity {
public:
    enum Kind { ENEMY, PLAYER, OTHER };
    explicit Target(Kind kind = ENEMY, bool flashesWhenHit = true);
    void TakeDamage(float amount, int dir, Entity* source) override;
    bool flashesWhenHit;
    std::vector<float> amounts;
    std::vector<int> directions;
    std::vector<Entity*> sources;
};

// Remembers who collected it, then goes as every pickup does.
class CountingPickup : public Pickup {
public:
    explicit CountingPickup(KarskRenderer* world) : Pickup(nullptr, world) {}
    void Collect(Entity* player) override;
    std::vector<Entity*> collectors;
};

// The fields of a hit message, in the order they travel.
struct HitMessage {
    uint32_t uid = 0;
    Vec2 position;
    float amount = 0.0f;
    float flashTime = 0.0f;
    int32_t direction = 0;
    int32_t push = 0;
};

// False unless the message is a complete hit message.
bool DecodeHit(const RecordingSession::Sent& sent, HitMessage& hit);
