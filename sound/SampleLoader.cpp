#include "sound/SampleLoader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sound/Mixer.h"
#include "sound/Mp3Decoder.h"
#include "sound/WavDecoder.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

SampleLoader::Kind SampleLoader::Sniff(const unsigned char* header, size_t size)
{
    if (size >= 12 && std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0) {
        return Kind::Wav;
    }
    if (size >= 3 && std::memcmp(header, "ID3", 3) == 0) {
        return Kind::Mp3;
    }
    // MPEG audio frame sync with a valid layer field.
    if (size >= 2 && header[0] == 0xFF && (header[1] & 0xE0) == 0xE0 && (header[1] & 0x06) != 0) {
        return Kind::Mp3;
    }
    return Kind::Unknown;
}

bool SampleLoader::Load(const char* path, std::vector<int16_t>& frames, std::string& error)
{
    if (path == nullptr || *path == '\0') {
        error = "no file name given";
        return false;
    }
    std::vector<uint8_t> bytes;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
        if (!file) {
            error = std::string("cannot open file: ") + std::strerror(errno);
            return false;
        }
        uint8_t chunk[65536];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
            if (bytes.size() + got > kMaxFileBytes) {
                error = "file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
                return false;
            }
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        if (std::ferror(file.get())) {
            error = std::string("cannot read file: ") + std::strerror(errno);
            return false;
        }
    }
    return LoadBytes(bytes.data(), bytes.size(), frames, error);
}

bool SampleLoader::LoadBytes(const uint8_t* bytes, size_t size, std::vector<int16_t>& frames,
                             std::string& error)
{
    const size_t maxFrames = kMaxSeconds * Mixer::kRate;
    switch (Sniff(bytes, size)) {
        case Kind::Wav:
            return DecodeWav(bytes, size, Mixer::kRate, maxFrames, frames, error);
        case Kind::Mp3:
            return DecodeMp3(bytes, size, Mixer::kRate, maxFrames, frames, error);
        case Kind::Unknown:
            break;
    }
    error = size == 0 ? "file is empty" : "not a WAV or MP3 file";
    return false;
}
