#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/Mixer.h"

namespace {

std::vector<int16_t> Ramp(int length, int step)
{
    std::vector<int16_t> out(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        out[i] = static_cast<int16_t>(i * step);
    }
    return out;
}

std::vector<int16_t> MixFrames(Mixer& mixer, int frames)
{
    std::vector<int16_t> out(static_cast<size_t>(frames), 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

}  // namespace

TEST(MixerPlayback, EmptyOrInvalidSlotDoesNotPlay)
{
    Mixer mixer;
    EXPECT_FALSE(mixer.Play(0));
    EXPECT_FALSE(mixer.Play(-1));
    EXPECT_FALSE(mixer.Play(Mixer::kChannels));
    EXPECT_EQ(MixFrames(mixer, 4), std::vector<int16_t>(4, 0));
}

TEST(MixerPlayback, NonLoopingSampleStopsAtItsEnd)
{
    Mixer mixer;
    mixer.SetSample(3, {100, 200, 300}, false);
    ASSERT_TRUE(mixer.Play(3));
    EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{100, 200}));
    EXPECT_TRUE(mixer.IsPlaying(3));
    EXPECT_EQ(MixFrames(mixer, 3), (std::vector<int16_t>{300, 0, 0}));
    EXPECT_FALSE(mixer.IsPlaying(3));
    EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{0, 0}));
}

TEST(MixerPlayback, ReplayRestartsTheChannelAtTheBeginning)
{
    Mixer mixer;
    mixer.SetSample(0, Ramp(5000, 1), false);
    mixer.Play(0);
    MixFrames(mixer, 1500);
    EXPECT_EQ(mixer.Position(0), 1500u);
    ASSERT_TRUE(mixer.Play(0));
    EXPECT_EQ(mixer.Position(0), 0u);
    EXPECT_EQ(MixFrames(mixer, 3), (std::vector<int16_t>{0, 1, 2}));
}

TEST(MixerPlayback, ChannelsAddUpAndStopIndependently)
{
    Mixer mixer;
    mixer.SetSample(0, std::vector<int16_t>(4, 1000), false);
    mixer.SetSample(1, std::vector<int16_t>(4, -300), false);
    mixer.Play(0);
    mixer.Play(1);
    EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{700, 700}));
    mixer.Stop(0);
    EXPECT_FALSE(mixer.IsPlaying(0));
    EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{-300, -300}));
}

TEST(MixerPlayback, NewSampleStopsTheChannelAndHandsBackTheOldOne)
{
    Mixer mixer;
    mixer.SetSample(2, {1, 2, 3}, false);
    mixer.Play(2);
    std::vector<int16_t> old = mixer.SetSample(2, {9}, true);
    EXPECT_EQ(old, (std::vector<int16_t>{1, 2, 3}));
    EXPECT_FALSE(mixer.IsPlaying(2));
    EXPECT_EQ(mixer.Length(2), 1u);
    mixer.ClearSample(2);
    EXPECT_FALSE(mixer.HasSample(2));
    EXPECT_FALSE(mixer.Play(2));
}

TEST(MixerLooping, WrapsFromTheEndToTheLoopStart)
{
    Mixer mixer;
    mixer.SetSample(5, Ramp(10, 1), true);
    ASSERT_TRUE(mixer.SetLoopPoints(5, 3, 0));
    EXPECT_EQ(mixer.LoopEnd(5), 10u);
    mixer.Play(5);
    EXPECT_EQ(MixFrames(mixer, 17),
              (std::vector<int16_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(mixer.IsPlaying(5));
}

TEST(MixerLooping, LoopEndInsideTheSample)
{
    Mixer mixer;
    mixer.SetSample(0, Ramp(10, 1), true);
    mixer.SetLoopPoints(0, 2, 5);
    mixer.Play(0);
    EXPECT_EQ(MixFrames(mixer, 9), (std::vector<int16_t>{0, 1, 2, 3, 4, 2, 3, 4, 2}));
}

TEST(MixerLooping, WrapsAcrossMixChunks)
{
    Mixer mixer;
    mixer.SetSample(0, Ramp(1000, 1), true);
    mixer.Play(0);
    std::vector<int16_t> out = MixFrames(mixer, 2500);
    EXPECT_EQ(out[999], 999);
    EXPECT_EQ(out[1000], 0);
    EXPECT_EQ(out[2499], 499);
    EXPECT_EQ(mixer.Position(0), 500u);
}

TEST(MixerLooping, PointsAreClampedToTheSample)
{
    Mixer mixer;
    EXPECT_FALSE(mixer.SetLoopPoints(0, 0, 5));
    mixer.SetSample(0, Ramp(10, 1), true);
    ASSERT_TRUE(mixer.SetLoopPoints(0, -4, 50));
    EXPECT_EQ(mixer.LoopStart(0), 0u);
    EXPECT_EQ(mixer.LoopEnd(0), 10u);
    mixer.SetLoopPoints(0, 40, 7);
    EXPECT_EQ(mixer.LoopStart(0), 9u);
    EXPECT_EQ(mixer.LoopEnd(0), 10u);
    mixer.SetLoopPoints(0, 6, 6);
    EXPECT_EQ(mixer.LoopEnd(0), 10u);
}

TEST(MixerLooping, EndMovedBeforeThePlayPositionWrapsAtOnce)
{
    Mixer mixer;
    mixer.SetSample(0, Ramp(10, 1), true);
    mixer.Play(0);
    MixFrames(mixer, 8);
    mixer.SetLoopPoints(0, 1, 4);
    EXPECT_EQ(MixFrames(mixer, 4), (std::vector<int16_t>{1, 2, 3, 1}));
}

TEST(MixerGain, ScalesTheSample)
{
    Mixer mixer;
    mixer.SetSample(0, {1000, -1000}, false);
    mixer.SetGain(0, 0.5f);
    mixer.Play(0);
    EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{500, -500}));
    mixer.SetGain(0, 1.5f);
    mixer.Play(0);
    EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{1500, -1500}));
}

TEST(MixerGain, FullScaleAtDoubleGainSaturates)
{
    Mixer mixer;
    mixer.SetSample(0, {32767, -32768, 20000}, false);
    mixer.SetGain(0, 2.0f);
    mixer.Play(0);
    EXPECT_EQ(MixFrames(mixer, 3), (std::vector<int16_t>{32767, -32768, 32767}));
}

TEST(MixerGain, SumOfChannelsSaturates)
{
    Mixer mixer;
    for (int slot = 0; slot < Mixer::kChannels; ++slot) {
        mixer.SetSample(slot, {-32768}, false);
        mixer.SetGain(slot, Mixer::kMaxGain);
        mixer.Play(slot);
    }
    EXPECT_EQ(MixFrames(mixer, 1), (std::vector<int16_t>{-32768}));
}

TEST(MixerGain, IsClampedAndResetByReset)
{
    Mixer mixer;
    EXPECT_FLOAT_EQ(mixer.Gain(0), 1.0f);
    mixer.SetGain(0, 10.0f);
    EXPECT_FLOAT_EQ(mixer.Gain(0), Mixer::kMaxGain);
    mixer.SetGain(1, -2.0f);
    EXPECT_FLOAT_EQ(mixer.Gain(1), 0.0f);
    mixer.SetGain(2, std::nanf(""));
    EXPECT_FLOAT_EQ(mixer.Gain(2), 0.0f);
    mixer.SetGain(Mixer::kChannels, 2.0f);
    mixer.SetSample(0, {1}, false);
    mixer.Reset();
    EXPECT_FLOAT_EQ(mixer.Gain(0), 1.0f);
    EXPECT_FALSE(mixer.HasSample(0));
}
