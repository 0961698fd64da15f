#include "app/SpawnTable.h"

#include "enemies/Bat.h"
#include "enemies/Gorlak.h"
#include "enemies/Krillop.h"
#include "enemies/Nerrit.h"
#include "enemies/Skeleton.h"
#include "enemies/Snake.h"
#include "items/Pushblock.h"

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
    static SpawnTable table;
    return table;
}

void RegisterGameSpawns()
{
    SpawnTable& table = SpawnTable::Game();
    // Every type without a row of its own is a red Krillop.
    table.SetDefault([](NetSession* s) -> Entity* { return new CKrillopRed(s); });
    table.Set(2, [](NetSession* s) -> Entity* { return new CKrillopBlue(s); });
    table.Set(6, [](NetSession* s) -> Entity* { return new Nerrit(s); });
    table.Set(9, [](NetSession* s) -> Entity* { return new Gorlak(s, false); });
    table.Set(10, [](NetSession* s) -> Entity* { return new Gorlak(s, true); });
    table.Set(11, [](NetSession* s) -> Entity* { return new Skeleton(s); });
    table.Set(12, [](NetSession* s) -> Entity* { return new Bat(s, true); });
    table.Set(13, [](NetSession* s) -> Entity* { return new Bat(s, false); });
    table.Set(18, [](NetSession* s) -> Entity* { return new Snake(s); });
    table.Set(30, &CreatePushblock);
}
