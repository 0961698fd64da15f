#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Software mixer: one sample slot per channel, mono signed 16-bit frames at
// kRate. Not thread-aware; the owner serialises calls with the audio thread.
// Mix() never allocates, so it is safe to call from the audio callback.
class Mixer {
public:
    static constexpr int kChannels = 64;
    static constexpr int kRate = 22050;
    static constexpr float kMaxGain = 4.0f;

    Mixer();

    // Installs frames in a slot and stops its channel. The previous frames are
    // handed back so the caller can free them outside the audio lock.
    std::vector<int16_t> SetSample(int slot, std::vector<int16_t> frames, bool loop);
    std::vector<int16_t> ClearSample(int slot);

    // Restarts the slot's channel at frame 0; false when the slot is empty.
    bool Play(int slot);
    void Stop(int slot);
    // Clamped to [0, kMaxGain]; NaN counts as silence.
    void SetGain(int slot, float gain);
    // False when the slot is empty. Clamped to the sample; an end at or before
    // the start means the end of the sample.
    bool SetLoopPoints(int slot, int start, int end);

    // Stops every channel, restores unit gains and returns all sample memory
    // (to be freed outside the audio lock).
    std::vector<std::vector<int16_t>> Reset();

    // Writes `frames` mixed frames, saturating at the int16 range.
    void Mix(int16_t* out, int frames);

    bool HasSample(int slot) const;
    bool IsPlaying(int slot) const;
    size_t Position(int slot) const;
    size_t Length(int slot) const;
    float Gain(int slot) const;
    size_t LoopStart(int slot) const;
    size_t LoopEnd(int slot) const;

private:
    static constexpr int kGainShift = 12;
    static constexpr int kChunkFrames = 1024;

    struct Channel {
        std::vector<int16_t> frames;
        bool loop = false;
        size_t loopStart = 0;
        size_t loopEnd = 0;
        bool playing = false;
        size_t position = 0;
        int32_t gain = 1 << kGainShift;
    };

    static bool ValidSlot(int slot) { return slot >= 0 && slot < kChannels; }
    void MixChannel(Channel& channel, int32_t* acc, int frames);

    std::array<Channel, kChannels> channels;
    std::array<int32_t, kChunkFrames> accumulator{};
};
