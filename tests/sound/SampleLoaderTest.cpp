#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound/Mixer.h"
#include "sound/PcmConvert.h"
#include "sound/SampleLoader.h"
#include "tests/sound/SoundTestFiles.h"

using namespace soundtest;

namespace {

const size_t kNoLimit = 1000000;

double Rms(const std::vector<int16_t>& samples)
{
    double sum = 0.0;
    for (int16_t s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return samples.empty() ? 0.0 : std::sqrt(sum / samples.size());
}

bool LoadFails(const std::string& path, const std::string& reasonFragment)
{
    std::vector<int16_t> frames{7};
    std::string error;
    const bool loaded = SampleLoader::Load(path.c_str(), frames, error);
    EXPECT_NE(error.find(reasonFragment), std::string::npos) << error;
    EXPECT_EQ(frames, std::vector<int16_t>{7});
    return !loaded;
}

}  // namespace

TEST(PcmConvert, SameRateMonoIsCopied)
{
    std::vector<int16_t> in{5, -6, 7}, out;
    ASSERT_TRUE(AppendMono(in.data(), 3, 1, 22050, 22050, kNoLimit, out));
    EXPECT_EQ(out, in);
}

TEST(PcmConvert, StereoIsAveragedAndDownsampled)
{
    std::vector<int16_t> in{100, 300, -50, -150, 10, 30, 8, 8}, out;
    ASSERT_TRUE(AppendMono(in.data(), 4, 2, 44100, 22050, kNoLimit, out));
    EXPECT_EQ(out, (std::vector<int16_t>{200, 20}));
}

TEST(PcmConvert, UpsamplingInterpolates)
{
    std::vector<int16_t> in{0, 100}, out{1};
    ASSERT_TRUE(AppendMono(in.data(), 2, 1, 11025, 22050, kNoLimit, out));
    EXPECT_EQ(out, (std::vector<int16_t>{1, 0, 50, 100, 100}));
}

TEST(PcmConvert, RejectsBadFormatsAndOverlongResults)
{
    std::vector<int16_t> in(100, 1), out;
    EXPECT_FALSE(AppendMono(in.data(), 100, 0, 22050, 22050, kNoLimit, out));
    EXPECT_FALSE(AppendMono(in.data(), 100, 1, 0, 22050, kNoLimit, out));
    EXPECT_FALSE(AppendMono(in.data(), 100, 1, 11025, 22050, 150, out));
    EXPECT_TRUE(out.empty());
}

TEST(SampleLoaderWav, SniffsByContent)
{
    const unsigned char wav[] = "RIFF\0\0\0\0WAVE";
    const unsigned char id3[] = "ID3\4";
    const unsigned char sync[] = {0xFF, 0xF3, 0x40};
    const unsigned char text[] = "hello world!";
    EXPECT_EQ(SampleLoader::Sniff(wav, 12), SampleLoader::Kind::Wav);
    EXPECT_EQ(SampleLoader::Sniff(id3, 4), SampleLoader::Kind::Mp3);
    EXPECT_EQ(SampleLoader::Sniff(sync, 3), SampleLoader::Kind::Mp3);
    EXPECT_EQ(SampleLoader::Sniff(text, 12), SampleLoader::Kind::Unknown);
    EXPECT_EQ(SampleLoader::Sniff(wav, 4), SampleLoader::Kind::Unknown);
}

TEST(SampleLoaderWav, SixteenBitMonoLoadsExactly)
{
    TempDir dir;
    const std::vector<int16_t> samples{0, 32767, -32768, 1234, -4321};
    WriteWav(dir.File("a.wav"), Mixer::kRate, 1, 16, samples);
    std::vector<int16_t> frames;
    std::string error;
    ASSERT_TRUE(SampleLoader::Load(dir.File("a.wav").c_str(), frames, error)) << error;
    EXPECT_EQ(frames, samples);
}

TEST(SampleLoaderWav, EightBitStereoAtDoubleRateIsConverted)
{
    TempDir dir;
    // Frames alternate between (+0x40xx, +0x20xx) and (-0x40xx, -0x20xx).
    std::vector<int16_t> samples;
    for (int i = 0; i < 8; ++i) {
        samples.push_back(i % 2 ? -0x4000 : 0x4000);
        samples.push_back(i % 2 ? -0x2000 : 0x2000);
    }
    WriteWav(dir.File("b.wav"), 2 * Mixer::kRate, 2, 8, samples);
    std::vector<int16_t> frames;
    std::string error;
    ASSERT_TRUE(SampleLoader::Load(dir.File("b.wav").c_str(), frames, error)) << error;
    EXPECT_EQ(frames, std::vector<int16_t>(4, 0x3000));
}

TEST(SampleLoaderWav, BadFilesAreRejectedWithAReason)
{
    TempDir dir;
    WriteBytes(dir.File("garbage.wav"), std::string("\x13\x37garbage\xff\x00 bytes", 17));
    WriteBytes(dir.File("empty.wav"), "");
    WriteBytes(dir.File("riff.wav"), std::string("RIFF\x24\0\0\0WAVEjunkjunkjunkjunk", 28));
    WriteWav(dir.File("silent.wav"), Mixer::kRate, 1, 16, {});
    WriteWav(dir.File("full.wav"), Mixer::kRate, 1, 16, std::vector<int16_t>(50, 9));
    const std::string full = ReadBytes(dir.File("full.wav"));
    WriteBytes(dir.File("cut.wav"), full.substr(0, full.size() - 10));
    EXPECT_TRUE(LoadFails(dir.File("missing.wav"), "cannot open file"));
    EXPECT_TRUE(LoadFails(dir.File("garbage.wav"), "not a WAV or MP3 file"));
    EXPECT_TRUE(LoadFails(dir.File("empty.wav"), "file is empty"));
    EXPECT_TRUE(LoadFails(dir.File("riff.wav"), "WAV"));
    EXPECT_TRUE(LoadFails(dir.File("silent.wav"), "WAV"));
    EXPECT_TRUE(LoadFails(dir.File("cut.wav"), "WAV file is truncated"));
    EXPECT_TRUE(LoadFails(dir.Path(), "cannot read file"));
}

class SampleLoaderMp3 : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!LameAvailable()) {
            GTEST_SKIP() << "the lame encoder is not installed";
        }
    }

    // Half a second of 440 Hz tone, encoded with the given options.
    std::string Encode(const std::string& name, int rate, int channels, const std::string& options)
    {
        const std::string wav = dir.File(name + ".wav");
        const std::string mp3 = dir.File(name + ".mp3");
        std::vector<int16_t> tone = Sine(rate / 2, rate, 440.0, 12000);
        std::vector<int16_t> interleaved;
        for (int16_t s : tone) {
            interleaved.insert(interleaved.end(), static_cast<size_t>(channels), s);
        }
        WriteWav(wav, rate, channels, 16, interleaved);
        EXPECT_TRUE(EncodeMp3(wav, mp3, options));
        return mp3;
    }

    TempDir dir;
};

TEST_F(SampleLoaderMp3, MonoFileDecodesToTheMixerRate)
{
    const std::string mp3 = Encode("mono", Mixer::kRate, 1, "-m m -b 64");
    std::vector<int16_t> frames;
    std::string error;
    ASSERT_TRUE(SampleLoader::Load(mp3.c_str(), frames, error)) << error;
    EXPECT_NEAR(static_cast<double>(frames.size()), Mixer::kRate / 2, 1152.0);
    EXPECT_NEAR(Rms(frames), 12000 / std::sqrt(2.0), 1500.0);
}

TEST_F(SampleLoaderMp3, StereoFileAtHigherRateIsDownmixedAndResampled)
{
    const std::string mp3 = Encode("stereo", 44100, 2, "-m j -b 128");
    std::vector<int16_t> frames;
    std::string error;
    ASSERT_TRUE(SampleLoader::Load(mp3.c_str(), frames, error)) << error;
    EXPECT_NEAR(static_cast<double>(frames.size()), Mixer::kRate / 2, 1152.0);
    EXPECT_NEAR(Rms(frames), 12000 / std::sqrt(2.0), 1500.0);
}

TEST_F(SampleLoaderMp3, TruncatedFilesAreRejected)
{
    const std::string mp3 = Encode("full", Mixer::kRate, 1, "-m m -b 64");
    const std::string bytes = ReadBytes(mp3);
    ASSERT_GT(bytes.size(), 1000u);
    WriteBytes(dir.File("head.mp3"), bytes.substr(0, 100));
    WriteBytes(dir.File("half.mp3"), bytes.substr(0, bytes.size() / 2));
    EXPECT_TRUE(LoadFails(dir.File("head.mp3"), "no MPEG audio frames"));
    EXPECT_TRUE(LoadFails(dir.File("half.mp3"), "truncated"));
}
