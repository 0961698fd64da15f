#include "sound/Sound.h"

#include "sound/SoundSystem.h"

bool InitSound()
{
    return SoundSystem::Global().Init();
}

int LoadSound(const char* file, bool loop)
{
    return SoundSystem::Global().Load(file, loop);
}

bool PlaySound(int index)
{
    return SoundSystem::Global().Play(index);
}

void StopSound(int index)
{
    SoundSystem::Global().Stop(index);
}

void SetVolume(int index, float volume)
{
    SoundSystem::Global().SetVolume(index, volume);
}

bool SetLoopPoints(int index, int start, int end)
{
    return SoundSystem::Global().SetLoopPoints(index, start, end);
}

const char* GetSoundError()
{
    return SoundSystem::Global().Error();
}

void ShutdownSound()
{
    SoundSystem::Global().Shutdown();
}
