#include "tests/player/SoundProbe.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "sound/Sound.h"
#include "sound/SoundSystem.h"
#include "sound/SoundTable.h"
#include "tests/support/TestSupport.h"

namespace {

void Put(std::string& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(char((v >> (8 * i)) & 0xff));
}

// A tenth of a second of a mono 16-bit 22050 Hz square wave.
bool WriteTone(const std::string& path)
{
    std::string data;
    for (uint32_t i = 0; i < 2205; ++i) Put(data, (i / 25) % 2 ? 3000u : uint32_t(-3000), 2);
    std::string file = "RIFF";
    Put(file, 36 + uint32_t(data.size()), 4);
    file += "WAVEfmt ";
    Put(file, 16, 4);     // format chunk size
    Put(file, 1, 2);      // PCM
    Put(file, 1, 2);      // mono
    Put(file, 22050, 4);  // frames per second
    Put(file, 44100, 4);  // bytes per second
    Put(file, 2, 2);      // bytes per frame
    Put(file, 16, 2);     // bits per sample
    file += "data";
    Put(file, uint32_t(data.size()), 4);
    file += data;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

namespace SoundProbe {

bool Load()
{
    if (SoundSystem::Global().Count() == SND_COUNT)
        return true;
    const std::string path = TempPath("tone") + ".wav";
    bool ok = WriteTone(path) && InitSound();
    for (int i = 0; ok && i < SND_COUNT; ++i) ok = LoadSound(path.c_str(), true) == 1;
    std::remove(path.c_str());
    return ok;
}

bool IsPlaying(int index)
{
    return SoundSystem::Global().IsPlaying(index);
}

void StopAll()
{
    for (int i = 0; i < SND_COUNT; ++i) StopSound(i);
}

}  // namespace SoundProbe
