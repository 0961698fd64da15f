#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/Recording.h"

// Plays a recording back frame by frame: the clock, the time step and the keys
// of each frame, and the socket calls' outcomes in the order they were made.
// A game that asks for something else than the recording holds has gone out
// of step: that is logged once and remembered.
class RunReplayer {
public:
    explicit RunReplayer(Recording recording);

    const Recording& Header() const { return recording; }
    // Moves to the next frame; false (out of step) past the last one.
    bool BeginFrame();
    uint64_t ClockMicros() const { return clockMicros; }
    float TimeStep() const;
    // Every key held in the current frame, ascending.
    const std::vector<uint16_t>& Keys() const { return keys; }

    // The next recorded call, which must be `call` with a result of at most
    // `limit` bytes; null when it is not.
    const RecordedCall* Take(NetCall call, uint32_t limit);
    // The same when the next recorded call is `call`; otherwise null, and
    // nothing is wrong.
    const RecordedCall* TakeIfNext(NetCall call, uint32_t limit);

    bool OutOfStep() const { return !problem.empty(); }
    const std::string& Problem() const { return problem; }

private:
    const std::vector<RecordedCall>& CurrentCalls() const;
    void Fail(const std::string& why);

    Recording recording;
    long frame = -1;  // -1 while the game starts
    size_t nextCall = 0;
    uint64_t clockMicros = 0;
    std::vector<uint16_t> keys;
    std::string problem;
};
