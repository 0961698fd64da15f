#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decodes the bytes of an MPEG audio file with libmpg123 into mono signed
// 16-bit frames at `targetRate`. On failure `error` says why and `out` is
// untouched.
bool DecodeMp3(const uint8_t* bytes, size_t size, long targetRate, size_t maxFrames,
               std::vector<int16_t>& out, std::string& error);
