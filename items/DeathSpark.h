#pragma once

#include "entity/Entity.h"

// The flash an enemy leaves where it dies: four frames, then gone.
class DeathSpark : public Entity {
public:
    explicit DeathSpark(NetSession* session);

    void Tick(float dt) override;
    void SendEvent(int event, void* arg1, void* arg2) override;
};
