#pragma once

#include "items/Pickup.h"

// Gives back one heart of health.
class Heart : public Pickup {
public:
    Heart(NetSession* session, KarskRenderer* world);
    void Collect(Entity* player) override;
};
