#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundtest {

// A fresh directory under the system temp dir, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

// Writes a PCM WAV; 8-bit files store the high byte of each sample, unsigned.
void WriteWav(const std::string& file, int rate, int channels, int bits, const std::vector<int16_t>& samples);
void WriteBytes(const std::string& file, const std::string& bytes);
std::string ReadBytes(const std::string& file);

std::vector<int16_t> Sine(int frames, int rate, double hz, int amplitude);

bool LameAvailable();
// Encodes `wav` to `mp3` with the command-line encoder; false on failure.
bool EncodeMp3(const std::string& wav, const std::string& mp3, const std::string& options);

}  // namespace soundtest
