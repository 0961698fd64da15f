#include "tests/sound/SoundTestFiles.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr double kTwoPi = 6.283185307179586;

void Put16(std::string& out, uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

namespace soundtest {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "karsk_sound_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temp dir");
    }
    path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void WriteWav(const std::string& file, int rate, int channels, int bits, const std::vector<int16_t>& samples)
{
    std::string data;
    for (int16_t s : samples) {
        if (bits == 8) {
            data.push_back(static_cast<char>((s >> 8) + 128));
        } else {
            Put16(data, static_cast<uint16_t>(s));
        }
    }
    const uint32_t blockAlign = static_cast<uint32_t>(channels * bits / 8);
    std::string out = "RIFF";
    Put32(out, static_cast<uint32_t>(36 + data.size()));
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate) * blockAlign);
    Put16(out, blockAlign);
    Put16(out, static_cast<uint32_t>(bits));
    out += "data";
    Put32(out, static_cast<uint32_t>(data.size()));
    WriteBytes(file, out + data);
}

void WriteBytes(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<int16_t> Sine(int frames, int rate, double hz, int amplitude)
{
    std::vector<int16_t> out(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        out[i] = static_cast<int16_t>(amplitude * std::sin(kTwoPi * hz * i / rate));
    }
    return out;
}

bool LameAvailable()
{
    return std::system("command -v lame >/dev/null 2>&1") == 0;
}

bool EncodeMp3(const std::string& wav, const std::string& mp3, const std::string& options)
{
    const std::string command = "lame --quiet " + options + " '" + wav + "' '" + mp3 + "'";
    return std::system(command.c_str()) == 0;
}

}  // namespace soundtest
