#include "world/EntityList.h"

#include <algorithm>

Entity* EntityList::Get(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return items[size_t(index)].get();
}

void EntityList::RemoveAt(int index)
{
    if (index < 0 || index >= Count())
        return;
    // Keep the entity alive until the list is consistent again: its
    // destructor may reach back into the list.
    EntityRef<Entity> leaving = items[size_t(index)];
    items.erase(items.begin() + index);
}

void EntityList::Add(Entity* entity, bool atFront)
{
    if (!entity)
        return;
    if (atFront)
        items.insert(items.begin(), EntityRef<Entity>(entity));
    else
        items.push_back(EntityRef<Entity>(entity));
}

Entity* EntityList::FindByUid(uint32_t uid) const
{
    for (const auto& e : items)
        if (e->GetUID() == uid)
            return e.get();
    return nullptr;
}

bool EntityList::RemoveByUid(uint32_t uid)
{
    for (int i = 0; i < Count(); ++i) {
        if (items[size_t(i)]->GetUID() == uid) {
            RemoveAt(i);
            return true;
        }
    }
    return false;
}

bool EntityList::Remove(Entity* entity)
{
    auto it = std::find_if(items.begin(), items.end(),
                           [entity](const EntityRef<Entity>& e) { return e.get() == entity; });
    if (it == items.end())
        return false;
    RemoveAt(int(it - items.begin()));
    return true;
}

void EntityList::Clear()
{
    // Swap out first: entities let go here may remove others from the list.
    std::vector<EntityRef<Entity>> leaving;
    leaving.swap(items);
    while (!leaving.empty()) leaving.pop_back();
}
