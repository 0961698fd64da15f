#pragma once

#include <cstdint>

#include "items/Pickup.h"

// Currency. A single piece flashes; larger pieces show a still picture.
class Jessel : public Pickup {
public:
    Jessel(int value, NetSession* session, KarskRenderer* world);
    void Collect(Entity* player) override;

    int GetValue() const { return value; }

    int32_t value = 1;
};
