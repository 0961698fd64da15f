#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Downmixes interleaved signed 16-bit frames to mono (channel average) and
// resamples them linearly from `rate` to `targetRate`, appending to `out`.
// Returns false (leaving `out` untouched) for a non-positive rate or channel
// count, or when the result would exceed `maxFrames`.
bool AppendMono(const int16_t* interleaved, size_t frames, int channels, long rate, long targetRate,
                size_t maxFrames, std::vector<int16_t>& out);
