#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A recorded run: everything from outside the game that shaped it, so that
// the same game can be played again without a player, a clock or a peer.
// The file format is described in docs/recordings.md.

// A call into the socket layer whose outcome came from outside.
enum class NetCall : uint8_t { Init = 1, Listen = 2, Accept = 3, Connect = 4, Send = 5, Receive = 6 };

struct RecordedCall {
    NetCall call = NetCall::Init;
    // Init, Listen, Accept, Connect: 1 done, 0 failed. Send and Receive: the
    // byte count the socket returned (0 would block, -1 broken). Sends that
    // the socket took whole are not kept.
    int32_t result = 0;
    std::vector<uint8_t> bytes;  // what a Receive delivered
};

struct RecordedFrame {
    uint32_t clockAdvanceMicros = 0;  // game clock since the previous frame
    float timeStep = 1.0f / 60.0f;    // kept only when the step was measured
    bool keysChanged = false;
    std::vector<uint16_t> keys;  // when changed: every key held, ascending
    std::vector<RecordedCall> calls;
};

struct Recording {
    enum Role : uint8_t { Alone = 0, Host = 1, Joiner = 2 };

    uint32_t seed = 0;
    Role role = Alone;
    bool fixedStep = true;
    uint16_t port = 0;
    uint64_t startClockMicros = 0;
    std::string playerName;
    std::string address;                   // the host a joiner connected to
    std::vector<RecordedCall> startCalls;  // made while the game started
    std::vector<RecordedFrame> frames;
};

// Both return false with the reason in `error`; a file that is short,
// damaged or of another version is never partly taken.
bool SaveRecording(const Recording& recording, const std::string& path, std::string& error);
bool LoadRecording(const std::string& path, Recording& recording, std::string& error);
// The same checks on bytes in memory.
bool DecodeRecording(const std::vector<uint8_t>& file, Recording& recording, std::string& error);
