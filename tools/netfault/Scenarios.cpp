#include "tools/netfault/Scenarios.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "net/NetSession.h"
#include "tools/netfault/WireClient.h"

namespace netfault {

const char* const kGoodName = "good-player";

namespace {

constexpr char kFaultName[] = "netfault";
constexpr int kConnectMs = 2000;
constexpr int kLoginMs = 3000;

std::string Seconds(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", ms / 1000.0);
    return text;
}

// A joining player's hero update: its place (tile 118, 83), facing down,
// with three hearts.
std::vector<uint8_t> HeroUpdate()
{
    std::vector<uint8_t> payload(16);
    const float fields[] = {118.0f * 32.0f, 83.0f * 32.0f};
    const int32_t direction = 1;
    const float health = 3.0f;
    std::memcpy(payload.data(), fields, 8);
    std::memcpy(payload.data() + 8, &direction, 4);
    std::memcpy(payload.data() + 12, &health, 4);
    return payload;
}

bool ConnectAndLogIn(const Setup& setup, WireClient& client, std::string& note, const char* name = kFaultName)
{
    if (!client.Connect(setup.port, kConnectMs)) {
        note = "cannot connect";
        return false;
    }
    if (!client.LogIn(setup.password, name, kLoginMs)) {
        note = "the right password was not accepted";
        return false;
    }
    return true;
}

// Sends `bytes` one a second until the host closes the link: true when it
// did within `limitMs`, with the time it took in the note.
bool TrickleUntilClosed(WireClient& client, const std::vector<uint8_t>& bytes, double limitMs,
                        std::string& note)
{
    const double start = NowMs();
    for (size_t i = 0; NowMs() - start < limitMs; i = (i + 1) % bytes.size()) {
        if (!client.Send({bytes[i]}) || client.WaitClosed(1000)) {
            note = "closed after " + Seconds(NowMs() - start);
            return true;
        }
    }
    note = "still open after " + Seconds(limitMs);
    return false;
}

bool NeverLogsIn(const Setup& setup, std::string& note)
{
    WireClient client;
    if (!client.Connect(setup.port, kConnectMs))
        return note = "cannot connect", false;
    const double start = NowMs();
    const bool closed = client.WaitClosed(9000);
    note = (closed ? "closed after " : "still open after ") + Seconds(NowMs() - start);
    return closed;
}

bool WrongPassword(const Setup& setup, std::string& note)
{
    WireClient client;
    if (!client.Connect(setup.port, kConnectMs))
        return note = "cannot connect", false;
    bool refused = false;
    if (client.LogIn("0000000000000000000000000000000", kFaultName, kLoginMs, &refused))
        return note = "a wrong password was accepted", false;
    const bool closed = client.WaitClosed(2000);
    note = refused ? (closed ? "refused, closed" : "refused, left open") : "no refusal came";
    return refused && closed;
}

bool ByteASecondBeforeLogin(const Setup& setup, std::string& note)
{
    WireClient client;
    if (!client.Connect(setup.port, kConnectMs))
        return note = "cannot connect", false;
    return TrickleUntilClosed(
        client,
        WireClient::Frame(NetSession::MSG_LOGIN, WireClient::LoginPayload(setup.password, kFaultName)),
        12000.0, note);
}

bool ByteASecondAfterLogin(const Setup& setup, std::string& note)
{
    WireClient client;
    if (!ConnectAndLogIn(setup, client, note))
        return false;
    // Empty frames of a type the game ignores: each one whole after 8 s, so
    // only a deadline on unfinished frames ends this.
    return TrickleUntilClosed(client, WireClient::Frame(99, {}), 15000.0, note);
}

bool HugeFrame(const Setup& setup, std::string& note)
{
    WireClient client;
    if (!ConnectAndLogIn(setup, client, note))
        return false;
    std::vector<uint8_t> header = WireClient::Frame(0, {});
    const uint32_t gigabyte = 1u << 30;
    std::memcpy(header.data() + 4, &gigabyte, 4);
    header.resize(header.size() + 4096, 0x41);
    client.Send(header);
    const bool closed = client.WaitClosed(3000);
    note = closed ? "closed" : "still open";
    return closed;
}

bool RandomBytes(const Setup& setup, std::string& note)
{
    WireClient client;
    if (!ConnectAndLogIn(setup, client, note))
        return false;
    std::mt19937 random(setup.seed);
    auto byte = [&random] { return uint8_t(random() & 0xff); };
    // First well-formed frames of random types and contents, which reach the
    // game's handlers, then bytes with no form at all.
    int frames = 0;
    const double start = NowMs();
    while (NowMs() - start < 2000.0 && client.IsOpen()) {
        for (int i = 0; i < 20; ++i, ++frames) {
            std::vector<uint8_t> payload(random() % 64);
            for (uint8_t& b : payload) b = byte();
            if (!client.SendFrame(int32_t(random() % 16), payload))
                return note = "closed after " + std::to_string(frames) + " random frames", false;
        }
        // What the host sends is read, as a player would.
        if (client.WaitClosed(10))
            return note = "closed after " + std::to_string(frames) + " well-formed frames", false;
    }
    std::vector<uint8_t> noise(4096);
    for (uint8_t& b : noise) b = byte();
    client.Send(noise);
    const bool closed = client.WaitClosed(3000);
    note = std::to_string(frames) + " random frames, then noise: " + (closed ? "closed" : "still open");
    return closed;
}

// A player whose machine vanishes (a firewall drop): a child process logs in
// and is stopped, so that its socket stays open and silent.
bool Vanishes(const Setup& setup, std::string& note)
{
    int ready[2];
    if (pipe(ready) != 0)
        return note = "no pipe", false;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return note = "cannot fork", false;
    if (child == 0) {
        // Gone with the tool, should the tool be stopped first.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(ready[0]);
        WireClient client;
        std::string ignored;
        const char ok = ConnectAndLogIn(setup, client, ignored) ? 1 : 0;
        if (write(ready[1], &ok, 1) != 1 || !ok)
            _exit(1);
        for (;;) pause();
    }
    close(ready[1]);
    char ok = 0;
    const bool loggedIn = read(ready[0], &ok, 1) == 1 && ok == 1;
    close(ready[0]);
    bool dropped = false;
    if (loggedIn) {
        const long mark = setup.host->LogMark();
        kill(child, SIGSTOP);
        const double stopped = NowMs();
        dropped = setup.host->WaitForLine(mark, "for 10 s", 15000);
        note = (dropped ? "dropped " : "not dropped after ") + Seconds(NowMs() - stopped) + " after the stop";
    } else {
        note = "the vanishing player could not log in";
    }
    kill(child, SIGCONT);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return dropped;
}

bool Reconnects(const Setup& setup, std::string& note)
{
    for (int i = 0; i < 20; ++i) {
        WireClient client;
        if (!ConnectAndLogIn(setup, client, note, "hopper"))
            return note = "login " + std::to_string(i + 1) + " of 20: " + note, false;
    }
    note = "20 logins";
    return true;
}

// Valid messages at a rate no game sends: the hero stands on a screen with
// enemies and reports entering it again and again.
bool ScreenFlood(const Setup& setup, std::string& note)
{
    WireClient client;
    if (!ConnectAndLogIn(setup, client, note))
        return false;
    const float screen[2] = {6.0f, 7.0f};
    std::vector<uint8_t> entered(8);
    std::memcpy(entered.data(), screen, 8);
    std::vector<uint8_t> update = HeroUpdate();
    const float place[2] = {(6 * 16 + 8) * 32.0f, (7 * 11 + 5) * 32.0f};
    std::memcpy(update.data(), place, 8);
    int sent = 0;
    const double start = NowMs();
    while (NowMs() - start < 3000.0) {
        client.SendFrame(0, update);
        for (int i = 0; i < 20; ++i, ++sent) client.SendFrame(1, entered);
        if (client.WaitClosed(10))
            return note = "closed after " + std::to_string(sent) + " screen reports", true;
    }
    note = std::to_string(sent) + " screen reports";
    return true;
}

bool Baseline(const Setup&, std::string& note)
{
    SleepMs(2000.0);
    note = "2 s without a client";
    return true;
}

}  // namespace

bool GoodClientAccepted(const Setup& setup, std::string& note)
{
    WireClient client;
    // The host may still be letting go of the previous player.
    if (!client.Connect(setup.port, kConnectMs) || !client.LogIn(setup.password, kGoodName, 8000))
        return note = "login failed", false;
    if (!client.SendFrame(0, HeroUpdate()))
        return note = "closed after the login", false;
    int32_t type = -1;
    std::vector<uint8_t> payload;
    const double deadline = NowMs() + 2000.0;
    while (NowMs() < deadline && client.ReadFrame(type, payload, 200))
        if (type == 0)
            return true;
    note = "no hero update from the host";
    return false;
}

const std::vector<Scenario>& AllScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"baseline", "no fault: the host's own pace", "", 0, Baseline},
        {"never-logs-in", "connects and sends nothing", "did not log in within 5 s", 1, NeverLogsIn},
        {"wrong-password", "logs in with a wrong password", "offered the wrong password", 1, WrongPassword},
        {"byte-a-second", "sends its login one byte a second", "did not log in within 5 s (", 1,
         ByteASecondBeforeLogin},
        {"trickle-frames", "logs in, then sends empty frames one byte a second",
         "began a frame more than 5 s ago", 1, ByteASecondAfterLogin},
        {"huge-frame", "logs in, then announces a frame of 1 GB", "announcing 1073741824 bytes", 1,
         HugeFrame},
        {"random-bytes", "logs in, then sends random frames and random bytes", "frame header announcing", 1,
         RandomBytes},
        {"vanishes", "logs in, then its process is stopped (socket open, silent)",
         "no complete frame has come from the peer for 10 s", 1, Vanishes},
        {"screen-flood", "logs in, then reports entering its screen 2000 times a second", "", 0, ScreenFlood},
        {"reconnects", "logs in and leaves 20 times in a row", "hopper joined", 20, Reconnects},
    };
    return scenarios;
}

}  // namespace netfault
