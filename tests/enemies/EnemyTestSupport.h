#pragma once

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <vector>

#include "enemies/Enemy.h"
#include "items/Projectile.h"
#include "tests/player/TavinTestSupport.h"

enum Kind { BLUE_KRILLOP, RED_KRILLOP, RED_GORLAK, BLUE_GORLAK, NERRIT, BAT, SKELETON, SNAKE };
inline const char* KindName(Kind kind)
{
    static const char* names[] = {"blue krillop", "red krillop", "red gorlak", "blue gorlak",
                                  "nerrit",       "bat",         "skeleton",   "snake"};
    return names[kind];
}
// A new enemy of that kind, not yet in the world.
Enemy* NewEnemy(Kind kind, NetSession* session);

// The hero's world (screen (7, 7), whose top-left tile is (112, 77)) with a
// host and a client session, a fixed seed and an empty drop counter.
class EnemyTest : public TavinTest {
protected:
    void SetUp() override;

    // Added to the world with the next uid from 10, placed on the tile the
    // way the world places new enemies, and without a spawn delay.
    template <class T>
    T* Place(T* e, int column, int row)
    {
        world->AddEntity(e, false);
        e->SetUID(nextUid++);
        e->SendEvent(11, &column, &row);
        e->spawnDelay = 0.0f;
        return e;
    }
    Enemy* Add(Kind kind, int column, int row, NetSession* session = nullptr)
    {
        return Place(NewEnemy(kind, session ? session : &host), column, row);
    }
    // Reseeds with the first seed whose next draws make `wanted` true, so
    // that a random outcome is forced rather than hoped for.
    template <class F>
    static void SeedSoThat(F wanted)
    {
        for (unsigned seed = 1;; ++seed) {
            std::srand(seed);
            if (wanted()) {
                std::srand(seed);
                return;
            }
        }
    }
    static int Draw(int n) { return std::rand() % n; }
    // Every T in the world list facing `dir`, dead ones included (an enemy's
    // thrown sword strikes its own thrower and dies in the tick it is made).
    template <class T>
    std::vector<Entity*> Shots(int dir)
    {
        std::vector<Entity*> found;
        EntityList& list = world->GetEntityList();
        for (int i = 0; i < list.Count(); ++i)
            if (dynamic_cast<T*>(list.Get(i)) && list.Get(i)->GetDirection() == dir)
                found.push_back(list.Get(i));
        return found;
    }
    // Runs frames while the entity stays in `state`, at most `limit`; the count run.
    int FramesIn(Entity* e, int state, int limit);

    RecordingSession host{true};
    RecordingSession client{false};
    uint32_t nextUid = 10;
};

// A little-endian field of a sent payload.
template <class T>
T Field(const std::vector<uint8_t>& bytes, size_t offset)
{
    T v{};
    if (offset + sizeof v <= bytes.size())
        std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

inline void PrintTo(const Vec2& v, std::ostream* os)
{
    *os << "(" << v.x << ", " << v.y << ")";
}
