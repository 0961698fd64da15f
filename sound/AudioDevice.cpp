#include "sound/AudioDevice.h"

#include <SDL/SDL.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound/Mixer.h"

namespace {

// About 23 ms per callback at the mixer rate.
constexpr Uint16 kBufferFrames = 512;

AudioDevice* g_openDevice = nullptr;

// SDL's audio thread must stop before the process unloads its libraries;
// left running it calls into code that is already gone.
void CloseOpenDeviceAtExit()
{
    if (g_openDevice)
        g_openDevice->Close();
}

}  // namespace

bool AudioDevice::Open(Mixer& mixer, std::string& error)
{
    Close();
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = std::string("audio subsystem unavailable: ") + SDL_GetError();
            return false;
        }
        ownsSubsystem = true;
    }
    SDL_AudioSpec desired;
    std::memset(&desired, 0, sizeof desired);
    desired.freq = Mixer::kRate;
    desired.format = AUDIO_S16SYS;
    desired.channels = 1;
    desired.samples = kBufferFrames;
    desired.callback = &AudioDevice::Callback;
    desired.userdata = &mixer;
    // Passing no "obtained" format makes SDL convert to whatever the hardware wants.
    if (SDL_OpenAudio(&desired, nullptr) != 0) {
        error = std::string("no audio device: ") + SDL_GetError();
        Close();
        return false;
    }
    open = true;
    static const bool closesAtExit = std::atexit(&CloseOpenDeviceAtExit) == 0;
    (void)closesAtExit;
    g_openDevice = this;
    SDL_PauseAudio(0);
    return true;
}

void AudioDevice::Close()
{
    if (open) {
        SDL_CloseAudio();
        open = false;
    }
    if (g_openDevice == this)
        g_openDevice = nullptr;
    if (ownsSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        ownsSubsystem = false;
    }
}

void AudioDevice::Callback(void* userdata, unsigned char* stream, int length)
{
    static_cast<Mixer*>(userdata)->Mix(reinterpret_cast<int16_t*>(stream),
                                       length / static_cast<int>(sizeof(int16_t)));
}

AudioDevice::Lock::Lock(const AudioDevice& device) : locked(device.IsOpen())
{
    if (locked) {
        SDL_LockAudio();
    }
}

AudioDevice::Lock::~Lock()
{
    if (locked) {
        SDL_UnlockAudio();
    }
}
