#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

// Writes a PCM WAV; 8-bit files store the high byte of each sample, unsigned.
void WriteWav(const std::string& file, int rate, int channels, int bits, const std::vector<int16_t>& samples);
std::vector<int16_t> Sine(int frames, int rate, double hz, int amplitude);

bool LameAvailable();
// A 440 Hz tone at amplitude 12000 in every channel, encoded with the
// command-line encoder as "tone-RATE-CHANNELS.mp3" in `dir`; "" on failure.
std::string EncodeTone(const TempDir& dir, int rate, int channels, double seconds,
                       const std::string& options);
