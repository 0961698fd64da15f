// Arbitrary bytes as a sound file, decoded by the sound layer's loader as the
// game loads every effect and piece of music: the kind is judged from the
// content, then the WAV or MP3 decoder turns it into the mixer's frames.
// Built twice, as fuzz_wav and fuzz_mp3: the same code, seeded with WAV or
// with MP3 files.
#include <string>
#include <vector>

#include "fuzz/FuzzLog.h"
#include "sound/SampleLoader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EchoGameLogWhenAsked();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<int16_t> frames;
    std::string error;
    SampleLoader::LoadBytes(data, size, frames, error);
    return 0;
}
