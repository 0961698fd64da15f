#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/SourceText.h"

// A small additive synthesiser for sound effects and music.
namespace ktool {

constexpr int kSampleRate = 22050;

// Crackle is sparse random pops, `freq` of them a second on average.
enum class Wave { Sine, Square, Triangle, Saw, Noise, Crackle, Kick, Snare, Hat };

struct Voice {
    Wave wave = Wave::Sine;
    double start = 0;       // seconds
    double length = 0.1;    // seconds, release included
    double freqFrom = 440;  // Hz; for noise the rate new random values are drawn
    double freqTo = 440;    // swept exponentially over the length
    double amp = 0.5;
    double attack = 0.005;    // linear rise, seconds
    double release = 0.02;    // linear fall at the end, seconds
    double decay = 0;         // exponential fall time constant, 0 for none
    double duty = 0.5;        // square waves
    double vibratoRate = 0;   // Hz
    double vibratoDepth = 0;  // fraction of the frequency
    double tremoloRate = 0;   // Hz
    double tremoloDepth = 0;  // fraction of the amplitude
    double lowpass = 0;       // one-pole cutoff in Hz, 0 for none
    double lowpassTo = 0;     // swept to this over the length
    double highpass = 0;      // one-pole cutoff in Hz, 0 for none
    double highpassTo = 0;
    uint32_t seed = 1;
};

// Adds the voice into `out`. With `wrap` the part past the end continues at
// the start, so a looping piece has no seam.
void RenderVoice(const Voice& voice, std::vector<float>& out, bool wrap);

// Reads "key=value" voice settings; unknown keys fail on the line.
void ApplyVoiceSetting(const SourceLine& line, const std::string& key, const std::string& value,
                       Voice& voice);
Wave ParseWave(const SourceLine& line, const std::string& word);

// "A4", "C#5", "Bb3" to Hz; fails on the line for anything else.
double NoteFrequency(const SourceLine& line, const std::string& note);

// Takes out the DC offset that asymmetric waves (narrow squares, kicks) leave,
// which would waste headroom in the mix and shift the output when a sound
// starts. A loop keeps its seam; anything else keeps its silent ends.
void RemoveOffset(std::vector<float>& samples, bool loop);

// Scales so the loudest sample reaches `peak` and converts to 16 bits.
std::vector<int16_t> ToPcm16(const std::vector<float>& samples, double peak);

}  // namespace ktool
