#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound/Mixer.h"
#include "sound/PcmConvert.h"
#include "sound/SampleLoader.h"
#include "tests/sound/SoundTestFiles.h"

namespace {

using Frames = std::vector<int16_t>;

double Rms(const Frames& samples)
{
    double sum = 0.0;
    for (int16_t s : samples) sum += double(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / samples.size());
}

// Loading must fail with the reason and leave the frames alone.
void ExpectLoadFails(const std::string& path, const std::string& reason)
{
    Frames frames{7};
    std::string error;
    EXPECT_FALSE(SampleLoader::Load(path.c_str(), frames, error)) << path;
    EXPECT_NE(error.find(reason), std::string::npos) << path << ": " << error;
    EXPECT_EQ(frames, Frames{7}) << path;
}

TEST(PcmConvert, DownmixesResamplesAndRejectsBadFormats)
{
    const size_t kNoLimit = 1000000;
    const struct {
        Frames in;
        int channels;
        long rate;
        size_t limit;
        bool ok;
        Frames expected;  // appended after an existing frame 1
    } cases[] = {
        {{5, -6, 7}, 1, 22050, kNoLimit, true, {1, 5, -6, 7}},
        {{100, 300, -50, -150, 10, 30, 8, 8}, 2, 44100, kNoLimit, true, {1, 200, 20}},
        {{0, 100}, 1, 11025, kNoLimit, true, {1, 0, 50, 100, 100}},
        {Frames(100, 1), 0, 22050, kNoLimit, false, {1}},
        {Frames(100, 1), 1, 0, kNoLimit, false, {1}},
        {Frames(100, 1), 1, 11025, 150, false, {1}},
    };
    for (const auto& c : cases) {
        Frames out{1};
        const size_t frames = c.in.size() / size_t(c.channels > 0 ? c.channels : 1);
        EXPECT_EQ(AppendMono(c.in.data(), frames, c.channels, c.rate, 22050, c.limit, out), c.ok) << c.rate;
        EXPECT_EQ(out, c.expected) << c.rate;
    }
}

TEST(SampleLoader, SniffsByContent)
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

TEST(SampleLoader, WavFilesLoadExactlyOrConvertedToTheMixerFormat)
{
    TempDir dir;
    const Frames samples{0, 32767, -32768, 1234, -4321};
    WriteWav(dir.File("a.wav"), Mixer::kRate, 1, 16, samples);
    // 8-bit stereo at twice the rate: frames alternate (+0x40xx, +0x20xx), (-0x40xx, -0x20xx).
    Frames stereo;
    for (int i = 0; i < 8; ++i) {
        stereo.push_back(i % 2 ? -0x4000 : 0x4000);
        stereo.push_back(i % 2 ? -0x2000 : 0x2000);
    }
    WriteWav(dir.File("b.wav"), 2 * Mixer::kRate, 2, 8, stereo);

    Frames frames;
    std::string error;
    ASSERT_TRUE(SampleLoader::Load(dir.File("a.wav").c_str(), frames, error)) << error;
    EXPECT_EQ(frames, samples);
    ASSERT_TRUE(SampleLoader::Load(dir.File("b.wav").c_str(), frames, error)) << error;
    EXPECT_EQ(frames, Frames(4, 0x3000));
}

TEST(SampleLoader, BadWavFilesAreRejectedWithAReason)
{
    TempDir dir;
    WriteWav(dir.File("silent.wav"), Mixer::kRate, 1, 16, {});
    WriteWav(dir.File("full.wav"), Mixer::kRate, 1, 16, Frames(200, 9));  // a data size that needs two bytes
    const std::string full = ReadWholeFile(dir.File("full.wav"));
    ExpectLoadFails(dir.File("missing.wav"), "cannot open file");
    ExpectLoadFails(dir.Write("garbage.wav", std::string("\x13\x37garbage\xff\x00 bytes", 17)),
                    "not a WAV or MP3 file");
    ExpectLoadFails(dir.Write("empty.wav", ""), "file is empty");
    ExpectLoadFails(dir.Write("riff.wav", std::string("RIFF\x24\0\0\0WAVEjunkjunkjunkjunk", 28)), "WAV");
    ExpectLoadFails(dir.File("silent.wav"), "WAV");
    ExpectLoadFails(dir.Write("cut.wav", full.substr(0, full.size() - 10)), "WAV file is truncated");
    ExpectLoadFails(dir.Path(), "cannot read file");
}

TEST(SampleLoader, Mp3FilesDecodeToTheMixerRateAndTruncatedOnesFail)
{
    if (!LameAvailable())
        GTEST_SKIP() << "the lame encoder is not installed";
    TempDir dir;
    // Half a second of a 440 Hz tone at amplitude 12000, mono and stereo.
    const struct {
        int rate, channels;
        const char* options;
    } cases[] = {{Mixer::kRate, 1, "-m m -b 64"}, {44100, 2, "-m j -b 128"}};
    for (const auto& c : cases) {
        const std::string mp3 = EncodeTone(dir, c.rate, c.channels, 0.5, c.options);
        Frames frames;
        std::string error;
        ASSERT_TRUE(SampleLoader::Load(mp3.c_str(), frames, error)) << error;
        EXPECT_NEAR(double(frames.size()), Mixer::kRate / 2, 1152.0) << c.rate;
        EXPECT_NEAR(Rms(frames), 12000 / std::sqrt(2.0), 1500.0) << c.rate;
    }
    const std::string bytes = ReadWholeFile(dir.File("tone-22050-1.mp3"));
    ASSERT_GT(bytes.size(), 1000u);
    ExpectLoadFails(dir.Write("head.mp3", bytes.substr(0, 100)), "no MPEG audio frames");
    ExpectLoadFails(dir.Write("half.mp3", bytes.substr(0, bytes.size() / 2)), "truncated");
}

}  // namespace
