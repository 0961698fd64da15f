#include "tools/sound/AudioFiles.h"

#include <lame/lame.h>

#include <cstdio>

#include "tools/sound/Synth.h"

namespace ktool {
namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = path + ": cannot create";
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        error = path + ": write failed";
    return ok;
}

}  // namespace

bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm, std::string& error)
{
    uint32_t dataBytes = uint32_t(pcm.size() * 2);
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, 1);  // mono
    PutU32(out, kSampleRate);
    PutU32(out, kSampleRate * 2);
    PutU16(out, 2);
    PutU16(out, 16);
    PutTag(out, "data");
    PutU32(out, dataBytes);
    for (int16_t s : pcm) PutU16(out, uint16_t(s));
    return WriteBytes(path, out, error);
}

bool WriteMp3(const std::string& path, const std::vector<int16_t>& pcm, int kbps, std::string& error)
{
    lame_global_flags* lame = lame_init();
    if (!lame) {
        error = path + ": cannot start the MP3 encoder";
        return false;
    }
    lame_set_num_channels(lame, 1);
    lame_set_in_samplerate(lame, kSampleRate);
    lame_set_out_samplerate(lame, kSampleRate);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, kbps);
    lame_set_quality(lame, 2);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        error = path + ": the MP3 encoder refused its settings";
        return false;
    }
    std::vector<uint8_t> out(pcm.size() * 5 / 4 + 7200 + 16384);
    int used = 0;
    // Mono input goes in as the left channel; lame ignores the right one.
    std::vector<short> samples(pcm.begin(), pcm.end());
    int n = lame_encode_buffer(lame, samples.data(), samples.data(), int(samples.size()), out.data(),
                               int(out.size()));
    if (n >= 0) {
        used = n;
        n = lame_encode_flush(lame, out.data() + used, int(out.size()) - used);
    }
    if (n < 0) {
        lame_close(lame);
        error = path + ": MP3 encoding failed (" + std::to_string(n) + ")";
        return false;
    }
    used += n;
    out.resize(size_t(used));
    // The first frame was reserved for the info frame, which carries the
    // encoder delay and padding that a gapless loop needs.
    uint8_t tag[2880];
    size_t tagBytes = lame_get_lametag_frame(lame, tag, sizeof tag);
    lame_close(lame);
    if (tagBytes > 0 && tagBytes <= out.size())
        std::copy(tag, tag + tagBytes, out.begin());
    return WriteBytes(path, out, error);
}

}  // namespace ktool
