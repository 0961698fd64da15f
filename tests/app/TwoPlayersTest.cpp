// Two copies of the game as separate processes, a host and a client, playing
// over the loopback interface with key scripts and fixed seeds. Each test
// stops both copies at the same moment and compares what each one saw.

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
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

constexpr int kSpawnBlueKrillop = 2;        // spawn type
constexpr float kBlueKrillopHealth = 2.0f;  // a new blue Krillop's health
constexpr float kTile = 32.0f;
// Message types on the wire.
constexpr int kMsgEntityState = 2;
constexpr int kMsgSpawn = 3;
constexpr int kMsgHit = 6;
constexpr int kMsgSwordPressed = 7;
constexpr int kMsgDoorOpened = 10;
// Heroes have uids 0 and 1, and what they hold shares them; everything the
// host creates numbers from 10.
constexpr uint32_t kFirstSharedUid = 10;

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

// A TCP port that nothing on the loopback interface uses right now: bound
// with port 0, read back and let go.
uint16_t FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

// One line of a network trace: "time_ms send|recv type length first_bytes".
struct TracedMessage {
    bool sent = false;
    int type = -1;
    std::vector<uint8_t> head;  // the payload's first bytes

    uint32_t U32(size_t offset) const
    {
        if (head.size() < offset + 4)
            return 0xFFFFFFFFu;
        uint32_t value = 0;
        for (size_t i = 4; i-- > 0;) value = value << 8 | head[offset + i];
        return value;
    }
    std::string Hex() const
    {
        std::string text;
        for (uint8_t b : head) text += "0123456789abcdef"[b >> 4], text += "0123456789abcdef"[b & 15];
        return text;
    }
};

std::vector<TracedMessage> ReadTrace(const std::string& path)
{
    std::vector<TracedMessage> messages;
    std::istringstream lines(ReadText(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string time, direction, bytes;
        TracedMessage m;
        unsigned length = 0;
        if (!(fields >> time >> direction >> m.type >> length))
            continue;
        m.sent = direction == "send";
        fields >> bytes;
        for (size_t i = 0; i + 1 < bytes.size() && bytes[i] != '.'; i += 2)
            m.head.push_back(uint8_t(std::strtoul(bytes.substr(i, 2).c_str(), nullptr, 16)));
        messages.push_back(m);
    }
    return messages;
}

std::vector<TracedMessage> Find(const std::vector<TracedMessage>& trace, bool sent, int type)
{
    std::vector<TracedMessage> found;
    for (const TracedMessage& m : trace)
        if (m.sent == sent && m.type == type)
            found.push_back(m);
    return found;
}

// A world dump: its entity lines, and its door lines as written.
struct DumpedEntity {
    uint32_t uid = 0;
    float x = 0.0f, y = 0.0f;
    int state = 0;
    float health = 0.0f;
    std::string name;
};

struct WorldDump {
    std::vector<DumpedEntity> entities;
    std::vector<std::string> doors;

    // Entities that both machines know by one uid: neither heroes nor what they hold.
    std::map<uint32_t, DumpedEntity> Shared() const
    {
        std::map<uint32_t, DumpedEntity> shared;
        for (const DumpedEntity& e : entities)
            if (e.uid >= kFirstSharedUid)
                shared[e.uid] = e;
        return shared;
    }
    const DumpedEntity* Hero(uint32_t uid) const
    {
        for (const DumpedEntity& e : entities)
            if (e.uid == uid && e.name == "Tavin")
                return &e;
        return nullptr;
    }
    bool HasDoor(const std::string& line) const
    {
        return std::find(doors.begin(), doors.end(), line) != doors.end();
    }
};

WorldDump ReadDump(const std::string& path)
{
    WorldDump dump;
    std::istringstream lines(ReadText(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.rfind("door\t", 0) == 0) {
            dump.doors.push_back(line);
            continue;
        }
        std::istringstream fields(line);
        DumpedEntity e;
        if (fields >> e.uid >> e.x >> e.y >> e.state >> e.health) {
            std::getline(fields >> std::ws, e.name);
            dump.entities.push_back(e);
        }
    }
    return dump;
}

std::string Describe(const DumpedEntity& e)
{
    char text[160];
    std::snprintf(text, sizeof text, "%u %s at (%.2f, %.2f), health %.2f", unsigned(e.uid), e.name.c_str(),
                  double(e.x), double(e.y), double(e.health));
    return text;
}

class TwoPlayers : public ::testing::Test {
protected:
    // One running copy of the game and the files it writes.
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
    }

    void TearDown() override
    {
        for (Copy* copy : {&host, &client}) {
            if (copy->pid > 0 && !copy->ended) {
                kill(copy->pid, SIGKILL);
                waitpid(copy->pid, &copy->status, 0);
                copy->ended = true;
            }
        }
        if (HasFailure()) {
            std::printf("the two copies' logs, traces and world dumps are kept in %s\n", dir.c_str());
            return;
        }
        std::filesystem::remove_all(dir);
    }

    std::string PathOf(const Copy& copy, const std::string& extension) const
    {
        return dir + "/" + copy.role + "." + extension;
    }

    // Runs the game headless in real time, so that the two copies' frames
    // keep pace with each other, but with every frame 1/60 s of game time,
    // so that a script's frames mean the same steps on any machine. The
    // client joins the host's process group: one signal stops both.
    bool Launch(Copy& copy, uint16_t port, unsigned seed, const std::string& script, unsigned frames)
    {
        std::vector<std::string> args = {KARSK_BINARY,   "--headless",
                                         "--real-time",  "--fixed-step",
                                         "--data",       KARSK_TEST_DATA_DIR,
                                         "--frames",     std::to_string(frames),
                                         "--seed",       std::to_string(seed),
                                         "--port",       std::to_string(port),
                                         "--name",       copy.role == "host" ? "Hostess" : "Guest",
                                         "--log",        PathOf(copy, "log"),
                                         "--net-trace",  PathOf(copy, "trace"),
                                         "--dump-world", PathOf(copy, "tsv")};
        if (!script.empty()) {
            args.push_back("--input-script");
            args.push_back(std::string(KARSK_TWO_PLAYER_SCRIPTS) + "/" + script);
        }
        if (copy.role == "host") {
            args.push_back("--host");
        } else {
            args.push_back("--connect");
            args.push_back("127.0.0.1");
        }
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        const std::string output = PathOf(copy, "out");
        const pid_t group = copy.role == "host" ? 0 : host.pid;

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

    // Notes whether the copy has ended, without waiting for it.
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

    // Starts the host on a free port (another one if that port was taken in
    // the meantime), then the client, and waits until they know each other.
    void StartGame(unsigned hostSeed, const std::string& hostScript, unsigned clientSeed,
                   const std::string& clientScript, unsigned frames)
    {
        host.role = "host";
        client.role = "client";
        uint16_t port = 0;
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = FreePort();
            ASSERT_NE(port, 0) << "no free port on the loopback interface";
            ASSERT_TRUE(Launch(host, port, hostSeed, hostScript, frames));
            if (WaitUntil([&] { return FileContains(PathOf(host, "log"), "hosting on port"); }, 60.0))
                break;
            ASSERT_TRUE(Ended(host)) << "the host did not start listening:\n"
                                     << ReadText(PathOf(host, "log"));
            ASSERT_TRUE(FileContains(PathOf(host, "log"), "Cannot host a game on port"))
                << "the host ended before listening:\n"
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

// The client walks three screens east while the host stands at the start.
// The host fills the screen the client enters, the client's sword hurts the
// Krillop there through the host's copy of the client's hero, and the client
// sees the host's enemies under the host's uids, where the host has them.
TEST_F(TwoPlayers, TheClientsSwordHurtsAnEnemyOfTheHost)
{
    ASSERT_NO_FATAL_FAILURE(StartGame(57, "", 7, "client-strikes-krillop.keys", 3000));

    // The host spawns the Krillop (uid in the record's first four bytes,
    // spawn type in the next four) and, when the client's sword finds it,
    // sends the hit.
    uint32_t krillop = 0xFFFFFFFFu;
    auto hitSent = [&] {
        for (const TracedMessage& m : Find(ReadTrace(PathOf(host, "trace")), true, kMsgSpawn))
            if (int(m.U32(4)) == kSpawnBlueKrillop)
                krillop = m.U32(0);
        for (const TracedMessage& m : Find(ReadTrace(PathOf(host, "trace")), true, kMsgHit))
            if (m.U32(0) == krillop)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitUntil(hitSent, 120.0))
        << "the host sent no hit on a blue Krillop:\n"
        << ReadText(PathOf(host, "log")) << ReadText(PathOf(client, "log"));
    auto hitArrived = [&] {
        for (const TracedMessage& m : Find(ReadTrace(PathOf(client, "trace")), false, kMsgHit))
            if (m.U32(0) == krillop)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitUntil(hitArrived, 30.0)) << "the client did not get the hit";
    // Half a second for the knock-back and the flash to pass; then the two
    // stop as soon as the client has taken in the next state record of the
    // Krillop (a count, then the record, whose first field is the uid).
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    auto recordsArrived = [&] {
        size_t n = 0;
        for (const TracedMessage& m : Find(ReadTrace(PathOf(client, "trace")), false, kMsgEntityState))
            n += m.U32(4) == krillop ? 1 : 0;
        return n;
    };
    const size_t recordsBefore = recordsArrived();
    ASSERT_TRUE(WaitUntil([&] { return recordsArrived() > recordsBefore; }, 30.0))
        << "the host sends no more state records of the Krillop";
    ASSERT_NO_FATAL_FAILURE(StopBoth());

    // The sword press went from the client to the host.
    EXPECT_FALSE(Find(ReadTrace(PathOf(client, "trace")), true, kMsgSwordPressed).empty());
    EXPECT_FALSE(Find(ReadTrace(PathOf(host, "trace")), false, kMsgSwordPressed).empty());

    const WorldDump hostWorld = ReadDump(PathOf(host, "tsv"));
    const WorldDump clientWorld = ReadDump(PathOf(client, "tsv"));
    ASSERT_FALSE(hostWorld.entities.empty()) << ReadText(PathOf(host, "log"));
    ASSERT_FALSE(clientWorld.entities.empty()) << ReadText(PathOf(client, "log"));

    // Each hero is where its own machine has him, give or take the last update.
    for (uint32_t uid : {0u, 1u}) {
        const DumpedEntity* onHost = hostWorld.Hero(uid);
        const DumpedEntity* onClient = clientWorld.Hero(uid);
        ASSERT_TRUE(onHost && onClient) << "hero " << uid << " is missing";
        EXPECT_LE(std::fabs(onHost->x - onClient->x), kTile)
            << Describe(*onHost) << " / " << Describe(*onClient);
        EXPECT_LE(std::fabs(onHost->y - onClient->y), kTile)
            << Describe(*onHost) << " / " << Describe(*onClient);
    }
    // The client stands on screen 10,7.
    const DumpedEntity* guest = clientWorld.Hero(1);
    EXPECT_EQ(int(std::floor((guest->x + 16.0f) / kTile / 16.0f)), 10) << Describe(*guest);
    EXPECT_EQ(int(std::floor((guest->y + 16.0f) / kTile / 11.0f)), 7) << Describe(*guest);

    // The client knows exactly the host's enemies, by the host's uids, each
    // within a tile of where the host has it.
    const std::map<uint32_t, DumpedEntity> onHost = hostWorld.Shared();
    const std::map<uint32_t, DumpedEntity> onClient = clientWorld.Shared();
    ASSERT_EQ(onHost.size(), onClient.size())
        << ReadText(PathOf(host, "tsv")) << ReadText(PathOf(client, "tsv"));
    for (const auto& [uid, seen] : onClient) {
        ASSERT_EQ(onHost.count(uid), 1u)
            << "the client has " << Describe(seen) << ", the host has no uid " << uid;
        const DumpedEntity& real = onHost.at(uid);
        EXPECT_EQ(seen.name, real.name);
        EXPECT_LE(std::fabs(seen.x - real.x), kTile) << Describe(real) << " / " << Describe(seen);
        EXPECT_LE(std::fabs(seen.y - real.y), kTile) << Describe(real) << " / " << Describe(seen);
        EXPECT_FLOAT_EQ(seen.health, real.health) << Describe(real) << " / " << Describe(seen);
    }

    // The struck Krillop lives on with one of its two hearts, on both machines.
    ASSERT_EQ(onHost.count(krillop), 1u) << "the struck Krillop is gone on the host";
    EXPECT_EQ(onHost.at(krillop).name, "Blue Krillop");
    EXPECT_FLOAT_EQ(onHost.at(krillop).health, kBlueKrillopHealth - 1.0f) << Describe(onHost.at(krillop));
    ASSERT_EQ(onClient.count(krillop), 1u) << "the struck Krillop is gone on the client";
    EXPECT_FLOAT_EQ(onClient.at(krillop).health, kBlueKrillopHealth - 1.0f) << Describe(onClient.at(krillop));
}

// The host walks to the crypt and opens its locked door with a key while the
// client stays at the start: the door is open in the client's world too.
TEST_F(TwoPlayers, ADoorTheHostUnlocksIsOpenForTheClient)
{
    ASSERT_NO_FATAL_FAILURE(StartGame(1, "host-unlocks-crypt.keys", 7, "", 4000));

    // Door 1 (north) of screen (12, 15): int32 1, then the screen as two floats.
    const std::string northDoorOf12_15 = "010000000000404100007041";
    auto doorArrived = [&] {
        for (const TracedMessage& m : Find(ReadTrace(PathOf(client, "trace")), false, kMsgDoorOpened))
            if (m.Hex() == northDoorOf12_15)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitUntil(doorArrived, 180.0)) << "the client heard of no door opened on 12,15:\n"
                                               << ReadText(PathOf(host, "log"));
    ASSERT_NO_FATAL_FAILURE(StopBoth());

    bool sent = false;
    for (const TracedMessage& m : Find(ReadTrace(PathOf(host, "trace")), true, kMsgDoorOpened))
        sent = sent || m.Hex() == northDoorOf12_15;
    EXPECT_TRUE(sent) << "the host did not send the door it opened";

    const WorldDump hostWorld = ReadDump(PathOf(host, "tsv"));
    const WorldDump clientWorld = ReadDump(PathOf(client, "tsv"));
    for (const WorldDump* world : {&hostWorld, &clientWorld}) {
        const char* whose = world == &hostWorld ? "host" : "client";
        // The doorway between 12,15 and 12,14 is open from both sides...
        EXPECT_TRUE(world->HasDoor("door\t12\t15\tnorth\topen")) << whose;
        EXPECT_TRUE(world->HasDoor("door\t12\t14\tsouth\topen")) << whose;
        // ...while the world's other locked doorway stays shut.
        EXPECT_TRUE(world->HasDoor("door\t7\t13\tsouth\tlocked")) << whose;
        EXPECT_TRUE(world->HasDoor("door\t7\t14\tnorth\tlocked")) << whose;
    }
    // Every door is in the same state on both machines.
    EXPECT_FALSE(hostWorld.doors.empty());
    EXPECT_EQ(hostWorld.doors, clientWorld.doors);

    // The enemies the host put in the crypt have their copies on the client,
    // under the host's uids. (Enemies on the host's own screen are not
    // streamed to a client elsewhere, so their places are not compared.)
    const std::map<uint32_t, DumpedEntity> onHost = hostWorld.Shared();
    const std::map<uint32_t, DumpedEntity> onClient = clientWorld.Shared();
    EXPECT_FALSE(onClient.empty()) << ReadText(PathOf(client, "tsv"));
    for (const auto& [uid, seen] : onClient) {
        ASSERT_EQ(onHost.count(uid), 1u)
            << "the client has " << Describe(seen) << ", the host has no uid " << uid;
        EXPECT_EQ(seen.name, onHost.at(uid).name);
    }
}

}  // namespace
