#include "tests/player/SoundProbe.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/Sound.h"
#include "sound/SoundSystem.h"
#include "sound/SoundTable.h"
#include "tests/support/TestSupport.h"

namespace {

void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xff));
}

void PutU16(std::string& out, uint16_t v)
{
    out.push_back(char(v & 0xff));
    out.push_back(char(v >> 8));
}

// A mono 16-bit 22050 Hz PCM file of a short square wave.
bool WriteTone(const std::string& path)
{
    const uint32_t frames = 2205;
    std::string data;
    for (uint32_t i = 0; i < frames; ++i) PutU16(data, uint16_t((i / 25) % 2 ? 3000 : -3000));
    std::string file = "RIFF";
    PutU32(file, 36 + uint32_t(data.size()));
    file += "WAVEfmt ";
    PutU32(file, 16);
    PutU16(file, 1);
    PutU16(file, 1);
    PutU32(file, 22050);
    PutU32(file, 22050 * 2);
    PutU16(file, 2);
    PutU16(file, 16);
    file += "data";
    PutU32(file, uint32_t(data.size()));
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
    static bool loaded = false;
    if (loaded && SoundSystem::Global().Count() == SND_COUNT)
        return true;
    const std::string path = TempPath("tone") + ".wav";
    if (!WriteTone(path))
        return false;
    InitSound();
    bool ok = true;
    for (int i = 0; i < SND_COUNT; ++i) ok = LoadSound(path.c_str(), true) == 1 && ok;
    std::remove(path.c_str());
    loaded = ok;
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
