#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Turns a sound file into the mixer's format: mono signed 16-bit frames at
// the mixer rate, fully decoded in memory.
class SampleLoader {
public:
    enum class Kind { Unknown, Wav, Mp3 };

    // Longest accepted sound; guards memory against absurd or corrupt headers.
    static constexpr size_t kMaxSeconds = 15 * 60;
    // Largest file read: 15 minutes of 48 kHz stereo 16-bit PCM and a little.
    static constexpr size_t kMaxFileBytes = 176u << 20;

    // The kind is judged by content, not by the name. On failure `error`
    // holds a one-line reason and `frames` is untouched.
    static bool Load(const char* path, std::vector<int16_t>& frames, std::string& error);
    // The same for a file's bytes already in memory.
    static bool LoadBytes(const uint8_t* bytes, size_t size, std::vector<int16_t>& frames,
                          std::string& error);

    static Kind Sniff(const unsigned char* header, size_t size);
};
