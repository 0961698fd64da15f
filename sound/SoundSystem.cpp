#include "sound/SoundSystem.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "engine/QuillLogger.h"
#include "sound/SampleLoader.h"

SoundSystem& SoundSystem::Global()
{
    // Never destroyed: the audio thread may still run while statics are torn
    // down. Built in static storage rather than on the heap, so that it is not
    // a block left over at exit.
    alignas(SoundSystem) static unsigned char storage[sizeof(SoundSystem)];
    static SoundSystem* instance = new (storage) SoundSystem();
    return *instance;
}

bool SoundSystem::Init()
{
    Shutdown();
    std::memset(soundError, 0, sizeof soundError);
    std::string reason;
    if (!device.Open(mixer, reason)) {
        // Channels are still tracked without a device, so the game runs silently.
        Quill::Logger()->Log("Sound: running without audio (%s)", reason.c_str());
    }
    return true;
}

int SoundSystem::Load(const char* file, bool loop)
{
    if (soundCount >= Mixer::kChannels) {
        return Fail(file, "all 64 sound slots are in use");
    }
    std::vector<int16_t> frames;
    std::string reason;
    if (!SampleLoader::Load(file, frames, reason)) {
        return Fail(file, reason.c_str());
    }
    std::vector<int16_t> previous;
    {
        AudioDevice::Lock lock(device);
        previous = mixer.SetSample(soundCount, std::move(frames), loop);
    }
    ++soundCount;
    return 1;
}

int SoundSystem::Fail(const char* file, const char* reason)
{
    const char* name = file ? file : "(null)";
    // The established message text; callers and tests match it exactly.
    std::snprintf(soundError, sizeof soundError, "FMOD error! Failed to load %s\n", name);
    Quill::Logger()->Log("Sound: cannot load %s into slot %d: %s", name, soundCount, reason);
    if (soundCount < Mixer::kChannels) {
        std::vector<int16_t> stale;
        {
            AudioDevice::Lock lock(device);
            stale = mixer.ClearSample(soundCount);
        }
    }
    return -1;
}

bool SoundSystem::Play(int index)
{
    if (!Loaded(index)) {
        return false;
    }
    // Without a device the channel still starts and is tracked: the sound
    // "plays" silently and the call reports success.
    AudioDevice::Lock lock(device);
    return mixer.Play(index);
}

void SoundSystem::Stop(int index)
{
    if (Loaded(index)) {
        AudioDevice::Lock lock(device);
        mixer.Stop(index);
    }
}

void SoundSystem::SetVolume(int index, float volume)
{
    if (index >= 0 && index < Mixer::kChannels) {
        AudioDevice::Lock lock(device);
        mixer.SetGain(index, volume);
    }
}

bool SoundSystem::SetLoopPoints(int index, int start, int end)
{
    if (!Loaded(index)) {
        return false;
    }
    AudioDevice::Lock lock(device);
    return mixer.SetLoopPoints(index, start, end);
}

void SoundSystem::Shutdown()
{
    device.Close();
    // The callback is gone, so the samples can be released directly.
    mixer.Reset();
    soundCount = 0;
}

bool SoundSystem::IsPlaying(int index) const
{
    AudioDevice::Lock lock(device);
    return mixer.IsPlaying(index);
}

size_t SoundSystem::SampleLength(int index) const
{
    AudioDevice::Lock lock(device);
    return mixer.Length(index);
}

float SoundSystem::Gain(int index) const
{
    AudioDevice::Lock lock(device);
    return mixer.Gain(index);
}

size_t SoundSystem::LoopStart(int index) const
{
    AudioDevice::Lock lock(device);
    return mixer.LoopStart(index);
}

size_t SoundSystem::LoopEnd(int index) const
{
    AudioDevice::Lock lock(device);
    return mixer.LoopEnd(index);
}
