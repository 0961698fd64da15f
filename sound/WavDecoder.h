#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the bytes of a RIFF/WAVE file through SDL and converts them to mono
// signed 16-bit frames at `targetRate`. On failure `error` says why and `out`
// is untouched.
bool DecodeWav(const uint8_t* bytes, size_t size, long targetRate, size_t maxFrames,
               std::vector<int16_t>& out, std::string& error);
