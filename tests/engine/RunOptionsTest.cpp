#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <initializer_list>
#include <vector>

#include "engine/QuillLogger.h"
#include "engine/RunOptions.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;

namespace {

struct Parsed {
    bool ok = false;
    bool help = false;
    std::string error;
    RunOptions options;
};

Parsed Parse(std::initializer_list<const char*> args, RunOptions start = RunOptions())
{
    std::vector<std::string> storage{"karsk"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage) {
        argv.push_back(&s[0]);
    }
    argv.push_back(nullptr);
    Parsed p;
    p.options = start;
    p.ok = ParseRunOptions(static_cast<int>(storage.size()), argv.data(), p.options, p.help, p.error);
    return p;
}

std::string Cwd()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

TEST(RunOptions, NoArgumentsKeepDefaults)
{
    Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(p.help);
    EXPECT_FALSE(p.options.headless);
    EXPECT_FALSE(p.options.fixedStep);
    EXPECT_FALSE(p.options.fastClock);
    EXPECT_EQ(p.options.frames, 0u);
    EXPECT_EQ(p.options.logFile, Cwd() + "/karsk.log");
    EXPECT_FALSE(p.options.seed.has_value());
    EXPECT_EQ(p.options.dumpWorld, "");
}

TEST(RunOptions, HelpIsReported)
{
    Parsed p = Parse({"--frames", "3", "--help"});
    EXPECT_TRUE(p.ok);
    EXPECT_TRUE(p.help);
    EXPECT_TRUE(Parse({"-h"}).help);
    const std::string help = RunOptionsHelp();
    for (const char* option :
         {"--headless", "--real-time", "--frames", "--fixed-step", "--fast-clock", "--input-script",
          "--screenshot", "--data", "--log", "--frame-stats", "--seed", "--dump-world"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(RunOptions, HeadlessImpliesFixedStepAndFastClock)
{
    Parsed p = Parse({"--headless", "--frames", "600"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.headless);
    EXPECT_TRUE(p.options.fixedStep);
    EXPECT_TRUE(p.options.fastClock);
    EXPECT_EQ(p.options.frames, 600u);
}

TEST(RunOptions, RealTimeKeepsTheRealClockWhenHeadless)
{
    Parsed p = Parse({"--headless", "--real-time", "--frame-stats"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.headless);
    EXPECT_TRUE(p.options.realTime);
    EXPECT_TRUE(p.options.frameStats);
    EXPECT_FALSE(p.options.fixedStep);
    EXPECT_FALSE(p.options.fastClock);

    Parsed both = Parse({"--real-time", "--fast-clock"});
    EXPECT_FALSE(both.ok);
    EXPECT_NE(both.error.find("--real-time"), std::string::npos);
}

TEST(RunOptions, SeparateFlags)
{
    Parsed p = Parse({"--fixed-step", "--fast-clock", "--data", "/opt/karsk"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(p.options.headless);
    EXPECT_TRUE(p.options.fixedStep);
    EXPECT_TRUE(p.options.fastClock);
    EXPECT_EQ(p.options.dataDir, "/opt/karsk");
}

TEST(RunOptions, ValuesMayFollowAnEqualsSign)
{
    Parsed p = Parse({"--frames=12", "--log=/tmp/x.log"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, 12u);
    EXPECT_EQ(p.options.logFile, "/tmp/x.log");
}

TEST(RunOptions, SeedTakesAnyUnsigned32BitNumber)
{
    const struct {
        const char* arg;
        uint32_t seed;
    } cases[] = {{"--seed=0", 0u}, {"--seed=1", 1u}, {"--seed=4294967295", 4294967295u}, {"--seed=007", 7u}};
    for (const auto& c : cases) {
        Parsed p = Parse({c.arg});
        ASSERT_TRUE(p.ok) << c.arg << ": " << p.error;
        ASSERT_TRUE(p.options.seed.has_value()) << c.arg;
        EXPECT_EQ(*p.options.seed, c.seed) << c.arg;
        EXPECT_EQ(ChooseSeed(p.options), c.seed) << c.arg;
    }
    EXPECT_EQ(Parse({"--seed", "12", "--headless"}).options.seed.value_or(0), 12u);
}

TEST(RunOptions, BadNumbersAreRejected)
{
    for (const char* option : {"--frames", "--seed"}) {
        for (const char* value :
             {"abc", "-1", "+1", " 1", "0x10", "12x", "1.5", "4294967296", "99999999999", ""}) {
            Parsed p = Parse({option, value});
            EXPECT_FALSE(p.ok) << option << " " << value;
            EXPECT_NE(p.error.find(option), std::string::npos) << p.error;
        }
        Parsed missing = Parse({option});
        EXPECT_FALSE(missing.ok);
        EXPECT_NE(missing.error.find(std::string(option) + " needs a value"), std::string::npos)
            << missing.error;
    }
    EXPECT_FALSE(Parse({"--dump-world"}).ok);
    EXPECT_FALSE(Parse({"--dump-world="}).ok);
}

TEST(RunOptions, UnknownOptionsAndStrayWordsAreRejected)
{
    Parsed p = Parse({"--headles"});
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find("unknown option '--headles'"), std::string::npos) << p.error;
    EXPECT_FALSE(Parse({"level1"}).ok);
    Parsed flagValue = Parse({"--headless=yes"});
    EXPECT_FALSE(flagValue.ok);
    EXPECT_NE(flagValue.error.find("takes no value"), std::string::npos);
}

TEST(RunOptions, FailedParseLeavesOptionsUntouched)
{
    RunOptions start;
    start.frames = 7;
    Parsed p = Parse({"--frames", "9", "--bogus"}, start);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.options.frames, 7u);
}

TEST(RunOptions, RelativePathsBecomeAbsolute)
{
    Parsed p = Parse({"--input-script", "keys/walk.txt", "--screenshot", "shot.bmp", "--log", "logs/run.log",
                      "--dump-world", "out/world.tsv"});
    ASSERT_TRUE(p.ok) << p.error;
    const std::string cwd = Cwd();
    EXPECT_EQ(p.options.inputScript, cwd + "/keys/walk.txt");
    EXPECT_EQ(p.options.screenshot, cwd + "/shot.bmp");
    EXPECT_EQ(p.options.logFile, cwd + "/logs/run.log");
    EXPECT_EQ(p.options.dumpWorld, cwd + "/out/world.tsv");

    Parsed absolute =
        Parse({"--input-script", "/a/b.txt", "--screenshot", "/c/d.bmp", "--dump-world=/e/world dump.txt"});
    EXPECT_EQ(absolute.options.inputScript, "/a/b.txt");
    EXPECT_EQ(absolute.options.screenshot, "/c/d.bmp");
    EXPECT_EQ(absolute.options.dumpWorld, "/e/world dump.txt");
}

TEST(RunOptions, LogCanBeTurnedOff)
{
    EXPECT_EQ(Parse({"--log", "-"}).options.logFile, "");
    EXPECT_EQ(Parse({"--no-log"}).options.logFile, "");
}

// Sets or clears $KARSK_DATA for one test.
class DataEnv {
public:
    explicit DataEnv(const char* value)
    {
        const char* old = getenv("KARSK_DATA");
        hadOld = old != nullptr;
        if (hadOld) {
            oldValue = old;
        }
        if (value) {
            setenv("KARSK_DATA", value, 1);
        } else {
            unsetenv("KARSK_DATA");
        }
    }
    ~DataEnv()
    {
        if (hadOld) {
            setenv("KARSK_DATA", oldValue.c_str(), 1);
        } else {
            unsetenv("KARSK_DATA");
        }
    }

private:
    bool hadOld = false;
    std::string oldValue;
};

// Runs with the working directory set to `dir`.
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : old(Cwd()) { EXPECT_EQ(chdir(dir.c_str()), 0); }
    ~InDirectory() { EXPECT_EQ(chdir(old.c_str()), 0); }

private:
    std::string old;
};

std::string MakeDataDir(const EngineTest::TempDir& root, const std::string& relative)
{
    std::string path = root.Path();
    size_t start = 0;
    while (start <= relative.size()) {
        size_t slash = relative.find('/', start);
        path += "/" + relative.substr(start, slash - start);
        mkdir(path.c_str(), 0755);
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    root.Write(relative + "/sprite.def", "# test\n");
    return path;
}

TEST(FindDataDirectory, RequestedDirectoryMustHoldTheSpriteFile)
{
    EngineTest::TempDir root;
    std::string data = MakeDataDir(root, "mydata");
    EXPECT_EQ(FindDataDirectoryIn(data, ""), data);
    EXPECT_EQ(FindDataDirectoryIn(data + "/../mydata", ""), data);
    // No fallback to other places when the requested one is wrong.
    DataEnv env(data.c_str());
    EXPECT_EQ(FindDataDirectoryIn(root.Path(), ""), "");
}

TEST(FindDataDirectory, SearchOrder)
{
    EngineTest::TempDir root;
    std::string envData = MakeDataDir(root, "env");
    std::string exeDir = root.Path() + "/prefix/bin";
    std::string beside = MakeDataDir(root, "prefix/bin/data");
    std::string shared = MakeDataDir(root, "prefix/share/karsk");
    std::string cwdData = MakeDataDir(root, "cwd");
    InDirectory cwd(cwdData);
    {
        DataEnv env(envData.c_str());
        EXPECT_EQ(FindDataDirectoryIn("", exeDir), envData);
    }
    DataEnv noEnv(nullptr);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), beside);
    ASSERT_EQ(remove((beside + "/sprite.def").c_str()), 0);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), shared);
    ASSERT_EQ(remove((shared + "/sprite.def").c_str()), 0);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), cwdData);
    ASSERT_EQ(remove((cwdData + "/sprite.def").c_str()), 0);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), "");
}

TEST(FindDataDirectory, EnvironmentWithoutTheFileIsSkipped)
{
    EngineTest::TempDir root;
    std::string exeDir = root.Path() + "/bin";
    std::string beside = MakeDataDir(root, "bin/data");
    DataEnv env(root.Path().c_str());
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), beside);
    // The full search uses this program's own folder, which has no data.
    InDirectory cwd(root.Path());
    EXPECT_EQ(FindDataDirectory("", "/no/such/karsk"), "");
    EXPECT_EQ(FindDataDirectory(beside, "karsk"), beside);
}

TEST(EnterDataDirectory, ChangesTheWorkingDirectory)
{
    EngineTest::TempDir root;
    std::string data = MakeDataDir(root, "data");
    const std::string old = Cwd();
    ASSERT_TRUE(EnterDataDirectory(data));
    char real[PATH_MAX];
    ASSERT_NE(realpath(data.c_str(), real), nullptr);
    EXPECT_EQ(Cwd(), real);
    ASSERT_EQ(chdir(old.c_str()), 0);
}

TEST(EnterDataDirectory, MissingDirectoryIsLoggedByName)
{
    EngineTest::TempDir root;
    const std::string old = Cwd();
    const std::string missing = root.Path() + "/absent";
    EXPECT_FALSE(EnterDataDirectory(missing));
    EXPECT_TRUE(Logger()->Contains("cannot enter " + missing));
    EXPECT_FALSE(EnterDataDirectory(""));
    EXPECT_EQ(Cwd(), old);
}

}  // namespace

TEST(RunOptions, NetworkRoles)
{
    EXPECT_FALSE(Parse({}).options.host);
    EXPECT_EQ(Parse({}).options.port, 3203);
    Parsed host = Parse({"--host", "--name", "Ada", "--port", "4000"});
    ASSERT_TRUE(host.ok);
    EXPECT_TRUE(host.options.host);
    EXPECT_EQ(host.options.playerName, "Ada");
    EXPECT_EQ(host.options.port, 4000);
    Parsed join = Parse({"--connect", "192.168.1.20", "--net-trace", "/tmp/t.txt"});
    EXPECT_EQ(join.options.connectAddress, "192.168.1.20");
    EXPECT_EQ(join.options.netTrace, "/tmp/t.txt");
    EXPECT_FALSE(Parse({"--host", "--connect", "a"}).ok);
    for (const char* port : {"0", "65536", "-1", "x"})
        EXPECT_FALSE(Parse({"--port", port}).ok) << port;
    EXPECT_EQ(Parse({"--port", "65535"}).options.port, 65535);
}

TEST(RunOptions, WindowScale)
{
    EXPECT_EQ(Parse({}).options.scale, 0);
    EXPECT_EQ(Parse({"--scale", "1"}).options.scale, 1);
    EXPECT_EQ(Parse({"--scale=3"}).options.scale, 3);
    EXPECT_EQ(Parse({"--scale", "8"}).options.scale, 8);
    for (const char* scale : {"0", "9", "-2", "2x", ""}) {
        EXPECT_FALSE(Parse({"--scale", scale}).ok) << scale;
    }
}
