#pragma once

#include "entity/Entity.h"

namespace ktool {

// A push-block that never moves: it stands in the hero's way exactly as the
// game's block does, so the world checker can walk around it.
class StillBlock : public Entity {
public:
    StillBlock(int column, int row);
    void SendEvent(int event, void* arg1, void* arg2) override;
};

}  // namespace ktool
