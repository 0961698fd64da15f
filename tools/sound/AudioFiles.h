#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writers for the game's sound files: mono 16-bit PCM at 22050 Hz.
namespace ktool {

// Both return false with a reason naming the file.
bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm, std::string& error);
// CBR MP3 with an info frame, so decoders that honour it loop without a gap.
bool WriteMp3(const std::string& path, const std::vector<int16_t>& pcm, int kbps, std::string& error);

}  // namespace ktool
