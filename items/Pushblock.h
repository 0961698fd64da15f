#pragma once

#include "entity/Entity.h"

// A stone block a hero can shove one tile, once, by walking against it for
// a moment. The map marks where blocks stand; a pushed block may open a door
// of its room.
class Pushblock : public Entity {
public:
    static constexpr float kPushTime = 0.3f;  // seconds of steady pushing
    static constexpr float kSlideSpeed = 64.0f;
    static constexpr float kTileSize = 32.0f;
    static constexpr int kRecordSize = 49;
    enum BlockState { STATE_RESTING = 1, STATE_SLIDING = 5 };
    enum Event { EVENT_PLACE = 11, EVENT_PUSHED = 14 };

    explicit Pushblock(NetSession* session);

    void Tick(float dt) override;
    void Dead() override;
    bool WriteState(NetStream* s) override;
    bool ReadState(NetStream* s) override;
    // Event 11: *arg1, *arg2 are the int32 column and row to stand on.
    // Event 14: *arg1 is the int32 direction a hero pushes in.
    void SendEvent(int event, void* arg1, void* arg2) override;

    // Starts the one slide toward `dir` unless the block has moved already or
    // a map marker stands in the way.
    void Push(int dir);

    bool HasMoved() const { return moved; }
    float GetPushTime() const { return pushTime; }

    bool moved = false;
    float pushTime = 0.0f;
    bool pushedThisTick = false;

private:
    void OpenPushDoor();
    void Slide(float dt);
};

// The spawn-table factory for the block.
Entity* CreatePushblock(NetSession* session);
