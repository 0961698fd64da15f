#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/Mixer.h"

namespace {

using Frames = std::vector<int16_t>;

Frames Ramp(int length)
{
    Frames out(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) out[i] = static_cast<int16_t>(i);
    return out;
}

Frames MixFrames(Mixer& mixer, int frames)
{
    Frames out(static_cast<size_t>(frames), 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

TEST(Mixer, ChannelsPlayToTheEndRestartAddUpStopAndTakeNewSamples)
{
    Mixer mixer;
    EXPECT_FALSE(mixer.Play(0));
    EXPECT_FALSE(mixer.Play(-1));
    EXPECT_FALSE(mixer.Play(Mixer::kChannels));
    EXPECT_EQ(MixFrames(mixer, 2), Frames(2, 0));

    mixer.SetSample(3, {100, 200, 300}, false);
    ASSERT_TRUE(mixer.Play(3));
    EXPECT_EQ(MixFrames(mixer, 2), (Frames{100, 200}));
    EXPECT_TRUE(mixer.IsPlaying(3));
    EXPECT_EQ(MixFrames(mixer, 3), (Frames{300, 0, 0}));
    EXPECT_FALSE(mixer.IsPlaying(3));

    // Playing a sound again restarts it on its own channel.
    mixer.SetSample(0, Ramp(5000), false);
    mixer.Play(0);
    MixFrames(mixer, 1500);
    EXPECT_EQ(mixer.Position(0), 1500u);
    ASSERT_TRUE(mixer.Play(0));
    EXPECT_EQ(MixFrames(mixer, 3), (Frames{0, 1, 2}));

    mixer.SetSample(0, Frames(4, 1000), false);
    mixer.SetSample(1, Frames(4, -300), false);
    mixer.Play(0);
    mixer.Play(1);
    EXPECT_EQ(MixFrames(mixer, 2), (Frames{700, 700}));
    mixer.Stop(0);
    EXPECT_FALSE(mixer.IsPlaying(0));
    EXPECT_EQ(MixFrames(mixer, 2), (Frames{-300, -300}));

    // A new sample stops the channel and hands back the old frames.
    ASSERT_TRUE(mixer.Play(1));
    EXPECT_EQ(mixer.SetSample(1, {9}, true), Frames(4, -300));
    EXPECT_FALSE(mixer.IsPlaying(1));
    EXPECT_EQ(mixer.Length(1), 1u);
    mixer.ClearSample(1);
    EXPECT_FALSE(mixer.Play(1));
}

TEST(Mixer, LoopingWrapsFromTheLoopEndToTheLoopStart)
{
    const struct {
        int start, end;  // loop points as given; an end of 0 is the sample's end
        Frames expected;
    } cases[] = {
        {3, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 3, 4, 5, 6, 7, 8, 9}},
        {2, 5, {0, 1, 2, 3, 4, 2, 3, 4, 2}},
    };
    for (const auto& c : cases) {
        Mixer mixer;
        mixer.SetSample(5, Ramp(10), true);
        ASSERT_TRUE(mixer.SetLoopPoints(5, c.start, c.end));
        mixer.Play(5);
        EXPECT_EQ(MixFrames(mixer, int(c.expected.size())), c.expected) << c.start << "-" << c.end;
        EXPECT_TRUE(mixer.IsPlaying(5));
    }

    Mixer across;  // longer than one mixing chunk
    across.SetSample(0, Ramp(1000), true);
    across.Play(0);
    const Frames out = MixFrames(across, 2500);
    EXPECT_EQ(out[999], 999);
    EXPECT_EQ(out[1000], 0);
    EXPECT_EQ(out[2499], 499);

    Mixer moved;  // the end moved before the play position wraps at once
    moved.SetSample(0, Ramp(10), true);
    moved.Play(0);
    MixFrames(moved, 8);
    moved.SetLoopPoints(0, 1, 4);
    EXPECT_EQ(MixFrames(moved, 4), (Frames{1, 2, 3, 1}));
}

TEST(Mixer, LoopPointsAreClampedToTheSample)
{
    Mixer mixer;
    EXPECT_FALSE(mixer.SetLoopPoints(0, 0, 5));
    mixer.SetSample(0, Ramp(10), true);
    const struct {
        int start, end;
        size_t loopStart, loopEnd;
    } cases[] = {{-4, 50, 0, 10}, {40, 7, 9, 10}, {6, 6, 6, 10}};
    for (const auto& c : cases) {
        ASSERT_TRUE(mixer.SetLoopPoints(0, c.start, c.end));
        EXPECT_EQ(mixer.LoopStart(0), c.loopStart) << c.start << "-" << c.end;
        EXPECT_EQ(mixer.LoopEnd(0), c.loopEnd) << c.start << "-" << c.end;
    }
}

TEST(Mixer, GainScalesClampsAndSaturates)
{
    const struct {
        Frames sample;
        float gain;
        Frames expected;
    } cases[] = {
        {{1000, -1000}, 0.5f, {500, -500}},
        {{1000, -1000}, 1.5f, {1500, -1500}},
        {{32767, -32768, 20000}, 2.0f, {32767, -32768, 32767}},
    };
    for (const auto& c : cases) {
        Mixer mixer;
        mixer.SetSample(0, c.sample, false);
        mixer.SetGain(0, c.gain);
        mixer.Play(0);
        EXPECT_EQ(MixFrames(mixer, int(c.sample.size())), c.expected) << c.gain;
    }

    Mixer all;  // the sum of every channel saturates too
    for (int slot = 0; slot < Mixer::kChannels; ++slot) {
        all.SetSample(slot, {-32768}, false);
        all.SetGain(slot, Mixer::kMaxGain);
        all.Play(slot);
    }
    EXPECT_EQ(MixFrames(all, 1), Frames{-32768});

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

}  // namespace
