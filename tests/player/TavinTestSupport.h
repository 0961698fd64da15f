#pragma once

#include <vector>

#include "player/Tavin.h"
#include "tests/support/TestSupport.h"

// A world with one local hero on tile (120, 83), screen (7, 7), which the
// view shows. The sound table is loaded as looping tones and silenced before
// each test.
class TavinTest : public WorldTest {
protected:
    void SetUp() override;

    // A hero added to the world and placed on the tile; the first one made
    // is the local player. Its opening currency count is dropped so that the
    // counting sounds stay quiet unless a test asks for them. One frame is
    // run so that the world has marked what is in view.
    Tavin* AddHero(NetSession* session = nullptr, int column = 120, int row = 83);
    // Sends the event, then runs one frame, `frames` times.
    void Hold(Tavin* hero, int event, int frames);
    // Runs frames until the hero is back in its normal state, at most `limit`.
    int RunUntilNormal(Tavin* hero, int limit);
};

// Records the events it receives with the value of their first argument.
class PushTarget : public TestEntity {
public:
    PushTarget() { isPushable = true; }
    void SendEvent(int event, void* arg1, void* arg2) override;
    std::vector<int> pushDirections;
    std::vector<int> secondArgs;
};

// Hurts on touch and walks a fixed way.
class Toucher : public TestEntity {
public:
    explicit Toucher(int walking)
    {
        hurtsOnTouch = true;
        moveDirection = walking;
    }
};
