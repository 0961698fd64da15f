#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "engine/QuillLogger.h"
#include "engine/RunOptions.h"
#include "tests/support/TestSupport.h"

using namespace Quill;

namespace {

struct Parsed {
    bool ok = false;
    bool help = false;
    std::string error;
    RunOptions options;
};

Parsed Parse(std::vector<std::string> args, const RunOptions& start = RunOptions())
{
    args.insert(args.begin(), "karsk");
    std::vector<char*> argv;
    for (std::string& s : args) argv.push_back(&s[0]);
    argv.push_back(nullptr);
    Parsed p;
    p.options = start;
    p.ok = ParseRunOptions(int(args.size()), argv.data(), p.options, p.help, p.error);
    return p;
}

std::string Cwd()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

TEST(RunOptions, DefaultsAndHelp)
{
    Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(p.help);
    EXPECT_FALSE(p.options.headless || p.options.fixedStep || p.options.fastClock || p.options.host);
    EXPECT_EQ(p.options.frames, 0u);
    EXPECT_EQ(p.options.logFile, Cwd() + "/karsk.log");
    EXPECT_FALSE(p.options.seed.has_value());
    EXPECT_EQ(p.options.dumpWorld, "");
    EXPECT_EQ(p.options.port, 3203);
    EXPECT_EQ(p.options.scale, 0);

    p = Parse({"--frames", "3", "--help"});
    EXPECT_TRUE(p.ok && p.help);
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_NE(std::string(RunOptionsHelp()).find("--headless"), std::string::npos);
}

TEST(RunOptions, AcceptedOptionsSetTheirFields)
{
    Parsed p = Parse({"--headless", "--frames", "600"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.headless && p.options.fixedStep && p.options.fastClock);
    EXPECT_EQ(p.options.frames, 600u);

    p = Parse({"--headless", "--real-time", "--frame-stats"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.headless && p.options.realTime && p.options.frameStats);
    EXPECT_FALSE(p.options.fixedStep || p.options.fastClock);

    p = Parse({"--fixed-step", "--fast-clock", "--data", "/opt/karsk", "--frames=12", "--log=/tmp/x.log"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(p.options.headless);
    EXPECT_TRUE(p.options.fixedStep && p.options.fastClock);
    EXPECT_EQ(p.options.dataDir, "/opt/karsk");
    EXPECT_EQ(p.options.frames, 12u);
    EXPECT_EQ(p.options.logFile, "/tmp/x.log");
    EXPECT_EQ(Parse({"--log", "-"}).options.logFile, "");
    EXPECT_EQ(Parse({"--no-log"}).options.logFile, "");

    const std::pair<const char*, uint32_t> seeds[] = {
        {"--seed=0", 0u}, {"--seed=1", 1u}, {"--seed=4294967295", 4294967295u}, {"--seed=007", 7u}};
    for (const auto& [arg, seed] : seeds) {
        p = Parse({arg});
        ASSERT_TRUE(p.ok && p.options.seed.has_value()) << arg << ": " << p.error;
        EXPECT_EQ(*p.options.seed, seed) << arg;
        EXPECT_EQ(ChooseSeed(p.options), seed) << arg;
    }
    EXPECT_EQ(Parse({"--seed", "12", "--headless"}).options.seed.value_or(0), 12u);

    p = Parse({"--host", "--name", "Ada", "--port", "4000"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.host);
    EXPECT_EQ(p.options.playerName, "Ada");
    EXPECT_EQ(p.options.port, 4000);
    p = Parse({"--connect", "192.168.1.20", "--net-trace", "/tmp/t.txt", "--port", "65535"});
    EXPECT_EQ(p.options.connectAddress, "192.168.1.20");
    EXPECT_EQ(p.options.netTrace, "/tmp/t.txt");
    EXPECT_EQ(p.options.port, 65535);
    for (int scale : {1, 3, 8}) EXPECT_EQ(Parse({"--scale=" + std::to_string(scale)}).options.scale, scale);
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
    p = Parse({"--input-script", "/a/b.txt", "--screenshot", "/c/d.bmp", "--dump-world=/e/world dump.txt"});
    EXPECT_EQ(p.options.inputScript, "/a/b.txt");
    EXPECT_EQ(p.options.screenshot, "/c/d.bmp");
    EXPECT_EQ(p.options.dumpWorld, "/e/world dump.txt");
}

TEST(RunOptions, BadArgumentsAreRejectedWithAReasonAndChangeNothing)
{
    const struct {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"--headles"}, "unknown option '--headles'"},
        {{"level1"}, ""},
        {{"--headless=yes"}, "takes no value"},
        {{"--real-time", "--fast-clock"}, "--real-time"},
        {{"--frames"}, "--frames needs a value"},
        {{"--seed"}, "--seed needs a value"},
        {{"--dump-world"}, ""},
        {{"--dump-world="}, ""},
        {{"--host", "--connect", "a"}, ""},
        {{"--frames", "9", "--bogus"}, "--bogus"},
    };
    RunOptions start;
    start.frames = 7;
    for (const auto& c : cases) {
        Parsed p = Parse(c.args, start);
        EXPECT_FALSE(p.ok) << c.args[0];
        EXPECT_NE(p.error.find(c.reason), std::string::npos) << p.error;
        EXPECT_EQ(p.options.frames, 7u) << c.args[0];
    }
    for (const char* option : {"--frames", "--seed"}) {
        for (const char* value :
             {"abc", "-1", "+1", " 1", "0x10", "12x", "1.5", "4294967296", "99999999999", ""}) {
            Parsed p = Parse({option, value});
            EXPECT_FALSE(p.ok) << option << " " << value;
            EXPECT_NE(p.error.find(option), std::string::npos) << p.error;
        }
    }
    for (const char* port : {"0", "65536", "-1", "x"}) EXPECT_FALSE(Parse({"--port", port}).ok) << port;
    for (const char* scale : {"0", "9", "-2", "2x", ""}) EXPECT_FALSE(Parse({"--scale", scale}).ok) << scale;
}

// A data directory at `relative` under the root: one holding "sprite.def".
std::string MakeDataDir(const TempDir& root, const std::string& relative)
{
    std::string path = root.Path();
    for (size_t start = 0, slash = 0; slash != std::string::npos; start = slash + 1) {
        slash = relative.find('/', start);
        path += "/" + relative.substr(start, slash - start);
        mkdir(path.c_str(), 0755);
    }
    root.Write(relative + "/sprite.def", "# test\n");
    return path;
}

void SetDataEnv(const char* value)
{
    if (value)
        setenv("KARSK_DATA", value, 1);
    else
        unsetenv("KARSK_DATA");
}

TEST(FindDataDirectory, RequestedThenEnvironmentBesideTheProgramSharedAndWorkingDirectory)
{
    const char* saved = getenv("KARSK_DATA");
    const std::string savedValue = saved ? saved : "", oldCwd = Cwd();
    TempDir root;
    const std::string envData = MakeDataDir(root, "env");
    const std::string exeDir = root.Path() + "/prefix/bin";
    const std::string beside = MakeDataDir(root, "prefix/bin/data");
    const std::string shared = MakeDataDir(root, "prefix/share/karsk");
    const std::string cwdData = MakeDataDir(root, "cwd");
    ASSERT_EQ(chdir(cwdData.c_str()), 0);
    SetDataEnv(envData.c_str());
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), envData);
    EXPECT_EQ(FindDataDirectoryIn(beside, exeDir), beside);
    EXPECT_EQ(FindDataDirectoryIn(beside + "/../data", ""), beside);
    // No fallback to other places when the requested one is wrong.
    EXPECT_EQ(FindDataDirectoryIn(root.Path(), exeDir), "");
    SetDataEnv(root.Path().c_str());  // without the file: skipped
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), beside);
    SetDataEnv(nullptr);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), beside);
    ASSERT_EQ(remove((beside + "/sprite.def").c_str()), 0);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), shared);
    ASSERT_EQ(remove((shared + "/sprite.def").c_str()), 0);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), cwdData);
    EXPECT_EQ(FindDataDirectory(envData, "karsk"), envData);
    ASSERT_EQ(remove((cwdData + "/sprite.def").c_str()), 0);
    EXPECT_EQ(FindDataDirectoryIn("", exeDir), "");
    // The full search uses this program's own folder, which has no data.
    EXPECT_EQ(FindDataDirectory("", "/no/such/karsk"), "");
    EXPECT_EQ(chdir(oldCwd.c_str()), 0);
    SetDataEnv(saved ? savedValue.c_str() : nullptr);
}

TEST(EnterDataDirectory, ChangesTheWorkingDirectoryOrLogsWhyNot)
{
    TempDir root;
    const std::string data = MakeDataDir(root, "data");
    const std::string old = Cwd();
    const std::string missing = root.Path() + "/absent";
    EXPECT_FALSE(EnterDataDirectory(missing));
    EXPECT_TRUE(Logger()->Contains("cannot enter " + missing));
    EXPECT_FALSE(EnterDataDirectory(""));
    EXPECT_EQ(Cwd(), old);
    ASSERT_TRUE(EnterDataDirectory(data));
    EXPECT_EQ(Cwd(), data);
    ASSERT_EQ(chdir(old.c_str()), 0);
}

}  // namespace
