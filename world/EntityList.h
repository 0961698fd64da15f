#pragma once

#include <cstdint>
#include <vector>

#include "entity/Entity.h"

// The world's ordered list of live entities. It holds a reference to each, so
// an entity leaves memory only when nothing else refers to it either.
class EntityList {
public:
    int Count() const { return int(items.size()); }
    // Null when the index is not below the count.
    Entity* Get(int index) const;
    // Ignored when the index is not below the count.
    void RemoveAt(int index);
    void Add(Entity* entity, bool atFront);
    Entity* FindByUid(uint32_t uid) const;
    // Takes the first entity with that uid out of the list.
    bool RemoveByUid(uint32_t uid);
    // Takes this very entity out of the list.
    bool Remove(Entity* entity);
    void Clear();

private:
    std::vector<EntityRef<Entity>> items;
};
