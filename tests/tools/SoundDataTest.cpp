#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numeric>

#include "sound/SampleLoader.h"
#include "sound/SoundTable.h"
#include "tests/tools/DataFiles.h"

namespace {

bool IsMp3(const char* file)
{
    std::string name(file);
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0;
}

TEST(SoundData, EveryEffectIsShortMono16BitAt22050AudibleCentredAndFreeOfClicks)
{
    int effects = 0;
    for (const SoundTableEntry& entry : kSoundTable) {
        if (IsMp3(entry.file))
            continue;
        ++effects;
        datatest::WavInfo wav = datatest::ReadWav(datatest::DataPath(entry.file));
        ASSERT_TRUE(wav.ok) << entry.file << ": " << wav.error;
        EXPECT_EQ(wav.channels, 1) << entry.file;
        EXPECT_EQ(wav.bitsPerSample, 16) << entry.file;
        EXPECT_EQ(wav.sampleRate, 22050) << entry.file;
        double seconds = double(wav.samples.size()) / 22050.0;
        EXPECT_GE(seconds, 0.05) << entry.file;
        EXPECT_LE(seconds, 1.5) << entry.file;
        int peak = 0;
        for (int16_t s : wav.samples) peak = std::max(peak, std::abs(int(s)));
        EXPECT_GT(peak, 8000) << entry.file << " is nearly silent";
        // Starting or stopping away from zero is heard as a click.
        const std::vector<int16_t>& s = wav.samples;
        ASSERT_GE(s.size(), 2u);
        EXPECT_LE(std::abs(int(s.front())), 300) << entry.file;
        EXPECT_LE(std::abs(int(s.back())), 300) << entry.file;
        EXPECT_LE(std::abs(int(s[1]) - int(s[0])), 2500) << entry.file;
        EXPECT_LE(std::abs(int(s[s.size() - 1]) - int(s[s.size() - 2])), 2500) << entry.file;
        // An offset wastes headroom in the mix and shifts the output when the sound starts.
        EXPECT_NEAR(std::accumulate(s.begin(), s.end(), 0.0) / double(s.size()) / 32768.0, 0.0, 0.01)
            << entry.file;
    }
    EXPECT_EQ(effects, 26);
}

// Where each piece's loop starts again once it reaches its end: the game
// sets 7000 for the overworld and leaves the dungeon at the start.
size_t LoopStart(int index)
{
    return index == SND_MUSIC_OVERWORLD ? 7000 : 0;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; ++i) sum += double(s[i]) * double(s[i]);
    return std::sqrt(sum / double(count));
}

TEST(SoundData, MusicDecodesToAMinuteOrMoreCentredAndLoopsWithoutASeam)
{
    int pieces = 0;
    for (int index = 0; index < SND_COUNT; ++index) {
        const SoundTableEntry& entry = kSoundTable[index];
        if (!IsMp3(entry.file))
            continue;
        ++pieces;
        EXPECT_TRUE(entry.loop);
        std::vector<int16_t> d;
        std::string error;
        ASSERT_TRUE(SampleLoader::Load(datatest::DataPath(entry.file).c_str(), d, error)) << error;
        EXPECT_GE(double(d.size()) / 22050.0, 60.0) << entry.file;
        ASSERT_GT(d.size(), 22050u);
        EXPECT_GT(Rms(d, 0, d.size()), 1500.0) << entry.file << " is too quiet";
        EXPECT_NEAR(std::accumulate(d.begin(), d.end(), 0.0) / double(d.size()) / 32768.0, 0.0, 0.01)
            << entry.file;
        // Played on from the last sample, the loop start must continue the
        // wave: it lies close to where the last two samples point.
        size_t start = LoopStart(index), end = d.size() - 1;
        double predicted = 2.0 * d[end] - d[end - 1];
        EXPECT_LT(std::fabs(d[start] - predicted), 1200.0)
            << entry.file << ": end " << d[end - 1] << ", " << d[end] << " then " << d[start];
        double nextPredicted = 2.0 * d[start] - d[end];
        EXPECT_LT(std::fabs(d[start + 1] - nextPredicted), 1200.0) << entry.file;
        if (start > 0) {
            // The lead-in before the loop start is the loop's own ending, so
            // the decoder kept every sample in place: no gap, no shift.
            double diff = 0;
            std::vector<int16_t> delta(start);
            for (size_t i = 0; i < start; ++i) delta[i] = int16_t((d[i] - d[d.size() - start + i]) / 2);
            diff = 2 * Rms(delta, start / 4, start - start / 4);
            EXPECT_LT(diff, 0.1 * Rms(d, d.size() - start, start) + 50.0) << entry.file;
        }
    }
    EXPECT_EQ(pieces, 2);
}

}  // namespace
