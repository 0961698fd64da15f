#pragma once

#include "entity/Entity.h"

class KarskRenderer;

// A puff of a bomb's blast. It runs its own frame clock and flickers once it
// has shown for a moment; all puffs take turns on one shared timer.
class Smoke : public Entity {
public:
    static constexpr float kFrames = 3.0f;
    static constexpr float kSteadyFrames = 0.5f;
    static constexpr float kFlickerInterval = 0.03f;

    Smoke(NetSession* session, KarskRenderer* world);

    void Tick(float dt) override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    // Places the puff and picks a random pace of 3.00 to 4.99 frames a second.
    void Start(float x, float y);

    // Shared by every puff, and run down by each of them every tick.
    static float flickerTimer;

    KarskRenderer* world = nullptr;
};
