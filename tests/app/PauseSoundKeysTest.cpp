#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/Keys.h"
#include "sound/SoundSystem.h"
#include "sound/SoundTable.h"
#include "tests/app/AppFixture.h"
#include "tests/player/SoundProbe.h"

namespace {

using Quill::Key::Equals;
using Quill::Key::M;
using Quill::Key::Minus;
using Quill::Key::P;

class PauseSoundKeysTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(SoundProbe::Load());
    }
    void TearDown() override
    {
        SoundProbe::StopAll();
        AppTest::TearDown();
    }
    // One press: down for a frame, then up for a frame.
    void Press(int key)
    {
        Hold(key);
        Frame();
        Hold(key, false);
        Frame();
    }
};

// P freezes the world but not the music, and P again resumes; a two-player
// game is never paused.
TEST_F(PauseSoundKeysTest, PauseFreezesTheWorldButNotTheMusic)
{
    Frame();  // the music starts
    Press(P);
    ASSERT_TRUE(app->IsPaused());
    const Vec2 before = Hero()->GetPosition();
    Hold(Quill::Key::Right);
    for (int i = 0; i < 30; ++i) Frame();
    EXPECT_EQ(Hero()->GetPosition().x, before.x) << "the hero stands still";
    EXPECT_TRUE(world->IsFrozen());
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_MUSIC_OVERWORLD));
    Hold(Quill::Key::Right, false);
    Press(P);
    EXPECT_FALSE(app->IsPaused() || world->IsFrozen());
    Hold(Quill::Key::Right);
    for (int i = 0; i < 10; ++i) Frame();
    EXPECT_GT(Hero()->GetPosition().x, before.x);

    RecordingSession session;
    app->session = &session;
    Press(P);
    EXPECT_FALSE(app->IsPaused() || world->IsFrozen());
    EXPECT_FALSE(app->SetPaused(true));
    app->session = nullptr;
}

TEST_F(PauseSoundKeysTest, MuteAndVolumeStepOncePerPressAndAreRemembered)
{
    const std::string dir = TempPath("keys");
    const std::string path = dir + "/karsk/settings.ini";
    app->SetSettingsPath(path);
    SoundSystem& sound = SoundSystem::Global();
    const float music = 0.8f, sword = 1.5f;  // their own loudness in the game
    const struct {
        int key;
        int presses;
        bool muted;
        int volume;
    } steps[] = {{M, 1, true, 100}, {Equals, 1, true, 100}, {Minus, 3, true, 70},
                 {M, 1, false, 70}, {Minus, 9, false, 0},   {Equals, 2, false, 20}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        for (int i = 0; i < step.presses; ++i) Press(step.key);
        EXPECT_EQ(app->GetSoundSettings().musicMuted, step.muted);
        EXPECT_EQ(app->GetSoundSettings().effectsVolume, step.volume);
        // The mixer keeps gains in fixed point.
        EXPECT_NEAR(sound.Gain(SND_MUSIC_OVERWORLD), step.muted ? 0.0f : music, 0.001f);
        EXPECT_NEAR(sound.Gain(SND_SWORD), sword * float(step.volume) / 100.0f, 0.001f);
        SoundSettings saved;
        ASSERT_TRUE(LoadSoundSettings(path, saved));
        EXPECT_EQ(saved.musicMuted, step.muted);
        EXPECT_EQ(saved.effectsVolume, step.volume);
    }
    // Held, a key acts once.
    Hold(Minus);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(app->GetSoundSettings().effectsVolume, 10);
    Hold(Minus, false);

    // A bad file is not used.
    std::ofstream(path) << "[sound]\neffects_volume=loud\n";
    SoundSettings kept;
    kept.effectsVolume = 40;
    EXPECT_FALSE(LoadSoundSettings(path, kept));
    EXPECT_EQ(kept.effectsVolume, 40);
    app->ChangeSoundSettings(10, false);  // back to full for the next tests
    EXPECT_EQ(app->GetSoundSettings().effectsVolume, 100);
    std::filesystem::remove_all(dir);
}

}  // namespace
