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

double HighAlpha(double cutoff)
{
    if (cutoff <= 0)
        return 0;
    double rc = 1.0 / (2 * kPi * cutoff);
    return rc / (rc + 1.0 / kSampleRate);
}

// An exponential fall from 1, one multiplication a sample, so that long
// pieces render quickly even in unoptimised builds.
struct Fall {
    double value = 1, step = 1;
    explicit Fall(double seconds) : step(seconds > 0 ? std::exp(-1.0 / (seconds * kSampleRate)) : 1.0) {}
    double Next()
    {
        double now = value;
        value *= step;
        return now;
    }
};

// Drum voices are fixed recipes tuned by the voice's frequency and length.
struct Drum {
    Fall pitch{0.03}, kick{0.12}, snare{0.07}, hat{0.025};

    double Next(const Voice& v, double& phase, Noise& noise)
    {
        double dt = 1.0 / kSampleRate;
        if (v.wave == Wave::Kick) {
            phase += (v.freqFrom * pitch.Next() + v.freqTo) * dt;
            return std::sin(2 * kPi * phase) * kick.Next();
        }
        if (v.wave == Wave::Snare) {
            phase += v.freqFrom * dt;
            return (0.7 * noise.Next() + 0.4 * std::sin(2 * kPi * phase)) * snare.Next();
        }
        return noise.Next() * hat.Next();
    }
};

}  // namespace

void RenderVoice(const Voice& v, std::vector<float>& out, bool wrap)
{
    if (out.empty())
        return;
    long first = std::lround(v.start * kSampleRate);
    long count = std::lround(v.length * kSampleRate);
    Noise noise{v.seed * 2654435761u + 12345u};
    double phase = 0, held = noise.Next(), pop = 0;
    double low = 0, low2 = 0, highIn = 0, highOut = 0, highIn2 = 0, highOut2 = 0;
    double lowAlpha = v.lowpass > 0 ? OnePoleAlpha(v.lowpass) : 1.0;
    double highAlpha = HighAlpha(v.highpass);
    const bool lowSweeps = v.lowpass > 0 && v.lowpassTo > 0 && v.lowpassTo != v.lowpass;
    const bool highSweeps = v.highpass > 0 && v.highpassTo > 0 && v.highpassTo != v.highpass;
    const double popFade = std::exp(-1.0 / (0.0025 * kSampleRate));
    bool drum = v.wave == Wave::Kick || v.wave == Wave::Snare || v.wave == Wave::Hat;
    Drum drums;
    Fall decay(v.decay);
    double sweep = v.freqFrom;
    const double sweepStep = count > 1 ? std::pow(v.freqTo / v.freqFrom, 1.0 / double(count - 1)) : 1.0;
    for (long i = 0; i < count; ++i, sweep *= sweepStep) {
        double t = double(i) / kSampleRate;
        double along = count > 1 ? double(i) / double(count - 1) : 0.0;
        double f = sweep;
        if (v.vibratoRate > 0)
            f *= 1.0 + v.vibratoDepth * std::sin(2 * kPi * v.vibratoRate * t);
        // Sweeping filters are recomputed every 32 samples; that is smooth enough.
        if (lowSweeps && i % 32 == 0)
            lowAlpha = OnePoleAlpha(v.lowpass * std::pow(v.lowpassTo / v.lowpass, along));
        if (highSweeps && i % 32 == 0)
            highAlpha = HighAlpha(v.highpass * std::pow(v.highpassTo / v.highpass, along));
        double s;
        if (drum) {
            s = drums.Next(v, phase, noise);
        } else if (v.wave == Wave::Crackle) {
            if ((noise.Next() + 1) * 0.5 < f / kSampleRate)
                pop = 0.4 + 0.6 * std::fabs(noise.Next());
            s = pop * noise.Next();
            pop *= popFade;
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
        // Two stages each way: a 12 dB per octave slope shapes noise clearly.
        low += lowAlpha * (s - low);
        low2 += lowAlpha * (low - low2);
        s = low2;
        if (v.highpass > 0) {
            highOut = highAlpha * (highOut + s - highIn);
            highIn = s;
            highOut2 = highAlpha * (highOut2 + highOut - highIn2);
            highIn2 = highOut;
            s = highOut2;
        }
        double env = 1.0;
        if (v.attack > 0 && t < v.attack)
            env = t / v.attack;
        double left = v.length - t;
        if (v.release > 0 && left < v.release)
            env = std::min(env, left / v.release);
        if (v.decay > 0)
            env *= decay.Next();
        if (v.tremoloRate > 0)
            env *= 1.0 - v.tremoloDepth * (0.5 - 0.5 * std::cos(2 * kPi * v.tremoloRate * t));
        long at = first + i;
        if (wrap)
            at %= long(out.size());
        else if (at >= long(out.size()))
            break;
        out[size_t(at)] += float(s * env * v.amp);
    }
}

void RemoveOffset(std::vector<float>& s, bool loop)
{
    // A blocker this low leaves every audible frequency alone.
    const double alpha = OnePoleAlpha(5.0);
    const size_t n = s.size(), fade = std::min(n / 4, size_t(0.02 * kSampleRate));
    double offset = 0;
    // A first pass settles the blocker, so the loop's start follows its end.
    if (loop) {
        for (float v : s) offset += alpha * (v - offset);
    }
    for (size_t i = 0; i < n; ++i) {
        offset += alpha * (s[i] - offset);
        double keep = loop || i + fade < n ? 1.0 : double(n - 1 - i) / double(fade);
        s[i] -= float(offset * keep);
    }
    if (loop || n < 2)
        return;
    // The blocker lags, and what it would have taken out after the end is
    // left over; a window as long as the sound removes it and keeps both
    // ends where they are.
    double sum = 0, weight = 0;
    auto window = [n](size_t i) { return std::pow(std::sin(kPi * double(i) / double(n - 1)), 2); };
    for (size_t i = 0; i < n; ++i) {
        sum += s[i];
        weight += window(i);
    }
    for (size_t i = 0; i < n; ++i) s[i] -= float(sum / weight * window(i));
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
