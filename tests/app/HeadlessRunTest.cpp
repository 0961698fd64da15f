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

// The real engine loop, headless, with keys from a script.
TEST(HeadlessRun, TheHeroWalksWhereTheScriptSendsHim)
{
    const std::string script = WriteScript("10-39 right\n60 space\n80-99 up\n");
    const std::string shot = TempPath("shot") + ".bmp";
    ASSERT_TRUE(Quill::EnterDataDirectory(KARSK_TEST_DATA_DIR));

    Quill::RunOptions options = Headless(300);
    options.inputScript = script;
    options.screenshot = shot;

    SoundWatchingApp app;
    app.SetRunOptions(options);
    const Quill::LaunchContext context = Window();
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.FramesRun(), 300u);

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
    const Vec2 start(120 * 32.0f, 83 * 32.0f);
    EXPECT_EQ(hero->GetPosition().x, 3920.0f);
    EXPECT_NEAR(hero->GetPosition().y, start.y - 20 * 175.0f / 60.0f, 3.0f);
    EXPECT_EQ(hero->GetDirection(), DIR_UP);
    EXPECT_EQ(hero->currency, 10);  // the starting purse was counted in
    EXPECT_EQ(app.ScreenX(), 7);
    EXPECT_EQ(app.ScreenY(), 7);

    std::FILE* f = std::fopen(shot.c_str(), "rb");
    ASSERT_NE(f, nullptr) << "no screenshot";
    char magic[2] = {};
    EXPECT_EQ(std::fread(magic, 1, 2, f), 2u);
    std::fclose(f);
    EXPECT_EQ(std::string(magic, 2), "BM");
    std::remove(shot.c_str());
    std::remove(script.c_str());
}

TEST(HeadlessRun, AMissingSoundStopsTheStartWithAMessage)
{
    // An empty data directory: the first sound cannot load.
    const std::string dir = TempPath("emptydata");
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ASSERT_TRUE(Quill::EnterDataDirectory(dir));
    Quill::RunOptions options = Headless(5);
    CTestApp app;
    app.SetRunOptions(options);
    const Quill::LaunchContext context = Window();
    EXPECT_FALSE(app.Launch(&context));
    EXPECT_TRUE(LogContains("FMOD error! Failed to load sounds/KSK_Arrow.wav"));
    rmdir(dir.c_str());
}

// The seed and the key script fix the whole run, so two runs leave the same
// world behind, entity for entity.
TEST(HeadlessRun, ASeedAndAKeyScriptReplayTheSameWorld)
{
    // North of the start lies a screen that is populated at random.
    const std::string script = WriteScript("0-149 up\n");
    std::string dumps[2], heroLine;
    for (std::string& dump : dumps) {
        ASSERT_TRUE(Quill::EnterDataDirectory(KARSK_TEST_DATA_DIR));
        Quill::RunOptions options = Headless(300);
        options.seed = 5;
        options.inputScript = script;
        options.dumpWorld = TempPath("world") + ".tsv";
        CTestApp app;
        app.SetRunOptions(options);
        const Quill::LaunchContext context = Window();
        ASSERT_TRUE(app.Launch(&context));
        dump = ReadFile(options.dumpWorld);
        std::remove(options.dumpWorld.c_str());

        Tavin* hero = app.LocalPlayer();
        ASSERT_NE(hero, nullptr);
        EXPECT_LT(hero->GetPosition().y, 83 * 32.0f - 200.0f) << "he did not walk north";
        char line[128];
        std::snprintf(line, sizeof line, "\n0\t%.2f\t%.2f\t%d\t%.2f\tTavin\n", hero->GetPosition().x,
                      hero->GetPosition().y, hero->GetState(), hero->GetHealth());
        heroLine = line;
    }
    std::remove(script.c_str());
    EXPECT_TRUE(LogContains("random seed: 5"));
    EXPECT_EQ(dumps[0].rfind("# uid\tx\ty\tstate\thealth\tname\n", 0), 0u) << dumps[0];
    EXPECT_NE(dumps[0].find(heroLine), std::string::npos) << dumps[0];
    EXPECT_NE(dumps[0].find("\n10\t"), std::string::npos) << "no enemy was spawned:\n" << dumps[0];
    EXPECT_EQ(dumps[0], dumps[1]);

    // A dump that cannot be written is logged; the game still ends normally.
    ASSERT_TRUE(Quill::EnterDataDirectory(KARSK_TEST_DATA_DIR));
    Quill::RunOptions options = Headless(2);
    options.dumpWorld = TempPath("nodir") + "/world.tsv";
    CTestApp app;
    app.SetRunOptions(options);
    const Quill::LaunchContext context = Window();
    EXPECT_TRUE(app.Launch(&context));
    EXPECT_TRUE(LogContains("world dump: cannot write " + options.dumpWorld));
}
