#include <gtest/gtest.h>
#include <mpg123.h>

#include <cstdlib>

#include "sound/SoundTable.h"
#include "tests/tools/DataFiles.h"

namespace {

bool IsMp3(const char* file)
{
    std::string name(file);
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0;
}

TEST(SoundData, EveryEffectIsShortMono16BitAt22050AndAudible)
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
    }
    EXPECT_EQ(effects, 26);
}

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
};

Decoded DecodeMp3(const std::string& path)
{
    Decoded out;
    mpg123_init();
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h)
        return out;
    int encoding = 0;
    if (mpg123_open(h, path.c_str()) == MPG123_OK &&
        mpg123_getformat(h, &out.rate, &out.channels, &encoding) == MPG123_OK &&
        encoding == MPG123_ENC_SIGNED_16) {
        unsigned char buffer[16384];
        size_t done = 0;
        int status;
        do {
            status = mpg123_read(h, buffer, sizeof buffer, &done);
            const int16_t* s = reinterpret_cast<const int16_t*>(buffer);
            out.samples.insert(out.samples.end(), s, s + done / 2);
        } while (status == MPG123_OK);
    }
    mpg123_close(h);
    mpg123_delete(h);
    return out;
}

TEST(SoundData, MusicLoopsAreLongMonoMp3sWithoutASeam)
{
    int pieces = 0;
    for (const SoundTableEntry& entry : kSoundTable) {
        if (!IsMp3(entry.file))
            continue;
        ++pieces;
        EXPECT_TRUE(entry.loop);
        Decoded d = DecodeMp3(datatest::DataPath(entry.file));
        ASSERT_FALSE(d.samples.empty()) << entry.file;
        EXPECT_EQ(d.rate, 22050) << entry.file;
        EXPECT_EQ(d.channels, 1) << entry.file;
        EXPECT_GE(double(d.samples.size()) / 22050.0, 30.0) << entry.file;
        // Joined end to start, the wave must not jump.
        EXPECT_LT(std::abs(int(d.samples.back()) - int(d.samples.front())), 1500) << entry.file;
        EXPECT_LT(std::abs(int(d.samples.front())), 1500) << entry.file;
    }
    EXPECT_EQ(pieces, 2);
}

}  // namespace
