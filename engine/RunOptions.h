#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Quill {

// How the engine runs: on screen in real time, or headless for tests and bots.
struct RunOptions {
    bool headless = false;              // SDL's dummy video and audio drivers
    unsigned frames = 0;                // stop after this many frames; 0 runs until quit
    bool fixedStep = false;             // every frame lasts exactly 1/60 s of game time
    bool fastClock = false;             // no real waiting: the clock jumps to each deadline
    std::string inputScript;            // key script instead of the keyboard
    std::string screenshot;             // BMP of the last frame
    std::string dataDir;                // where the game's files are; empty searches
    std::string logFile = "karsk.log";  // empty: no log file
    bool realTime = false;              // keep the real clock and measured steps when headless
    bool frameStats = false;            // log frame pacing and CPU use when the run ends
    std::string frameLog;               // one line per frame as it starts: its time and interval
    std::optional<uint32_t> seed;       // the random generator's seed; none takes the clock
    std::string dumpWorld;              // the world's entities, written when the loop ends
    bool host = false;                  // listen for a second player
    std::string connectAddress;         // join the game hosted there (address or host name)
    std::string playerName;             // empty: the game's default
    uint16_t port = 3203;               // TCP port, for hosting and joining alike
    std::string netTrace;               // one line per network frame sent or received
    int scale = 0;                      // window size in frames (1..8); 0 fits the desktop
    std::string record;                 // write the run's seed, keys, clock and network input here
    std::string replay;                 // play a recording back headless instead
    std::string summary;                // the world's end state in words, written when the loop ends
};

// Parses the game's command line. On "--help" sets `showHelp`; on a bad
// argument returns false with the reason in `error`. --headless implies
// fixedStep and fastClock unless --real-time is given; --replay implies
// --headless. Relative paths of the script, screenshot, world dump, log,
// recording and summary are made absolute against the current directory,
// since the game later moves into its data directory.
bool ParseRunOptions(int argc, char** argv, RunOptions& options, bool& showHelp, std::string& error);
const char* RunOptionsHelp();
// The seed to use: the one given, else the wall clock in milliseconds.
uint32_t ChooseSeed(const RunOptions& options);

// Finds the directory that holds "sprite.def": the given one, $KARSK_DATA, the
// executable's "data" folder, "../share/karsk" beside it, or the current
// directory. Empty when none does. A requested directory is not searched
// past: if it lacks the file the result is empty. The result is absolute.
// The executable's folder comes from /proc/self/exe, else from `executable`.
std::string FindDataDirectory(const std::string& requested, const std::string& executable);
// The same search with the executable's folder given directly.
std::string FindDataDirectoryIn(const std::string& requested, const std::string& executableDir);
// Makes `dir` the working directory; false (logged) when it cannot.
bool EnterDataDirectory(const std::string& dir);

}  // namespace Quill
