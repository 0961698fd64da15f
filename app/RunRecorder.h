#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Recording.h"

// Collects a run as it is played: per frame the game clock, the measured time
// step, the keys held and what the socket layer brought in.
class RunRecorder {
public:
    // `header` holds the seed, the role and the clock when the game started.
    explicit RunRecorder(Recording header);

    // At the start of every frame's update, before anything reads the keys.
    void BeginFrame(uint64_t clockMicros, float timeStep, std::vector<uint16_t> keys);
    // A socket call's outcome; `bytes` are what a Receive delivered.
    void AddCall(NetCall call, int32_t result, const void* bytes = nullptr, size_t count = 0);
    bool Save(const std::string& path, std::string& error) const;
    size_t FrameCount() const { return recording.frames.size(); }

private:
    Recording recording;
    uint64_t lastClockMicros = 0;
    std::vector<uint16_t> lastKeys;
};
