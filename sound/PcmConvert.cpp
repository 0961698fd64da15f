#include "sound/PcmConvert.h"

namespace {

int16_t FrameAverage(const int16_t* frame, int channels)
{
    int32_t sum = 0;
    for (int c = 0; c < channels; ++c) {
        sum += frame[c];
    }
    return static_cast<int16_t>(sum / channels);
}

}  // namespace

bool AppendMono(const int16_t* interleaved, size_t frames, int channels, long rate, long targetRate,
                size_t maxFrames, std::vector<int16_t>& out)
{
    if (channels <= 0 || rate <= 0 || targetRate <= 0) {
        return false;
    }
    if (frames == 0) {
        return true;
    }
    const uint64_t src = static_cast<uint64_t>(rate);
    const uint64_t dst = static_cast<uint64_t>(targetRate);
    // Enough output frames to cover the input span, rounded up.
    const uint64_t produced = (static_cast<uint64_t>(frames) * dst + src - 1) / src;
    if (produced > maxFrames || out.size() + produced > maxFrames) {
        return false;
    }
    out.reserve(out.size() + produced);
    for (uint64_t i = 0; i < produced; ++i) {
        // Exact integer source position avoids drift over long music tracks.
        const uint64_t scaled = i * src;
        const size_t index = static_cast<size_t>(scaled / dst);
        const int64_t frac = static_cast<int64_t>(scaled % dst);
        const int32_t a = FrameAverage(interleaved + index * channels, channels);
        const int32_t b =
            index + 1 < frames ? FrameAverage(interleaved + (index + 1) * channels, channels) : a;
        const int64_t value = a + (static_cast<int64_t>(b - a) * frac) / static_cast<int64_t>(dst);
        out.push_back(static_cast<int16_t>(value));
    }
    return true;
}
