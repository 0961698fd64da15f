#pragma once

#include <cstddef>

#include "sound/AudioDevice.h"
#include "sound/Mixer.h"

// State behind the free functions in Sound.h: the sample slots, the mixer and
// the audio device. The index of a sound is its slot and its channel.
class SoundSystem {
public:
    static constexpr size_t kErrorSize = 512;

    // The process-wide instance the free functions use.
    static SoundSystem& Global();

    bool Init();
    int Load(const char* file, bool loop);
    bool Play(int index);
    void Stop(int index);
    void SetVolume(int index, float volume);
    bool SetLoopPoints(int index, int start, int end);
    const char* Error() const { return soundError; }
    void Shutdown();

    // Observers for tests and diagnostics; each takes the audio lock.
    int Count() const { return soundCount; }
    bool DeviceOpen() const { return device.IsOpen(); }
    bool IsPlaying(int index) const;
    size_t SampleLength(int index) const;
    float Gain(int index) const;
    size_t LoopStart(int index) const;
    size_t LoopEnd(int index) const;

private:
    int Fail(const char* file, const char* reason);
    bool Loaded(int index) const { return index >= 0 && index < soundCount; }

    Mixer mixer;
    AudioDevice device;
    int soundCount = 0;
    char soundError[kErrorSize] = {};
};
