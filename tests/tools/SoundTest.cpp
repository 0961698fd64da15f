#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "sound/SampleLoader.h"
#include "sound/SoundTable.h"
#include "tests/tools/DataFiles.h"
#include "tools/sound/SoundScripts.h"

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

std::vector<ktool::SoundEffect> Effects(const std::string& text)
{
    return ktool::RenderEffects(ktool::SplitSource(text, "fx.txt"));
}

std::vector<int16_t> Music(const std::string& text)
{
    return ktool::RenderMusic(ktool::SplitSource(text, "tune.txt"));
}

TEST(SoundData, EveryEffectIsShortMono16BitAt22050AudibleCentredAndFreeOfClicks)
{
    int effects = 0;
    for (const SoundTableEntry& entry : kSoundTable) {
        if (IsMp3(entry.file))
            continue;
        ++effects;
        SCOPED_TRACE(entry.file);
        SDL_AudioSpec format;
        Uint8* bytes = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV(datatest::DataPath(entry.file).c_str(), &format, &bytes, &length), nullptr)
            << SDL_GetError();
        const std::vector<int16_t> s(reinterpret_cast<int16_t*>(bytes),
                                     reinterpret_cast<int16_t*>(bytes) + length / 2);
        SDL_FreeWAV(bytes);
        EXPECT_EQ(format.channels, 1);
        EXPECT_EQ(format.format, AUDIO_S16LSB);
        EXPECT_EQ(format.freq, 22050);
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

TEST(SoundScripts, EffectsRenderToTheirLengthCentredAndSilentAtBothEnds)
{
    // A narrow pulse is mostly offset: it still comes out centred.
    auto effects = Effects("sound Beep\n  square len=0.2 freq=880 duty=0.1\nend\n");
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0].name, "Beep");
    const std::vector<int16_t>& pcm = effects[0].pcm;
    ASSERT_EQ(pcm.size(), size_t(0.2 * 22050));
    EXPECT_NEAR(Mean(pcm), 0.0, 0.01);
    EXPECT_LE(std::abs(pcm.front()), 300);
    EXPECT_LE(std::abs(pcm.back()), 300);
    // Swept filters, tremolo and crackle shape a voice without changing its length.
    effects = Effects(
        "sound A\n  noise len=0.3 lowpass=500:4000 highpass=100:50 tremolo=20:0.8\n"
        "  crackle len=0.3 freq=80 seed=3\nend\n");
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0].pcm.size(), size_t(0.3 * 22050));
}

TEST(SoundScripts, MusicRendersAsAWholeLoopCentredWithoutASeam)
{
    auto pcm = Music(
        "tempo 120\ninstrument a square duty=0.1\nsection A\n  a C4:1 F#4:1 r:1 Bb4:1\nend\nplay A A\n");
    ASSERT_EQ(pcm.size(), size_t(4 * 22050));
    EXPECT_NEAR(Mean(pcm), 0.0, 0.01);
    // The last note has ended, so the loop start follows the last sample closely.
    EXPECT_LE(std::abs(int(pcm.front()) - int(pcm.back())), 300);

    // A lead-in repeats the loop's end, so the loop start follows the last sample.
    pcm = Music(
        "tempo 120\nloopstart 1000\ninstrument a square echo=0.5:0.5 chorus=10\nsection A\n"
        "  a C4+E4+G4:1 r:1\nend\nplay A\n");
    ASSERT_EQ(pcm.size(), size_t(22050 + 1000));
    for (size_t i = 0; i < 1000; ++i) ASSERT_EQ(pcm[i], pcm[pcm.size() - 1000 + i]) << i;
    // The echoes sound in the beat after the chord.
    int loud = 0;
    for (size_t i = 1000 + 11025; i < pcm.size(); ++i) loud = std::max(loud, std::abs(int(pcm[i])));
    EXPECT_GT(loud, 1000);
}

TEST(SoundScripts, BadScriptsAreRejectedNamingFileAndLine)
{
    const std::string head = "tempo 120\ninstrument a square\ninstrument b triangle\n";
    const struct {
        bool music;
        std::string text;
        const char* error;  // how the message starts
    } kCases[] = {
        {false, "sound A\n  hum len=0.2\nend\n", "fx.txt:2: unknown wave 'hum'"},
        {false, "sound A\n  sine len=3\nend\n", "fx.txt:1: sound A lasts"},
        {false, "sound A\n  sine len=0.2 pitch=3\nend\n", "fx.txt:2: unknown voice setting"},
        {false, "sound A\n  seq sine step=0.1 notes=C4,H4\nend\n", "fx.txt:2: 'H4' is not a note"},
        {false, "sound A\n  sine len=0.2\n", "fx.txt:1: sound A has no 'end'"},
        {false, "sound A\n  noise len=0.2 lowpass=1:2:3\nend\n",
         "fx.txt:2: lowpass is <value> or <from>:<to>"},
        {false, "sound A\n  sine len=0.2 tremolo=5\nend\n",
         "fx.txt:2: tremolo is <rate hz>:<depth fraction>"},
        {true, head + "section A\n  a C4:1\n  b C3:2\nend\nplay A\n", "tune.txt:6: track b"},
        {true, head + "section A\n  c C4:1\nend\nplay A\n", "tune.txt:5: unknown instrument 'c'"},
        {true, head + "section A\n  a C4:1\nend\nplay B\n", "tune.txt:7: play names section 'B'"},
        {true, head + "section A\n  a C4+H4:1\nend\nplay A\n", "tune.txt:5: 'H4' is not a note"},
        {true, "tempo 120\nloopstart 44100\ninstrument a square\nsection A\n  a C4:1\nend\nplay A\n",
         "tune.txt:2: loopstart 44100 is not shorter than the piece"},
        {true, head + "instrument c sine echo=2\n", "tune.txt:4: echo is <delay beats>:<gain>"},
    };
    for (const auto& c : kCases) {
        std::string error;
        try {
            c.music ? (void)Music(c.text) : (void)Effects(c.text);
        } catch (const ktool::SourceError& e) {
            error = e.what();
        }
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "expected: " << c.error << "\ngot: " << error;
    }
}

}  // namespace
