#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "tools/sound/SoundScripts.h"

namespace {

std::string EffectError(const std::string& text)
{
    try {
        ktool::RenderEffects(ktool::SplitSource(text, "fx.txt"));
    } catch (const ktool::SourceError& e) {
        return e.what();
    }
    return "";
}

std::string MusicError(const std::string& text)
{
    try {
        ktool::RenderMusic(ktool::SplitSource(text, "tune.txt"));
    } catch (const ktool::SourceError& e) {
        return e.what();
    }
    return "";
}

// A narrow pulse is mostly offset: it comes out centred, still silent at both ends.
TEST(SoundScripts, RenderAnEffectOfTheRequestedLengthCentred)
{
    auto effects = ktool::RenderEffects(
        ktool::SplitSource("sound Beep\n  square len=0.2 freq=880 duty=0.1\nend\n", "fx.txt"));
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0].name, "Beep");
    const std::vector<int16_t>& pcm = effects[0].pcm;
    ASSERT_EQ(pcm.size(), size_t(0.2 * 22050));
    EXPECT_NEAR(std::accumulate(pcm.begin(), pcm.end(), 0.0) / double(pcm.size()) / 32768.0, 0.0, 0.01);
    EXPECT_LE(std::abs(pcm.front()), 300);
    EXPECT_LE(std::abs(pcm.back()), 300);
}

TEST(SoundScripts, RejectBadEffectsNamingFileAndLine)
{
    EXPECT_EQ(EffectError("sound A\n  hum len=0.2\nend\n").rfind("fx.txt:2: unknown wave 'hum'", 0), 0u);
    EXPECT_EQ(EffectError("sound A\n  sine len=3\nend\n").rfind("fx.txt:1: sound A lasts", 0), 0u);
    EXPECT_EQ(
        EffectError("sound A\n  sine len=0.2 pitch=3\nend\n").rfind("fx.txt:2: unknown voice setting", 0),
        0u);
    EXPECT_EQ(EffectError("sound A\n  seq sine step=0.1 notes=C4,H4\nend\n")
                  .rfind("fx.txt:2: 'H4' is not a note", 0),
              0u);
    EXPECT_EQ(EffectError("sound A\n  sine len=0.2\n").rfind("fx.txt:1: sound A has no 'end'", 0), 0u);
}

TEST(SoundScripts, RenderMusicAsAWholeLoopCentredWithoutASeam)
{
    auto pcm = ktool::RenderMusic(ktool::SplitSource(
        "tempo 120\ninstrument a square duty=0.1\nsection A\n  a C4:1 F#4:1 r:1 Bb4:1\nend\nplay A A\n",
        "tune.txt"));
    ASSERT_EQ(pcm.size(), size_t(4 * 22050));
    EXPECT_NEAR(std::accumulate(pcm.begin(), pcm.end(), 0.0) / double(pcm.size()) / 32768.0, 0.0, 0.01);
    // The last note has ended, so the loop start follows the last sample closely.
    EXPECT_LE(std::abs(int(pcm.front()) - int(pcm.back())), 300);
}

TEST(SoundScripts, ALeadInRepeatsTheLoopsEndSoTheLoopStartFollowsTheLastSample)
{
    auto pcm = ktool::RenderMusic(ktool::SplitSource(
        "tempo 120\nloopstart 1000\ninstrument a square echo=0.5:0.5 chorus=10\nsection A\n"
        "  a C4+E4+G4:1 r:1\nend\nplay A\n",
        "tune.txt"));
    ASSERT_EQ(pcm.size(), size_t(22050 + 1000));
    for (size_t i = 0; i < 1000; ++i) ASSERT_EQ(pcm[i], pcm[pcm.size() - 1000 + i]) << i;
    // The echoes sound in the beat after the chord.
    int loud = 0;
    for (size_t i = 1000 + 11025; i < pcm.size(); ++i) loud = std::max(loud, std::abs(int(pcm[i])));
    EXPECT_GT(loud, 1000);
}

TEST(SoundScripts, ShapeEffectsWithSweptFiltersTremoloAndCrackle)
{
    auto effects = ktool::RenderEffects(
        ktool::SplitSource("sound A\n  noise len=0.3 lowpass=500:4000 highpass=100:50 tremolo=20:0.8\n"
                           "  crackle len=0.3 freq=80 seed=3\nend\n",
                           "fx.txt"));
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0].pcm.size(), size_t(0.3 * 22050));
    EXPECT_EQ(EffectError("sound A\n  noise len=0.2 lowpass=1:2:3\nend\n")
                  .rfind("fx.txt:2: lowpass is <value> or <from>:<to>", 0),
              0u);
    EXPECT_EQ(EffectError("sound A\n  sine len=0.2 tremolo=5\nend\n")
                  .rfind("fx.txt:2: tremolo is <rate hz>:<depth fraction>", 0),
              0u);
}

TEST(SoundScripts, RejectBadMusicNamingFileAndLine)
{
    const std::string head = "tempo 120\ninstrument a square\ninstrument b triangle\n";
    EXPECT_EQ(
        MusicError(head + "section A\n  a C4:1\n  b C3:2\nend\nplay A\n").rfind("tune.txt:6: track b", 0),
        0u);
    EXPECT_EQ(MusicError(head + "section A\n  c C4:1\nend\nplay A\n")
                  .rfind("tune.txt:5: unknown instrument 'c'", 0),
              0u);
    EXPECT_EQ(MusicError(head + "section A\n  a C4:1\nend\nplay B\n")
                  .rfind("tune.txt:7: play names section 'B'", 0),
              0u);
    EXPECT_EQ(
        MusicError(head + "section A\n  a C4+H4:1\nend\nplay A\n").rfind("tune.txt:5: 'H4' is not a note", 0),
        0u);
    EXPECT_EQ(
        MusicError("tempo 120\nloopstart 44100\ninstrument a square\nsection A\n  a C4:1\nend\nplay A\n")
            .rfind("tune.txt:2: loopstart 44100 is not shorter than the piece", 0),
        0u);
    EXPECT_EQ(
        MusicError(head + "instrument c sine echo=2\n").rfind("tune.txt:4: echo is <delay beats>:<gain>", 0),
        0u);
}

}  // namespace
