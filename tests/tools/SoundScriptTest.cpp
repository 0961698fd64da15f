#include <gtest/gtest.h>

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

TEST(SoundScripts, RenderAnEffectOfTheRequestedLength)
{
    auto effects =
        ktool::RenderEffects(ktool::SplitSource("sound Beep\n  square len=0.2 freq=880\nend\n", "fx.txt"));
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0].name, "Beep");
    EXPECT_EQ(effects[0].pcm.size(), size_t(0.2 * 22050));
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

TEST(SoundScripts, RenderMusicAsAWholeLoop)
{
    auto pcm = ktool::RenderMusic(ktool::SplitSource(
        "tempo 120\ninstrument a square\nsection A\n  a C4:1 F#4:1 r:1 Bb4:1\nend\nplay A A\n", "tune.txt"));
    EXPECT_EQ(pcm.size(), size_t(4 * 22050));
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
}

}  // namespace
