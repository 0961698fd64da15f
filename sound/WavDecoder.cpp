#include "sound/WavDecoder.h"

#include <SDL/SDL.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sound/PcmConvert.h"

namespace {

constexpr int kMaxChannels = 8;

struct WavBufferDeleter {
    void operator()(Uint8* buffer) const { SDL_FreeWAV(buffer); }
};

int BytesPerSample(Uint16 format)
{
    switch (format) {
        case AUDIO_U8:
        case AUDIO_S8:
            return 1;
        case AUDIO_U16LSB:
        case AUDIO_S16LSB:
        case AUDIO_U16MSB:
        case AUDIO_S16MSB:
            return 2;
        default:
            return 0;
    }
}

int16_t ReadSample(const Uint8* p, Uint16 format)
{
    switch (format) {
        case AUDIO_U8:
            return static_cast<int16_t>((p[0] - 128) * 256);
        case AUDIO_S8:
            return static_cast<int16_t>(static_cast<int8_t>(p[0]) * 256);
        case AUDIO_U16LSB:
            return static_cast<int16_t>((p[0] | (p[1] << 8)) - 32768);
        case AUDIO_S16LSB:
            return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
        case AUDIO_U16MSB:
            return static_cast<int16_t>((p[1] | (p[0] << 8)) - 32768);
        default:
            return static_cast<int16_t>(static_cast<uint16_t>(p[1] | (p[0] << 8)));
    }
}

uint32_t ReadLe32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// SDL quietly plays whatever part of a cut-off data chunk is present, and
// sizes its buffers from the chunk headers before reading them: a chunk that
// claims more bytes than the file holds is refused here, before SDL sees it.
bool ChunksComplete(const uint8_t* bytes, size_t size, std::string& error)
{
    size_t offset = 12;
    while (offset <= size && size - offset >= 8) {
        const unsigned char* header = bytes + offset;
        const uint32_t chunk = ReadLe32(header + 4);
        const size_t available = size - offset - 8;
        const bool data = std::memcmp(header, "data", 4) == 0;
        if (chunk > available) {
            char name[5] = {};
            for (int i = 0; i < 4; ++i) name[i] = std::isprint(header[i]) ? char(header[i]) : '?';
            error = std::string("WAV file is truncated: ") + (data ? "data" : "'" + std::string(name) + "'") +
                    " chunk declares " + std::to_string(chunk) + " bytes, file holds " +
                    std::to_string(available);
            return false;
        }
        if (data)
            return true;
        offset += 8 + size_t(chunk) + (chunk & 1);
    }
    // No data chunk found here: SDL's own parser reports the problem.
    return true;
}

}  // namespace

bool DecodeWav(const uint8_t* bytes, size_t size, long targetRate, size_t maxFrames,
               std::vector<int16_t>& out, std::string& error)
{
    if (size > size_t(INT32_MAX)) {
        error = "WAV file is too long";
        return false;
    }
    if (!ChunksComplete(bytes, size, error)) {
        return false;
    }
    SDL_AudioSpec wav;
    Uint8* raw = nullptr;
    Uint32 length = 0;
    SDL_RWops* stream = SDL_RWFromConstMem(bytes, int(size));
    if (stream == nullptr || SDL_LoadWAV_RW(stream, 1, &wav, &raw, &length) == nullptr) {
        error = std::string("not a readable WAV file: ") + SDL_GetError();
        return false;
    }
    std::unique_ptr<Uint8, WavBufferDeleter> buffer(raw);

    const int sampleBytes = BytesPerSample(wav.format);
    if (sampleBytes == 0) {
        char text[64];
        std::snprintf(text, sizeof text, "unsupported WAV sample format 0x%04x", wav.format);
        error = text;
        return false;
    }
    if (wav.channels < 1 || wav.channels > kMaxChannels) {
        error = "unsupported WAV channel count " + std::to_string(wav.channels);
        return false;
    }
    if (wav.freq <= 0) {
        error = "invalid WAV sample rate " + std::to_string(wav.freq);
        return false;
    }
    const size_t frameBytes = static_cast<size_t>(sampleBytes) * wav.channels;
    const size_t frames = length / frameBytes;
    if (frames == 0) {
        error = "WAV file contains no audio";
        return false;
    }

    std::vector<int16_t> interleaved(frames * wav.channels);
    for (size_t i = 0; i < interleaved.size(); ++i) {
        interleaved[i] = ReadSample(buffer.get() + i * sampleBytes, wav.format);
    }
    std::vector<int16_t> mono;
    if (!AppendMono(interleaved.data(), frames, wav.channels, wav.freq, targetRate, maxFrames, mono)) {
        error = "WAV file is too long";
        return false;
    }
    out.swap(mono);
    return true;
}
