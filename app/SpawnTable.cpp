#include "app/SpawnTable.h"

#include "items/Pushblock.h"

namespace {

constexpr int kPushblockType = 30;

}  // namespace

Entity* SpawnTable::Create(int type, NetSession* session) const
{
    if (type == kNothing)
        return nullptr;
    auto row = rows.find(type);
    Factory factory = row != rows.end() ? row->second : fallback;
    return factory ? factory(session) : nullptr;
}

SpawnTable& SpawnTable::Game()
{
    // Enemy and push-block classes add their rows here as they join the game.
    static SpawnTable table;
    return table;
}

void RegisterGameSpawns()
{
    SpawnTable& table = SpawnTable::Game();
    table.Set(kPushblockType, &CreatePushblock);
}
