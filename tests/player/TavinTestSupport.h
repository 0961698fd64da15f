#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "items/Pickup.h"
#include "player/Tavin.h"
#include "tests/support/TestSupport.h"

// A world with one local hero on tile (120, 83), screen (7, 7), which the
// view shows. The sound table is loaded as looping tones and silenced before
// each test; the smoke flicker timer starts at 0.
class TavinTest : public WorldTest {
protected:
    void SetUp() override;

    // A hero added to the world and placed on the tile; the first one made
    // is the local player. Its opening currency count is dropped so that the
    // counting sounds stay quiet unless a test asks for them. One frame is
    // run so that the world has marked what is in view.
    Tavin* AddHero(NetSession* session = nullptr, int column = 120, int row = 83);
    // Sends the event, then runs one frame, `frames` times.
    void Hold(Tavin* hero, int event, int frames);
    // Runs frames until the hero is back in its normal state, at most `limit`.
    int RunUntilNormal(Tavin* hero, int limit);
    // Runs frames until the entity has died, at most `limit`; the count run.
    int RunUntilDead(Entity* e, int limit);
    // A point of the viewed screen, relative to its top-left corner.
    static Vec2 At(float rx, float ry) { return Vec2(7.0f * 512.0f + rx, 7.0f * 352.0f + ry); }
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
};

// Records the events it receives with the value of their first argument.
class PushTarget : public TestEntity {
public:
    PushTarget() { isPushable = true; }
    void SendEvent(int event, void* arg1, void* arg2) override;
    std::vector<int> pushDirections;
    std::vector<int> secondArgs;
};

// Hurts on touch and walks a fixed way.
class Toucher : public TestEntity {
public:
    explicit Toucher(int walking)
    {
        hurtsOnTouch = true;
        moveDirection = walking;
    }
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
    bool operator==(const HitMessage& o) const
    {
        return uid == o.uid && position == o.position && amount == o.amount && flashTime == o.flashTime &&
               direction == o.direction && push == o.push;
    }
};
void PrintTo(const HitMessage& hit, std::ostream* os);

// The decoded message; a default one when it is not a complete hit message.
HitMessage DecodeHit(const RecordingSession::Sent& sent);
// The payloads of the messages of that type the session was asked to send.
std::vector<std::vector<uint8_t>> Sent(const RecordingSession& s, int type);
