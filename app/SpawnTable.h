#pragma once

#include <map>

class Entity;
class NetSession;

// Which class each spawn type creates. Types without a row of their own
// create the default class; type 50 never creates anything.
class SpawnTable {
public:
    using Factory = Entity* (*)(NetSession* session);

    static constexpr int kNothing = 50;

    void Set(int type, Factory factory) { rows[type] = factory; }
    void SetDefault(Factory factory) { fallback = factory; }
    // Null for type 50, or when no class is known for the type.
    Entity* Create(int type, NetSession* session) const;

    // The game's own table.
    static SpawnTable& Game();

private:
    std::map<int, Factory> rows;
    Factory fallback = nullptr;
};

// Puts the game's classes into SpawnTable::Game(). The game calls it when it
// starts; tests that want the real classes call it themselves.
void RegisterGameSpawns();
