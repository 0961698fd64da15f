#pragma once

#include "items/Pickup.h"

// Opens one locked door.
class Key : public Pickup {
public:
    Key(NetSession* session, KarskRenderer* world);
    void Collect(Entity* player) override;
};
