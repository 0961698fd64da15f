#include <ini.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/TestApp.h"
#include "engine/ConfigFiles.h"
#include "engine/QuillLogger.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"

namespace {

constexpr const char* kSection = "sound";

// Each sound's own loudness; the effects' volume scales all but the music.
float BaseVolume(int index)
{
    switch (index) {
        case SND_MUSIC_OVERWORLD:
            return 0.8f;
        case SND_ARROW:
        case SND_SWORD:
            return 1.5f;
        case SND_TEXT:
            return 0.5f;
        case SND_HURT:
        case SND_LOW_HEALTH:
            return 2.0f;
        case SND_HIT:
            return 0.75f;
        default:
            return 1.0f;
    }
}

bool IsMusic(int index)
{
    return index == SND_MUSIC_OVERWORLD || index == SND_MUSIC_DUNGEON;
}

struct Reading {
    SoundSettings values;
    std::string problem;
};

int OnSetting(void* user, const char* section, const char* name, const char* value)
{
    Reading& reading = *static_cast<Reading*>(user);
    if (std::strcmp(section, kSection) != 0)
        return 1;
    char* end = nullptr;
    const long number = std::strtol(value, &end, 10);
    const bool whole = end != value && *end == '\0';
    if (std::strcmp(name, "music_muted") == 0) {
        if (!whole || (number != 0 && number != 1)) {
            reading.problem = "music_muted is neither 0 nor 1";
            return 0;
        }
        reading.values.musicMuted = number == 1;
    } else if (std::strcmp(name, "effects_volume") == 0) {
        if (!whole || number < 0 || number > 100) {
            reading.problem = "effects_volume is not 0 to 100";
            return 0;
        }
        // Kept on the 10 % steps the keys make.
        reading.values.effectsVolume = int(number + 5) / 10 * 10;
    }
    return 1;
}

}  // namespace

bool LoadSoundSettings(const std::string& path, SoundSettings& out)
{
    if (path.empty())
        return false;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        if (errno != ENOENT)
            Quill::Logger()->Log("settings: cannot read %s: %s; not used", path.c_str(),
                                 std::strerror(errno));
        return false;
    }
    Reading reading;
    const int result = ini_parse_file(file, OnSetting, &reading);
    std::fclose(file);
    if (result != 0) {
        Quill::Logger()->Log("settings: %s:%d: %s; the file is not used", path.c_str(), result,
                             reading.problem.empty() ? "not a setting" : reading.problem.c_str());
        return false;
    }
    out = reading.values;
    return true;
}

bool SaveSoundSettings(const std::string& path, const SoundSettings& settings)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "# Karsk's sound, changed in the game: M mutes the music, - and =\n"
                  "# make the sound effects quieter and louder in steps of 10 %%.\n"
                  "[%s]\nmusic_muted=%d\neffects_volume=%d\n",
                  kSection, settings.musicMuted ? 1 : 0, settings.effectsVolume);
    std::string error;
    if (!Quill::WriteFileWhole(path, text, error)) {
        Quill::Logger()->Log("settings: cannot write %s: %s", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

void CTestApp::ApplySoundSettings()
{
    for (int i = 0; i < SND_COUNT; ++i) {
        if (IsMusic(i))
            SetVolume(i, soundSettings.musicMuted ? 0.0f : BaseVolume(i));
        else
            SetVolume(i, BaseVolume(i) * float(soundSettings.effectsVolume) / 100.0f);
    }
}

void CTestApp::ChangeSoundSettings(int volumeStep, bool toggleMute)
{
    if (toggleMute)
        soundSettings.musicMuted = !soundSettings.musicMuted;
    int volume = soundSettings.effectsVolume + volumeStep * kVolumeStep;
    soundSettings.effectsVolume = volume < 0 ? 0 : (volume > 100 ? 100 : volume);
    ApplySoundSettings();
    if (!settingsPath.empty())
        SaveSoundSettings(settingsPath, soundSettings);
}
