#include "sound/Mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

Mixer::Mixer() = default;

std::vector<int16_t> Mixer::SetSample(int slot, std::vector<int16_t> frames, bool loop)
{
    if (!ValidSlot(slot)) {
        return frames;
    }
    Channel& channel = channels[slot];
    std::swap(channel.frames, frames);
    channel.loop = loop;
    channel.loopStart = 0;
    channel.loopEnd = channel.frames.size();
    channel.playing = false;
    channel.position = 0;
    return frames;
}

std::vector<int16_t> Mixer::ClearSample(int slot)
{
    return SetSample(slot, std::vector<int16_t>(), false);
}

bool Mixer::Play(int slot)
{
    if (!HasSample(slot)) {
        return false;
    }
    channels[slot].position = 0;
    channels[slot].playing = true;
    return true;
}

void Mixer::Stop(int slot)
{
    if (ValidSlot(slot)) {
        channels[slot].playing = false;
    }
}

void Mixer::SetGain(int slot, float gain)
{
    if (!ValidSlot(slot)) {
        return;
    }
    // Written as a negated comparison so NaN falls into the silent branch.
    if (!(gain > 0.0f)) {
        gain = 0.0f;
    }
    gain = std::min(gain, kMaxGain);
    channels[slot].gain = static_cast<int32_t>(std::lround(gain * (1 << kGainShift)));
}

bool Mixer::SetLoopPoints(int slot, int start, int end)
{
    if (!HasSample(slot)) {
        return false;
    }
    Channel& channel = channels[slot];
    const size_t length = channel.frames.size();
    size_t first = start < 0 ? 0 : std::min(static_cast<size_t>(start), length - 1);
    size_t last = end < 0 ? 0 : std::min(static_cast<size_t>(end), length);
    if (last <= first) {
        last = length;
    }
    channel.loopStart = first;
    channel.loopEnd = last;
    return true;
}

std::vector<std::vector<int16_t>> Mixer::Reset()
{
    std::vector<std::vector<int16_t>> released;
    released.reserve(kChannels);
    for (int slot = 0; slot < kChannels; ++slot) {
        released.push_back(ClearSample(slot));
        channels[slot].gain = 1 << kGainShift;
    }
    return released;
}

void Mixer::Mix(int16_t* out, int frames)
{
    while (frames > 0) {
        const int chunk = std::min(frames, kChunkFrames);
        std::fill(accumulator.begin(), accumulator.begin() + chunk, 0);
        for (Channel& channel : channels) {
            if (channel.playing) {
                MixChannel(channel, accumulator.data(), chunk);
            }
        }
        for (int i = 0; i < chunk; ++i) {
            out[i] = static_cast<int16_t>(std::clamp<int32_t>(accumulator[i], INT16_MIN, INT16_MAX));
        }
        out += chunk;
        frames -= chunk;
    }
}

void Mixer::MixChannel(Channel& channel, int32_t* acc, int frames)
{
    const int16_t* data = channel.frames.data();
    int filled = 0;
    while (filled < frames) {
        const size_t end = channel.loop ? channel.loopEnd : channel.frames.size();
        if (channel.position >= end) {
            if (!channel.loop) {
                channel.playing = false;
                return;
            }
            channel.position = channel.loopStart;
            continue;
        }
        const size_t take = std::min(end - channel.position, static_cast<size_t>(frames - filled));
        const int16_t* src = data + channel.position;
        // Per-channel shift keeps 64 channels at 4x gain well inside int32.
        for (size_t i = 0; i < take; ++i) {
            acc[filled + i] += (static_cast<int32_t>(src[i]) * channel.gain) >> kGainShift;
        }
        channel.position += take;
        filled += static_cast<int>(take);
    }
    if (!channel.loop && channel.position >= channel.frames.size()) {
        channel.playing = false;
    }
}

bool Mixer::HasSample(int slot) const
{
    return ValidSlot(slot) && !channels[slot].frames.empty();
}

bool Mixer::IsPlaying(int slot) const
{
    return ValidSlot(slot) && channels[slot].playing;
}

size_t Mixer::Position(int slot) const
{
    return ValidSlot(slot) ? channels[slot].position : 0;
}

size_t Mixer::Length(int slot) const
{
    return ValidSlot(slot) ? channels[slot].frames.size() : 0;
}

float Mixer::Gain(int slot) const
{
    return ValidSlot(slot) ? static_cast<float>(channels[slot].gain) / (1 << kGainShift) : 0.0f;
}

size_t Mixer::LoopStart(int slot) const
{
    return ValidSlot(slot) ? channels[slot].loopStart : 0;
}

size_t Mixer::LoopEnd(int slot) const
{
    return ValidSlot(slot) ? channels[slot].loopEnd : 0;
}
