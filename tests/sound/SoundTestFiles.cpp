#include "tests/sound/SoundTestFiles.h"

#include <cmath>
#include <cstdlib>
#include <fstream>

namespace {

void Put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

void WriteWav(const std::string& file, int rate, int channels, int bits, const std::vector<int16_t>& samples)
{
    std::string data;
    for (int16_t s : samples) {
        if (bits == 8)
            data.push_back(static_cast<char>((s >> 8) + 128));
        else
            Put(data, static_cast<uint16_t>(s), 2);
    }
    const uint32_t blockAlign = uint32_t(channels * bits / 8);
    std::string out = "RIFF";
    Put(out, uint32_t(36 + data.size()), 4);
    out += "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, uint32_t(channels), 2);
    Put(out, uint32_t(rate), 4);
    Put(out, uint32_t(rate) * blockAlign, 4);
    Put(out, blockAlign, 2);
    Put(out, uint32_t(bits), 2);
    out += "data";
    Put(out, uint32_t(data.size()), 4);
    std::ofstream(file, std::ios::binary) << out + data;
}

std::vector<int16_t> Sine(int frames, int rate, double hz, int amplitude)
{
    std::vector<int16_t> out(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) out[i] = int16_t(amplitude * std::sin(2 * M_PI * hz * i / rate));
    return out;
}

bool LameAvailable()
{
    return std::system("command -v lame >/dev/null 2>&1") == 0;
}

std::string EncodeTone(const TempDir& dir, int rate, int channels, double seconds, const std::string& options)
{
    const std::string name = "tone-" + std::to_string(rate) + "-" + std::to_string(channels);
    std::vector<int16_t> interleaved;
    for (int16_t s : Sine(int(rate * seconds), rate, 440.0, 12000))
        interleaved.insert(interleaved.end(), size_t(channels), s);
    WriteWav(dir.File(name + ".wav"), rate, channels, 16, interleaved);
    const std::string mp3 = dir.File(name + ".mp3");
    const std::string command =
        "lame --quiet " + options + " '" + dir.File(name + ".wav") + "' '" + mp3 + "'";
    return std::system(command.c_str()) == 0 ? mp3 : "";
}
