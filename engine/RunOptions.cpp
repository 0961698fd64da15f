#include "engine/RunOptions.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/QuillLogger.h"
#include "engine/TextUtil.h"

namespace Quill {

namespace {
std::string CurrentDirectory()
{
    std::vector<char> buffer(PATH_MAX);
    if (!getcwd(buffer.data(), buffer.size())) {
        return std::string();
    }
    return buffer.data();
}

std::string MakeAbsolute(const std::string& path)
{
    if (path.empty() || path[0] == '/') {
        return path;
    }
    std::string cwd = CurrentDirectory();
    return cwd.empty() ? path : cwd + "/" + path;
}

// Canonical when the path exists, so that ".." pieces disappear.
std::string Canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) {
        return resolved;
    }
    return MakeAbsolute(path);
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return std::string();
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool HoldsSpriteDef(const std::string& dir)
{
    struct stat info {};
    std::string file = dir + "/sprite.def";
    return stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ExecutableDirectory(const std::string& executable)
{
    std::vector<char> buffer(PATH_MAX);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n > 0) {
        return DirectoryOf(std::string(buffer.data(), static_cast<size_t>(n)));
    }
    // Without /proc, argv[0] is only useful when it names a path.
    if (executable.find('/') == std::string::npos) {
        return std::string();
    }
    return DirectoryOf(Canonical(executable));
}

bool IsFlag(const std::string& name)
{
    static const char* const kFlags[] = {"--headless",    "--fixed-step", "--fast-clock", "--real-time",
                                         "--frame-stats", "--no-log",     "--host"};
    for (const char* flag : kFlags) {
        if (name == flag) {
            return true;
        }
    }
    return false;
}
}  // namespace

bool ParseRunOptions(int argc, char** argv, RunOptions& options, bool& showHelp, std::string& error)
{
    showHelp = false;
    RunOptions parsed = options;
    bool explicitFastClock = false;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i] ? argv[i] : "";
        std::string value;
        bool inlineValue = false;
        size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            showHelp = true;
            return true;
        }
        if (IsFlag(name)) {
            if (inlineValue) {
                error = name + " takes no value";
                return false;
            }
            if (name == "--headless") {
                parsed.headless = true;
            } else if (name == "--fixed-step") {
                parsed.fixedStep = true;
            } else if (name == "--fast-clock") {
                parsed.fastClock = true;
                explicitFastClock = true;
            } else if (name == "--real-time") {
                parsed.realTime = true;
            } else if (name == "--frame-stats") {
                parsed.frameStats = true;
            } else if (name == "--host") {
                parsed.host = true;
            } else {
                parsed.logFile.clear();
            }
            continue;
        }
        bool takesValue = name == "--frames" || name == "--input-script" || name == "--screenshot" ||
                          name == "--data" || name == "--log" || name == "--seed" || name == "--dump-world" ||
                          name == "--connect" || name == "--name" || name == "--port" ||
                          name == "--net-trace" || name == "--scale" || name == "--record" ||
                          name == "--replay" || name == "--summary" || name == "--frame-log";
        if (!takesValue) {
            error = "unknown option '" + name + "' (try --help)";
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= argc || !argv[i + 1]) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (value.empty()) {
            error = name + " needs a non-empty value";
            return false;
        }
        if (name == "--frames") {
            unsigned long frames = 0;
            if (!ParseDecimal(value, 0xFFFFFFFFul, frames)) {
                error = "--frames needs a whole number of frames, got '" + value + "'";
                return false;
            }
            parsed.frames = static_cast<unsigned>(frames);
        } else if (name == "--seed") {
            unsigned long seed = 0;
            if (!ParseDecimal(value, 0xFFFFFFFFul, seed)) {
                error = "--seed needs a whole number from 0 to 4294967295, got '" + value + "'";
                return false;
            }
            parsed.seed = static_cast<uint32_t>(seed);
        } else if (name == "--port") {
            unsigned long port = 0;
            if (!ParseDecimal(value, 65535ul, port) || port == 0) {
                error = "--port needs a TCP port from 1 to 65535, got '" + value + "'";
                return false;
            }
            parsed.port = static_cast<uint16_t>(port);
        } else if (name == "--scale") {
            unsigned long scale = 0;
            if (!ParseDecimal(value, 8ul, scale) || scale == 0) {
                error = "--scale needs a whole number from 1 to 8, got '" + value + "'";
                return false;
            }
            parsed.scale = static_cast<int>(scale);
        } else if (name == "--connect") {
            parsed.connectAddress = value;
        } else if (name == "--name") {
            parsed.playerName = value;
        } else if (name == "--net-trace") {
            parsed.netTrace = value;
        } else if (name == "--frame-log") {
            parsed.frameLog = value;
        } else if (name == "--record") {
            parsed.record = value;
        } else if (name == "--replay") {
            parsed.replay = value;
        } else if (name == "--summary") {
            parsed.summary = value;
        } else if (name == "--dump-world") {
            parsed.dumpWorld = value;
        } else if (name == "--input-script") {
            parsed.inputScript = value;
        } else if (name == "--screenshot") {
            parsed.screenshot = value;
        } else if (name == "--data") {
            parsed.dataDir = value;
        } else {
            parsed.logFile = value == "-" ? std::string() : value;
        }
    }
    if (parsed.realTime && explicitFastClock) {
        error = "--real-time and --fast-clock cannot be used together";
        return false;
    }
    if (parsed.host && !parsed.connectAddress.empty()) {
        error = "--host and --connect cannot be used together";
        return false;
    }
    if (!parsed.replay.empty() && (!parsed.record.empty() || !parsed.inputScript.empty() || parsed.host ||
                                   !parsed.connectAddress.empty() || parsed.realTime)) {
        error =
            "--replay takes keys, clock and peer from the recording: it cannot be used with --record, "
            "--input-script, --host, --connect or --real-time";
        return false;
    }
    if (!parsed.replay.empty()) {
        parsed.headless = true;
    }
    if (parsed.headless && !parsed.realTime) {
        parsed.fixedStep = true;
        parsed.fastClock = true;
    }
    parsed.inputScript = MakeAbsolute(parsed.inputScript);
    parsed.screenshot = MakeAbsolute(parsed.screenshot);
    parsed.logFile = MakeAbsolute(parsed.logFile);
    parsed.dumpWorld = MakeAbsolute(parsed.dumpWorld);
    parsed.record = MakeAbsolute(parsed.record);
    parsed.replay = MakeAbsolute(parsed.replay);
    parsed.summary = MakeAbsolute(parsed.summary);
    parsed.netTrace = MakeAbsolute(parsed.netTrace);
    parsed.frameLog = MakeAbsolute(parsed.frameLog);
    options = parsed;
    return true;
}

const char* RunOptionsHelp()
{
    return "Usage: karsk [options]\n"
           "Without --host, --connect or --headless a start-up window asks for the name\n"
           "and whether to host or join.\n"
           "  --headless            no window or sound device (SDL dummy drivers);\n"
           "                        implies --fixed-step and --fast-clock\n"
           "  --real-time           with --headless: keep the real clock and measured steps\n"
           "  --frames N            stop after N frames (0 runs until quit)\n"
           "  --fixed-step          every frame is exactly 1/60 s of game time\n"
           "  --fast-clock          never wait: the clock jumps to each frame's deadline\n"
           "  --input-script FILE   play keys from FILE instead of the keyboard\n"
           "  --screenshot FILE     save the last frame as a BMP when the run ends\n"
           "  --data DIR            game data directory (default: searched)\n"
           "  --log FILE            log file (default karsk.log; '-' for none)\n"
           "  --no-log              no log file\n"
           "  --frame-stats         log frame pacing and CPU use at the end\n"
           "  --frame-log FILE      write each frame's start and length (ms) to FILE as it runs\n"
           "  --seed N              seed the random numbers with N (0 to 4294967295);\n"
           "                        default: the clock, logged as 'random seed: N'\n"
           "  --dump-world FILE     write the world's entities to FILE when the run ends\n"
           "  --record FILE         record the run (seed, keys, clock, network input) to FILE\n"
           "  --replay FILE         play a recording back headless, alone (docs/recordings.md)\n"
           "  --summary FILE        write the world's end state (heroes, doors, enemies) to FILE\n"
           "  --host                host a game that a second player can join\n"
           "  --connect ADDR        join the game hosted at ADDR (address or host name)\n"
           "  --name NAME           your name as the other player sees it (at most 63 characters)\n"
           "  --port N              TCP port for --host and --connect (default 3203)\n"
           "  --net-trace FILE      write one line per network frame sent or received\n"
           "  --scale N             show the game N times larger (1 to 8; default: the\n"
           "                        largest that fits the desktop); F11 or Alt+Enter\n"
           "                        switches to fullscreen, F12 saves a screenshot\n"
           "  --help                this text\n";
}

uint32_t ChooseSeed(const RunOptions& options)
{
    if (options.seed) {
        return *options.seed;
    }
    using namespace std::chrono;
    // Wall clock rather than uptime, so that runs after a reboot differ too.
    return static_cast<uint32_t>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

std::string FindDataDirectoryIn(const std::string& requested, const std::string& executableDir)
{
    if (!requested.empty()) {
        return HoldsSpriteDef(requested) ? Canonical(requested) : std::string();
    }
    std::vector<std::string> candidates;
    const char* env = std::getenv("KARSK_DATA");
    if (env && *env) {
        candidates.push_back(env);
    }
    if (!executableDir.empty()) {
        candidates.push_back(executableDir + "/data");
        candidates.push_back(executableDir + "/../share/karsk");
    }
    candidates.push_back(".");
    for (const std::string& dir : candidates) {
        if (HoldsSpriteDef(dir)) {
            return Canonical(dir);
        }
    }
    return std::string();
}

std::string FindDataDirectory(const std::string& requested, const std::string& executable)
{
    return FindDataDirectoryIn(requested, ExecutableDirectory(executable));
}

bool EnterDataDirectory(const std::string& dir)
{
    if (dir.empty()) {
        Logger()->Log("EnterDataDirectory: no directory given");
        return false;
    }
    if (chdir(dir.c_str()) != 0) {
        Logger()->Log("EnterDataDirectory: cannot enter %s: %s", dir.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace Quill
