#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "engine/QuillLogger.h"
#include "sound/Mixer.h"
#include "sound/Sound.h"
#include "sound/SoundSystem.h"
#include "tests/sound/SoundTestFiles.h"

namespace {

SoundSystem& System()
{
    return SoundSystem::Global();
}

class SoundApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitSound());
        WriteWav(short100, Mixer::kRate, 1, 16, Sine(100, Mixer::kRate, 440.0, 8000));
        WriteWav(short300, Mixer::kRate, 1, 16, Sine(300, Mixer::kRate, 440.0, 8000));
    }
    void TearDown() override { ShutdownSound(); }

    TempDir dir;
    const std::string short100 = dir.File("short100.wav");
    const std::string short300 = dir.File("short300.wav");
};

TEST_F(SoundApi, MissingFileReportsTheMessageAndTheNextLoadReusesTheSlot)
{
    // From inside an empty directory, so that the game's relative path misses.
    char* previous = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    for (int i = 0; i < 25; ++i) ASSERT_EQ(LoadSound(short100.c_str(), false), 1);
    EXPECT_STREQ(GetSoundError(), "");
    EXPECT_EQ(LoadSound("sounds/KSK_Fire.wav", false), -1);
    EXPECT_STREQ(GetSoundError(), "FMOD error! Failed to load sounds/KSK_Fire.wav\n");
    EXPECT_TRUE(Quill::Logger()->Contains("sounds/KSK_Fire.wav"));
    EXPECT_EQ(chdir(previous), 0);
    std::free(previous);
    EXPECT_EQ(System().Count(), 25);
    EXPECT_FALSE(PlaySound(25));

    EXPECT_EQ(LoadSound(short300.c_str(), true), 1);
    EXPECT_EQ(LoadSound(short100.c_str(), true), 1);
    EXPECT_EQ(System().SampleLength(25), 300u);
    EXPECT_EQ(System().SampleLength(26), 100u);
    EXPECT_EQ(System().Count(), 27);
    EXPECT_TRUE(PlaySound(26));
    EXPECT_FALSE(PlaySound(27));
    EXPECT_FALSE(PlaySound(-1));
}

TEST_F(SoundApi, BadFilesFailAndLeaveTheCountAlone)
{
    const std::string garbage = dir.Write("garbage.wav", "this is not audio at all");
    ASSERT_EQ(LoadSound(short100.c_str(), false), 1);
    EXPECT_EQ(LoadSound(garbage.c_str(), false), -1);
    EXPECT_EQ(std::string(GetSoundError()), "FMOD error! Failed to load " + garbage + "\n");
    EXPECT_EQ(LoadSound(nullptr, false), -1);
    EXPECT_EQ(System().Count(), 1);
    EXPECT_EQ(System().SampleLength(1), 0u);
    EXPECT_FALSE(PlaySound(1));

    for (int i = 1; i < Mixer::kChannels; ++i) ASSERT_EQ(LoadSound(short100.c_str(), false), 1);
    EXPECT_EQ(LoadSound(short100.c_str(), false), -1) << "every slot is full";
    EXPECT_EQ(System().Count(), Mixer::kChannels);
    EXPECT_TRUE(PlaySound(Mixer::kChannels - 1));
}

TEST_F(SoundApi, Mp3MusicLoads)
{
    if (!LameAvailable())
        GTEST_SKIP() << "the lame encoder is not installed";
    const std::string mp3 = EncodeTone(dir, Mixer::kRate, 1, 1.0, "-m m -b 64");
    ASSERT_EQ(LoadSound(mp3.c_str(), true), 1);
    EXPECT_NEAR(double(System().SampleLength(0)), Mixer::kRate, 1152.0);
    EXPECT_TRUE(PlaySound(0));
}

TEST_F(SoundApi, PlayStopVolumeAndLoopPointsActOnTheSoundsChannel)
{
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver && std::string(driver) == "dummy") {
        EXPECT_TRUE(System().DeviceOpen());
    }
    EXPECT_FALSE(SetLoopPoints(0, 10, 0));
    ASSERT_EQ(LoadSound(short300.c_str(), true), 1);
    EXPECT_FALSE(System().IsPlaying(0));
    ASSERT_TRUE(PlaySound(0));
    EXPECT_TRUE(System().IsPlaying(0));
    StopSound(0);
    EXPECT_FALSE(System().IsPlaying(0));
    StopSound(1);
    StopSound(-1);

    EXPECT_TRUE(SetLoopPoints(0, 50, 0));
    EXPECT_EQ(System().LoopStart(0), 50u);
    EXPECT_EQ(System().LoopEnd(0), 300u);
    EXPECT_FALSE(SetLoopPoints(1, 0, 0));

    SetVolume(3, 2.0f);
    SetVolume(4, 0.75f);
    SetVolume(5, 9.0f);
    SetVolume(-1, 3.0f);
    SetVolume(Mixer::kChannels, 3.0f);
    EXPECT_FLOAT_EQ(System().Gain(3), 2.0f);
    EXPECT_FLOAT_EQ(System().Gain(4), 0.75f);
    EXPECT_FLOAT_EQ(System().Gain(5), Mixer::kMaxGain);
    EXPECT_FLOAT_EQ(System().Gain(6), 1.0f);
}

// Without an audio device the game runs silently, and the layer starts again cleanly.
TEST_F(SoundApi, InitAndShutdownRepeatWithOrWithoutAnAudioDevice)
{
    EXPECT_EQ(LoadSound(dir.File("nope.wav").c_str(), false), -1);
    ASSERT_EQ(LoadSound(short100.c_str(), false), 1);
    ShutdownSound();
    EXPECT_EQ(System().Count(), 0);
    EXPECT_FALSE(PlaySound(0));

    const char* saved = std::getenv("SDL_AUDIODRIVER");
    const std::string previous = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "karsk-no-such-driver", 1);
    const bool started = InitSound();
    if (saved)
        setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(started);
    EXPECT_FALSE(System().DeviceOpen());
    EXPECT_STREQ(GetSoundError(), "");
    EXPECT_EQ(System().SampleLength(0), 0u);
    ASSERT_EQ(LoadSound(short300.c_str(), true), 1);
    EXPECT_EQ(System().SampleLength(0), 300u);
    EXPECT_TRUE(PlaySound(0));
    EXPECT_TRUE(System().IsPlaying(0));
}

}  // namespace
