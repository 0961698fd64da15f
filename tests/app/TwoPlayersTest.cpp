// Two copies of the game as separate processes, a host and a client, playing
// over the loopback interface with key scripts and fixed seeds. Each test
// stops both copies at the same moment and compares what each one saw.
// (Heroes' places and the shared screen's enemies are compared by the soak run.)

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

// Message types on the wire.
constexpr int kMsgEntityState = 2;
constexpr int kMsgSpawn = 3;
constexpr int kMsgHit = 6;
constexpr int kMsgSwordPressed = 7;
constexpr int kMsgDoorOpened = 10;

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileContains(const std::string& path, const std::string& text)
{
    return ReadText(path).find(text) != std::string::npos;
}

// A TCP port that nothing on the loopback interface uses right now.
uint16_t FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    uint16_t port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

// The payloads' first bytes, in hex, of one direction and type of a network
// trace ("time_ms send|recv type length first_bytes" a line).
std::vector<std::string> Traced(const std::string& path, bool sent, int type)
{
    std::vector<std::string> found;
    std::istringstream lines(ReadText(path));
    std::string line, time, direction, bytes;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int t = -1;
        unsigned length = 0;
        bytes.clear();
        if (line[0] != '#' && fields >> time >> direction >> t >> length && t == type &&
            (direction == "send") == sent) {
            fields >> bytes;
            found.push_back(bytes.substr(0, bytes.find('.')));
        }
    }
    return found;
}

// A little-endian 32-bit field at byte `offset` of a traced payload.
uint32_t U32(const std::string& hex, size_t offset)
{
    if (hex.size() < 2 * (offset + 4))
        return 0xFFFFFFFFu;
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;)
        value = value << 8 | uint32_t(std::stoul(hex.substr(2 * (offset + i), 2), nullptr, 16));
    return value;
}

// The lines of a world dump that begin with `prefix`: an entity's
// "uid\tx\ty\tstate\thealth\tname", or "door\t..." lines.
std::vector<std::string> DumpLines(const std::string& path, const std::string& prefix)
{
    std::vector<std::string> found;
    std::istringstream lines(ReadText(path));
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

class TwoPlayers : public ::testing::Test {
protected:
    struct Copy {
        std::string role;  // "host" or "client"
        pid_t pid = -1;
        bool ended = false;
        int status = 0;
    };

    void SetUp() override
    {
        std::string pattern = TempPath("two_players") + "_XXXXXX";
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr) << pattern;
        dir = pattern;
        host.role = "host";
        client.role = "client";
    }

    void TearDown() override
    {
        for (Copy* copy : {&host, &client}) {
            if (copy->pid > 0 && !copy->ended) {
                kill(copy->pid, SIGKILL);
                waitpid(copy->pid, &copy->status, 0);
            }
        }
        if (HasFailure())
            std::printf("the two copies' logs, traces and world dumps are kept in %s\n", dir.c_str());
        else
            std::filesystem::remove_all(dir);
    }

    std::string PathOf(const Copy& copy, const std::string& extension) const
    {
        return dir + "/" + copy.role + "." + extension;
    }

    // Headless in real time, so that the two copies keep pace, but with every
    // frame 1/60 s of game time, so that a script's frames mean the same steps
    // on any machine. The client joins the host's process group: one signal
    // stops both.
    bool Launch(Copy& copy, uint16_t port, unsigned seed, const std::string& script, unsigned frames)
    {
        const bool hosting = copy.role == "host";
        std::vector<std::string> args = {KARSK_BINARY,   "--headless",
                                         "--real-time",  "--fixed-step",
                                         "--data",       KARSK_TEST_DATA_DIR,
                                         "--frames",     std::to_string(frames),
                                         "--seed",       std::to_string(seed),
                                         "--port",       std::to_string(port),
                                         "--name",       hosting ? "Hostess" : "Guest",
                                         "--log",        PathOf(copy, "log"),
                                         "--net-trace",  PathOf(copy, "trace"),
                                         "--dump-world", PathOf(copy, "tsv")};
        if (!script.empty())
            args.insert(args.end(), {"--input-script", std::string(KARSK_TWO_PLAYER_SCRIPTS) + "/" + script});
        if (hosting)
            args.push_back("--host");
        else
            args.insert(args.end(), {"--connect", "127.0.0.1"});
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        const std::string output = PathOf(copy, "out");
        const pid_t group = hosting ? 0 : host.pid;

        copy.ended = false;
        copy.pid = fork();
        if (copy.pid == 0) {
            setpgid(0, group);
            const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd >= 0) {
                dup2(fd, STDOUT_FILENO);
                dup2(fd, STDERR_FILENO);
                close(fd);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
        if (copy.pid > 0)
            setpgid(copy.pid, group == 0 ? copy.pid : group);
        return copy.pid > 0;
    }

    bool Ended(Copy& copy)
    {
        if (!copy.ended && copy.pid > 0 && waitpid(copy.pid, &copy.status, WNOHANG) == copy.pid)
            copy.ended = true;
        return copy.ended;
    }

    // Polls until `done` holds; false when a copy ends first or the time is up.
    bool WaitUntil(const std::function<bool()>& done, double seconds)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            if (done())
                return true;
            if (Ended(host) || (client.pid > 0 && Ended(client)))
                return done();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return done();
    }

    // The host on a free port (another one if that port was taken in the
    // meantime), then the client; returns once they know each other.
    void StartGame(unsigned hostSeed, const std::string& hostScript, unsigned clientSeed,
                   const std::string& clientScript, unsigned frames)
    {
        uint16_t port = 0;
        for (int attempt = 0; attempt < 5 && port == 0; ++attempt) {
            port = FreePort();
            ASSERT_NE(port, 0) << "no free port on the loopback interface";
            ASSERT_TRUE(Launch(host, port, hostSeed, hostScript, frames));
            if (WaitUntil([&] { return FileContains(PathOf(host, "log"), "hosting on port"); }, 60.0))
                break;
            ASSERT_TRUE(Ended(host) && FileContains(PathOf(host, "log"), "Cannot host a game on port"))
                << "the host did not start listening:\n"
                << ReadText(PathOf(host, "log")) << ReadText(PathOf(host, "out"));
            port = 0;
        }
        ASSERT_NE(port, 0) << "every port tried was taken";
        ASSERT_TRUE(Launch(client, port, clientSeed, clientScript, frames));
        ASSERT_TRUE(WaitUntil(
            [&] {
                return FileContains(PathOf(client, "log"), "joined Hostess") &&
                       FileContains(PathOf(host, "log"), "Guest joined");
            },
            60.0))
            << "the client did not join:\n"
            << ReadText(PathOf(client, "log")) << ReadText(PathOf(host, "log"));
    }

    // SIGTERM reaches the game as SDL's quit event: both copies end their
    // frame loops, write their world dumps and close the connection. Sent to
    // both at once, so that each dump is written before that copy can notice
    // the other leave (which would clear the peer's screen from its world).
    void StopBoth()
    {
        ASSERT_EQ(kill(-host.pid, SIGTERM), 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;) {
            const bool hostEnded = Ended(host), clientEnded = Ended(client);  // both polled
            if ((hostEnded && clientEnded) || std::chrono::steady_clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(host.ended && client.ended) << "the copies did not stop";
        for (Copy* copy : {&host, &client}) {
            EXPECT_TRUE(WIFEXITED(copy->status) && WEXITSTATUS(copy->status) == 0)
                << copy->role << " ended with status " << copy->status << ":\n"
                << ReadText(PathOf(*copy, "out"));
            EXPECT_FALSE(FileContains(PathOf(*copy, "log"), "Connection Dropped"))
                << "the " << copy->role << " saw the other copy leave before it wrote its world";
        }
    }

    std::string dir;
    Copy host, client;
};

// The client walks three screens east while the host stands at the start. The
// host fills the screen the client enters, and the client's sword hurts the
// blue Krillop there through the host's copy of the client's hero.
TEST_F(TwoPlayers, TheClientsSwordHurtsAnEnemyOfTheHost)
{
    ASSERT_NO_FATAL_FAILURE(StartGame(57, "", 7, "client-strikes-krillop.keys", 3000));

    // A spawn record holds the uid, then the spawn type (2: a blue Krillop).
    uint32_t krillop = 0xFFFFFFFFu;
    auto hitIn = [&](const Copy& copy, bool sent) {
        for (const std::string& m : Traced(PathOf(host, "trace"), true, kMsgSpawn))
            if (U32(m, 4) == 2)
                krillop = U32(m, 0);
        for (const std::string& m : Traced(PathOf(copy, "trace"), sent, kMsgHit))
            if (U32(m, 0) == krillop)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitUntil([&] { return hitIn(host, true); }, 120.0))
        << "the host sent no hit on a blue Krillop:\n"
        << ReadText(PathOf(host, "log")) << ReadText(PathOf(client, "log"));
    ASSERT_TRUE(WaitUntil([&] { return hitIn(client, false); }, 30.0)) << "the client did not get the hit";
    // Half a second for the knock-back and the flash to pass; then both stop as
    // soon as the client has taken in the next state record of the Krillop (a
    // count, then the record, whose first field is the uid).
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    auto records = [&] {
        size_t n = 0;
        for (const std::string& m : Traced(PathOf(client, "trace"), false, kMsgEntityState))
            n += U32(m, 4) == krillop;
        return n;
    };
    const size_t recordsBefore = records();
    ASSERT_TRUE(WaitUntil([&] { return records() > recordsBefore; }, 30.0))
        << "the host sends no more state records of the Krillop";
    ASSERT_NO_FATAL_FAILURE(StopBoth());

    EXPECT_FALSE(Traced(PathOf(client, "trace"), true, kMsgSwordPressed).empty());
    EXPECT_FALSE(Traced(PathOf(host, "trace"), false, kMsgSwordPressed).empty());
    // The struck Krillop lives on with one of its two hearts, on both machines.
    for (const Copy* copy : {&host, &client}) {
        const std::vector<std::string> lines =
            DumpLines(PathOf(*copy, "tsv"), std::to_string(krillop) + "\t");
        ASSERT_EQ(lines.size(), 1u) << "the Krillop is gone on the " << copy->role;
        std::istringstream line(lines[0]);
        std::string field, name;
        float health = 0.0f;
        line >> field >> field >> field >> field >> health;
        std::getline(line >> std::ws, name);
        EXPECT_EQ(name, "Blue Krillop") << copy->role;
        EXPECT_FLOAT_EQ(health, 1.0f) << copy->role;
    }
}

// The host walks to the crypt and opens its locked door with a key while the
// client stays at the start: the door is open in the client's world too.
TEST_F(TwoPlayers, ADoorTheHostUnlocksIsOpenForTheClient)
{
    ASSERT_NO_FATAL_FAILURE(StartGame(1, "host-unlocks-crypt.keys", 7, "", 4000));

    // Door 1 (north) of screen (12, 15): int32 1, then the screen as two floats.
    const std::string northDoorOf12_15 = "010000000000404100007041";
    auto doorIn = [&](const Copy& copy, bool sent) {
        for (const std::string& m : Traced(PathOf(copy, "trace"), sent, kMsgDoorOpened))
            if (m == northDoorOf12_15)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitUntil([&] { return doorIn(client, false); }, 180.0))
        << "the client heard of no door opened on 12,15:\n"
        << ReadText(PathOf(host, "log"));
    ASSERT_NO_FATAL_FAILURE(StopBoth());
    EXPECT_TRUE(doorIn(host, true)) << "the host did not send the door it opened";

    const std::vector<std::string> doors = DumpLines(PathOf(host, "tsv"), "door\t");
    // The doorway between 12,15 and 12,14 is open from both sides, while the
    // world's other locked doorway stays shut.
    for (const char* line : {"door\t12\t15\tnorth\topen", "door\t12\t14\tsouth\topen",
                             "door\t7\t13\tsouth\tlocked", "door\t7\t14\tnorth\tlocked"})
        EXPECT_NE(std::find(doors.begin(), doors.end(), line), doors.end()) << line;
    EXPECT_EQ(DumpLines(PathOf(client, "tsv"), "door\t"), doors);
}

}  // namespace
