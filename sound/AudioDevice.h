#pragma once

#include <string>

class Mixer;

// The SDL audio output that drives a Mixer from SDL's callback thread.
class AudioDevice {
public:
    AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;
    ~AudioDevice() { Close(); }

    // Starts playback of `mixer`; on failure `error` says why and nothing is left open.
    bool Open(Mixer& mixer, std::string& error);
    void Close();
    bool IsOpen() const { return open; }

    // Holds the callback off while the main thread changes mixer state; does
    // nothing when no device is open.
    class Lock {
    public:
        explicit Lock(const AudioDevice& device);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        bool locked;
    };

private:
    static void Callback(void* userdata, unsigned char* stream, int length);

    bool open = false;
    bool ownsSubsystem = false;
};
