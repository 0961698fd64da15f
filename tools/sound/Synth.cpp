#include "tools/sound/Synth.h"

#include <algorithm>
#include <cmath>

namespace ktool {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Deterministic noise so every build writes identical files.
struct Noise {
    uint32_t state;
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 23) - 1.0;
    }
};

double Oscillator(Wave wave, double phase, double duty)
{
    double p = phase - std::floor(phase);
    switch (wave) {
        case Wave::Sine:
            return std::sin(2 * kPi * p);
        case Wave::Square:
            return p < duty ? 1.0 : -1.0;
        case Wave::Triangle:
            return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
        case Wave::Saw:
            return 2 * p - 1;
        default:
            return 0;
    }
}

double OnePoleAlpha(double cutoff)
{
    return 1.0 - std::exp(-2 * kPi * cutoff / kSampleRate);
}

// Drum voices are fixed recipes tuned by the voice's frequency and length.
void Drum(const Voice& v, double t, double& phase, Noise& noise, double& out)
{
    double dt = 1.0 / kSampleRate;
    if (v.wave == Wave::Kick) {
        double f = v.freqFrom * std::exp(-t / 0.03) + v.freqTo;
        phase += f * dt;
        out = std::sin(2 * kPi * phase) * std::exp(-t / 0.12);
    } else if (v.wave == Wave::Snare) {
        phase += v.freqFrom * dt;
        out = (0.7 * noise.Next() + 0.4 * std::sin(2 * kPi * phase)) * std::exp(-t / 0.07);
    } else {
        out = noise.Next() * std::exp(-t / 0.025);
    }
}

}  // namespace

void RenderVoice(const Voice& v, std::vector<float>& out, bool wrap)
{
    if (out.empty())
        return;
    long first = std::lround(v.start * kSampleRate);
    long count = std::lround(v.length * kSampleRate);
    Noise noise{v.seed * 2654435761u + 12345u};
    double phase = 0, held = noise.Next(), low = 0, highIn = 0, highOut = 0;
    double lowAlpha = v.lowpass > 0 ? OnePoleAlpha(v.lowpass) : 1.0;
    double highRc = v.highpass > 0 ? 1.0 / (2 * kPi * v.highpass) : 0;
    double highAlpha = highRc / (highRc + 1.0 / kSampleRate);
    bool drum = v.wave == Wave::Kick || v.wave == Wave::Snare || v.wave == Wave::Hat;
    for (long i = 0; i < count; ++i) {
        double t = double(i) / kSampleRate;
        double f =
            v.freqFrom * std::pow(v.freqTo / v.freqFrom, count > 1 ? double(i) / double(count - 1) : 0.0);
        if (v.vibratoRate > 0)
            f *= 1.0 + v.vibratoDepth * std::sin(2 * kPi * v.vibratoRate * t);
        double s;
        if (drum) {
            Drum(v, t, phase, noise, s);
        } else if (v.wave == Wave::Noise) {
            double before = phase;
            phase += f / kSampleRate;
            if (std::floor(phase) != std::floor(before))
                held = noise.Next();
            s = held;
        } else {
            s = Oscillator(v.wave, phase, v.duty);
            phase += f / kSampleRate;
        }
        low += lowAlpha * (s - low);
        s = low;
        if (v.highpass > 0) {
            highOut = highAlpha * (highOut + s - highIn);
            highIn = s;
            s = highOut;
        }
        double env = 1.0;
        if (v.attack > 0 && t < v.attack)
            env = t / v.attack;
        double left = v.length - t;
        if (v.release > 0 && left < v.release)
            env = std::min(env, left / v.release);
        if (v.decay > 0)
            env *= std::exp(-t / v.decay);
        long at = first + i;
        if (wrap)
            at %= long(out.size());
        else if (at >= long(out.size()))
            break;
        out[size_t(at)] += float(s * env * v.amp);
    }
}

Wave ParseWave(const SourceLine& line, const std::string& word)
{
    static const struct {
        const char* name;
        Wave wave;
    } kWaves[] = {{"sine", Wave::Sine},   {"square", Wave::Square}, {"triangle", Wave::Triangle},
                  {"saw", Wave::Saw},     {"noise", Wave::Noise},   {"kick", Wave::Kick},
                  {"snare", Wave::Snare}, {"hat", Wave::Hat}};
    for (const auto& w : kWaves) {
        if (word == w.name)
            return w.wave;
    }
    line.Fail("unknown wave '" + word + "' (sine, square, triangle, saw, noise, kick, snare or hat)");
}

void ApplyVoiceSetting(const SourceLine& line, const std::string& key, const std::string& value, Voice& v)
{
    if (key == "at") {
        v.start = ParseNumber(line, value, 0, 60, "at");
    } else if (key == "len") {
        v.length = ParseNumber(line, value, 0.001, 60, "len");
    } else if (key == "freq") {
        std::vector<std::string> parts = SplitOn(value, ':');
        if (parts.size() > 2)
            line.Fail("freq is <hz> or <from>:<to>, not '" + value + "'");
        v.freqFrom = ParseNumber(line, parts[0], 1, 22050, "freq");
        v.freqTo = parts.size() == 2 ? ParseNumber(line, parts[1], 1, 22050, "freq") : v.freqFrom;
    } else if (key == "amp") {
        v.amp = ParseNumber(line, value, 0, 4, "amp");
    } else if (key == "attack") {
        v.attack = ParseNumber(line, value, 0, 10, "attack");
    } else if (key == "release") {
        v.release = ParseNumber(line, value, 0, 10, "release");
    } else if (key == "decay") {
        v.decay = ParseNumber(line, value, 0, 10, "decay");
    } else if (key == "duty") {
        v.duty = ParseNumber(line, value, 0.01, 0.99, "duty");
    } else if (key == "vibrato") {
        std::vector<std::string> parts = SplitOn(value, ':');
        if (parts.size() != 2)
            line.Fail("vibrato is <rate hz>:<depth fraction>, not '" + value + "'");
        v.vibratoRate = ParseNumber(line, parts[0], 0, 100, "vibrato rate");
        v.vibratoDepth = ParseNumber(line, parts[1], 0, 1, "vibrato depth");
    } else if (key == "lowpass") {
        v.lowpass = ParseNumber(line, value, 0, 11025, "lowpass");
    } else if (key == "highpass") {
        v.highpass = ParseNumber(line, value, 0, 11025, "highpass");
    } else if (key == "seed") {
        v.seed = uint32_t(ParseInt(line, value, 0, 1000000, "seed"));
    } else {
        line.Fail("unknown voice setting '" + key + "'");
    }
}

double NoteFrequency(const SourceLine& line, const std::string& note)
{
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    if (note.size() < 2 || note[0] < 'A' || note[0] > 'G')
        line.Fail("'" + note + "' is not a note like C4, F#3 or Bb5");
    int semitone = kSemitone[note[0] - 'A'];
    size_t at = 1;
    if (note[at] == '#') {
        ++semitone;
        ++at;
    } else if (note[at] == 'b') {
        --semitone;
        ++at;
    }
    int octave = ParseInt(line, note.substr(at), 0, 8, "octave");
    int midi = 12 * (octave + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

std::vector<int16_t> ToPcm16(const std::vector<float>& samples, double peak)
{
    float loudest = 0;
    for (float s : samples) loudest = std::max(loudest, std::fabs(s));
    double scale = loudest > 0 ? peak * 32767.0 / loudest : 0;
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = int16_t(std::lround(std::clamp(samples[i] * scale, -32767.0, 32767.0)));
    return pcm;
}

}  // namespace ktool
