#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "app/TestApp.h"
#include "engine/RunOptions.h"
#include "player/Tavin.h"
#include "sound/SoundSystem.h"
#include "tests/support/TestSupport.h"
#include "world/KarskRenderer.h"

namespace {

std::string WriteScript(const std::string& text)
{
    std::string path = TempPath("script");
    std::ofstream(path) << text;
    return path;
}

Quill::LaunchContext Window()
{
    Quill::LaunchContext context;
    std::memset(&context, 0, sizeof context);
    std::strncpy(context.title, "QUILL App", sizeof context.title - 1);
    context.width = 512;
    context.height = 512;
    return context;
}

// The options of a repeatable headless run without a log file.
Quill::RunOptions Headless(unsigned frames)
{
    Quill::RunOptions options;
    options.headless = options.fixedStep = options.fastClock = true;
    options.frames = frames;
    options.seed = 1;
    options.logFile = "";
    return options;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Notes the sound settings as the run ends, before shutting down clears them.
struct SoundWatchingApp : CTestApp {
    float gains[28] = {};
    size_t loopStart = 0, loopEnd = 0, length = 0;  // of the overworld music

    bool Shutdown() override
    {
        const SoundSystem& sound = SoundSystem::Global();
        for (int i = 0; i < 28; ++i) gains[i] = sound.Gain(i);
        loopStart = sound.LoopStart(26), loopEnd = sound.LoopEnd(26), length = sound.SampleLength(26);
        return CTestApp::Shutdown();
    }
};

}  // namespace

// The real engine loop, headless, with keys from a script; the world it
// leaves is dumped one entity a line.
TEST(HeadlessRun, TheHeroWalksWhereTheScriptSendsHim)
{
    const std::string script = WriteScript("10-39 right\n60 space\n80-99 up\n");
    const std::string shot = TempPath("shot") + ".bmp";
    ASSERT_TRUE(Quill::EnterDataDirectory(KARSK_TEST_DATA_DIR));

    Quill::RunOptions options = Headless(300);
    options.inputScript = script;
    options.screenshot = shot;
    options.dumpWorld = TempPath("world") + ".tsv";

    SoundWatchingApp app;
    app.SetRunOptions(options);
    const Quill::LaunchContext context = Window();
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.FramesRun(), 300u);
    EXPECT_TRUE(LogContains("random seed: 1"));

    // The music loops from sample 7000 to its end; seven sounds have their own loudness.
    EXPECT_EQ(app.loopStart, 7000u);
    EXPECT_EQ(app.loopEnd, app.length);
    const std::map<int, float> volumes{{26, 0.8f}, {0, 1.5f},   {22, 0.5f}, {19, 1.5f},
                                       {11, 2.0f}, {10, 0.75f}, {14, 2.0f}};
    for (int i = 0; i < 28; ++i)
        EXPECT_NEAR(app.gains[i], volumes.count(i) ? volumes.at(i) : 1.0f, 0.001f) << "sound " << i;

    Tavin* hero = app.LocalPlayer();
    ASSERT_NE(hero, nullptr);
    // 30 frames right at 175 px/s take him 87.5 px; walking up then draws
    // him onto the nearest 16-pixel column, 3920.
    EXPECT_EQ(hero->GetPosition().x, 3920.0f);
    EXPECT_NEAR(hero->GetPosition().y, 83 * 32.0f - 20 * 175.0f / 60.0f, 3.0f);
    EXPECT_EQ(hero->GetDirection(), DIR_UP);
    EXPECT_EQ(hero->currency, 10);  // the starting purse was counted in
    EXPECT_EQ(app.ScreenX(), 7);
    EXPECT_EQ(app.ScreenY(), 7);

    EXPECT_TRUE(LogContains("entities written to " + options.dumpWorld));
    const std::string dump = ReadFile(options.dumpWorld);
    char heroLine[128];
    std::snprintf(heroLine, sizeof heroLine, "\n0\t%.2f\t%.2f\t%d\t%.2f\tTavin\n", hero->GetPosition().x,
                  hero->GetPosition().y, hero->GetState(), hero->GetHealth());
    EXPECT_EQ(dump.rfind("# uid\tx\ty\tstate\thealth\tname\n", 0), 0u) << dump;
    EXPECT_NE(dump.find(heroLine), std::string::npos) << dump;
    EXPECT_EQ(ReadFile(shot).substr(0, 2), "BM") << "no screenshot";
    for (const std::string& file : {shot, script, options.dumpWorld}) std::remove(file.c_str());
}

// A sound that cannot load stops the start; a dump that cannot be written is
// logged, and the game still ends normally.
TEST(HeadlessRun, FilesThatCannotBeReadOrWritten)
{
    const std::string dir = TempPath("emptydata");
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ASSERT_TRUE(Quill::EnterDataDirectory(dir));
    const Quill::LaunchContext context = Window();
    CTestApp empty;
    empty.SetRunOptions(Headless(5));
    EXPECT_FALSE(empty.Launch(&context));
    EXPECT_TRUE(LogContains("FMOD error! Failed to load sounds/KSK_Arrow.wav"));
    rmdir(dir.c_str());

    ASSERT_TRUE(Quill::EnterDataDirectory(KARSK_TEST_DATA_DIR));
    Quill::RunOptions options = Headless(2);
    options.dumpWorld = TempPath("nodir") + "/world.tsv";
    CTestApp app;
    app.SetRunOptions(options);
    EXPECT_TRUE(app.Launch(&context));
    EXPECT_TRUE(LogContains("world dump: cannot write " + options.dumpWorld));
}
