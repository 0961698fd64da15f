#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numeric>

#include "sound/SampleLoader.h"
#include "sound/SoundTable.h"
#include "tests/tools/DataFiles.h"

namespace {

bool IsMp3(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0;
}

double Mean(const std::vector<int16_t>& s)
{
    return std::accumulate(s.begin(), s.end(), 0.0) / double(s.size()) / 32768.0;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; ++i) sum += double(s[i]) * double(s[i]);
    return std::sqrt(sum / double(count));
}

TEST(SoundData, EveryEffectIsShortMono16BitAt22050AudibleCentredAndFreeOfClicks)
{
    int effects = 0;
    for (const SoundTableEntry& entry : kSoundTable) {
        if (IsMp3(entry.file))
            continue;
        ++effects;
        SCOPED_TRACE(entry.file);
        SDL_AudioSpec spec;
        Uint8* bytes = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV(datatest::DataPath(entry.file).c_str(), &spec, &bytes, &length), nullptr)
            << SDL_GetError();
        const std::vector<int16_t> s(reinterpret_cast<int16_t*>(bytes),
                                     reinterpret_cast<int16_t*>(bytes) + length / 2);
        SDL_FreeWAV(bytes);
        EXPECT_EQ(spec.channels, 1);
        EXPECT_EQ(spec.format, AUDIO_S16LSB);
        EXPECT_EQ(spec.freq, 22050);
        EXPECT_GE(double(s.size()) / 22050.0, 0.05);
        EXPECT_LE(double(s.size()) / 22050.0, 1.5);
        ASSERT_GE(s.size(), 2u);
        int peak = 0;
        for (int16_t v : s) peak = std::max(peak, std::abs(int(v)));
        EXPECT_GT(peak, 8000) << "nearly silent";
        // Starting or stopping away from zero is heard as a click.
        EXPECT_LE(std::abs(int(s.front())), 300);
        EXPECT_LE(std::abs(int(s.back())), 300);
        EXPECT_LE(std::abs(int(s[1]) - int(s[0])), 2500);
        EXPECT_LE(std::abs(int(s[s.size() - 1]) - int(s[s.size() - 2])), 2500);
        // An offset wastes headroom in the mix and shifts the output when the sound starts.
        EXPECT_NEAR(Mean(s), 0.0, 0.01);
    }
    EXPECT_EQ(effects, 26);
}

TEST(SoundData, MusicDecodesToAMinuteOrMoreCentredAndLoopsWithoutASeam)
{
    int pieces = 0;
    for (int index = 0; index < SND_COUNT; ++index) {
        const SoundTableEntry& entry = kSoundTable[index];
        if (!IsMp3(entry.file))
            continue;
        ++pieces;
        SCOPED_TRACE(entry.file);
        EXPECT_TRUE(entry.loop);
        std::vector<int16_t> d;
        std::string error;
        ASSERT_TRUE(SampleLoader::Load(datatest::DataPath(entry.file).c_str(), d, error)) << error;
        EXPECT_GE(double(d.size()) / 22050.0, 60.0);
        ASSERT_GT(d.size(), 22050u);
        EXPECT_GT(Rms(d, 0, d.size()), 1500.0) << "too quiet";
        EXPECT_NEAR(Mean(d), 0.0, 0.01);
        // Played on from the last sample, the loop start (7000 for the
        // overworld, 0 for the dungeon) must continue the wave: it lies close
        // to where the last two samples point.
        const size_t start = index == SND_MUSIC_OVERWORLD ? 7000 : 0, end = d.size() - 1;
        EXPECT_LT(std::fabs(d[start] - (2.0 * d[end] - d[end - 1])), 1200.0)
            << "end " << d[end - 1] << ", " << d[end] << " then " << d[start];
        EXPECT_LT(std::fabs(d[start + 1] - (2.0 * d[start] - d[end])), 1200.0);
        if (start > 0) {
            // The lead-in before the loop start is the loop's own ending, so
            // the decoder kept every sample in place: no gap, no shift.
            std::vector<int16_t> delta(start);
            for (size_t i = 0; i < start; ++i) delta[i] = int16_t((d[i] - d[d.size() - start + i]) / 2);
            EXPECT_LT(2 * Rms(delta, start / 4, start - start / 4),
                      0.1 * Rms(d, d.size() - start, start) + 50.0);
        }
    }
    EXPECT_EQ(pieces, 2);
}

}  // namespace
