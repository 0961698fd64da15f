// What the link between two copies of the game costs: the bytes the host
// sends a joining player on a screen with 10 enemies, and how long a joining
// player's move takes to reach the host's world.
//
// Only one application can run in a process, so the joining player is a bare
// session that sends what a joining copy sends: a hero update (16 bytes) on
// each of its network ticks. The host is the real game, started headless.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "app/TestApp.h"
#include "bench/BenchApp.h"
#include "engine/QuillLogger.h"
#include "engine/RunOptions.h"
#include "net/GameMessages.h"
#include "net/InProcessSockets.h"
#include "net/NetSession.h"
#include "net/PosixSockets.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace {

constexpr double kFrameMs = 1000.0 / 60.0;
// The network tick: at most one every 16.6 ms.
constexpr double kNetTickMs = 16.6;
const Vec2 kGuestStand(118 * 32.0f, 83 * 32.0f);

// The operating system's sockets, listening on the loopback address only.
class LoopbackSockets : public ISocketSys {
public:
    bool Init() override { return system.Init(); }
    void Shutdown() override { system.Shutdown(); }
    bool Resolve(const char* host, SocketAddress* out) override { return system.Resolve(host, out); }
    bool ReverseResolve(const SocketAddress* address, char* name, int size) override
    {
        return system.ReverseResolve(address, name, size);
    }
    ITCPServerSocket* Listen(uint16_t port, int backlog, bool noDelay, bool blocking, bool reuseAddress,
                             const uint32_t*) override
    {
        const uint32_t loopback = htonl(INADDR_LOOPBACK);
        return system.Listen(port, backlog, noDelay, blocking, reuseAddress, &loopback);
    }
    ITCPClientSocket* ConnectAddress(const SocketAddress* target, bool noDelay, bool blocking,
                                     const SocketAddress* local) override
    {
        return system.ConnectAddress(target, noDelay, blocking, local);
    }
    ITCPClientSocket* Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                              const SocketAddress* local) override
    {
        return system.Connect(host, port, noDelay, blocking, local);
    }
    void CloseUDP(IUDPSocket* socket) override { system.CloseUDP(socket); }
    void CloseServer(ITCPServerSocket* socket) override { system.CloseServer(socket); }
    void CloseClient(ITCPClientSocket* socket) override { system.CloseClient(socket); }
    IUDPSocket* OpenUDP(uint16_t port, bool blocking, bool reuseAddress, const uint32_t* localIp) override
    {
        return system.OpenUDP(port, blocking, reuseAddress, localIp);
    }

private:
    SocketSysPosix system;
};

// A port on the loopback address that nobody uses at the moment.
uint16_t FreeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

double SteadyMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Sleeps until about half a millisecond before `deadline`, then spins.
void WaitUntilMs(double deadline)
{
    for (double now = SteadyMs(); now < deadline; now = SteadyMs()) {
        if (deadline - now > 0.5)
            std::this_thread::sleep_for(std::chrono::microseconds(int64_t((deadline - now - 0.5) * 1000.0)));
    }
}

void SendHeroUpdate(NetSession& session, Vec2 position)
{
    NetMessage m;
    m.type = MSG_HERO_UPDATE;
    m.payload.WriteF32(position.x);
    m.payload.WriteF32(position.y);
    m.payload.WriteI32(DIR_RIGHT);
    m.payload.WriteF32(3.0f);
    session.SendMessage(&m);
}

// The network tick of a joining copy that is not an application: a schedule
// of one tick every 16.6 ms on the precise clock, so that at 60 frames a
// second every frame sends.
struct NetTicker {
    double next = 0.0;
    bool Due(double nowMs)
    {
        if (nowMs < next)
            return false;
        next = std::max(next + kNetTickMs, nowMs - kNetTickMs);
        return true;
    }
};

// Starts the game headless as a host on `sockets` and runs `inside` with it.
bool LaunchHost(BenchApp& app, std::unique_ptr<ISocketSys> sockets, uint16_t port, bool realClock)
{
    if (!Quill::EnterDataDirectory(KARSK_DATA_DIR))
        return false;
    Quill::Logger()->SetEchoToStderr(false);
    Quill::RunOptions options;
    options.headless = true;
    options.fixedStep = true;
    options.fastClock = !realClock;
    options.realTime = realClock;
    options.frames = 1;
    options.logFile = "";
    options.seed = 7u;
    options.port = port;
    app.SetRunOptions(options);
    app.UseSocketSys(std::move(sockets));
    app.SetNetworked(true);
    app.SetServer(true);
    app.SetPlayerName("host");
    Quill::LaunchContext context;
    std::memset(&context, 0, sizeof context);
    std::strncpy(context.title, "QUILL App", sizeof context.title - 1);
    context.width = context.height = 512;
    return app.Launch(&context);
}

// Spawn types: red and blue Krillops, both Gorlaks, a Skeleton, a Snake and both Bats.
constexpr int kMix[] = {0, 2, 9, 10, 11, 18, 12, 13, 0, 2};

// (a) Host to joining player on a screen with 10 enemies: both heroes stand
// on it, the joining hero sends its updates, the host streams its world. One
// iteration is 60 frames, one second of game time.
void BM_HostToClientBytes(benchmark::State& state)
{
    InProcessNetwork wire;
    BenchApp app;
    std::map<int, uint64_t> heard;
    uint64_t sent = 0, received = 0, entities = 0;
    int64_t seconds = 0;
    bool joined = false;
    app.inside = [&] {
        KarskRenderer* world = app.World();
        Tavin* hero = app.LocalPlayer();
        NetSession* session = app.Session();
        auto clock = [&app] { return app.GetPreciseTicks(); };
        session->SetClock(clock);
        NetSession guest(CTestApp::SessionPassword(), "guest");
        guest.UseSocketSys(std::make_unique<InProcessSocketSys>(wire));
        guest.SetClock(clock);
        guest.Init([](const char*) {}, [&heard](NetMessage* m) { ++heard[m->type]; }, [] {});
        if (!guest.Connect("127.0.0.1", false))
            return;
        NetTicker guestTick;
        // The hero keeps flashing and is put back each frame, so that rocks
        // cannot knock him off the screen and end the crowd.
        hero->flashing = true;
        hero->flashTime = -1.0f;
        const Vec2 stand = hero->GetPosition();
        auto frame = [&] {
            hero->SetPosition(stand);
            hero->pushDistance = 0;
            if (Tavin* other = app.RemotePlayer()) {
                other->flashing = true;
                other->flashTime = -1.0f;
                other->pushDistance = 0;
            }
            app.CTestApp::Update();
            world->RenderFrame();
            app.WaitUntil(app.GetPreciseTicks() + kFrameMs);
            if (guest.IsConnected() && guestTick.Due(app.GetPreciseTicks()))
                SendHeroUpdate(guest, kGuestStand);
            guest.Update();
        };
        for (int i = 0; i < 10 && !(session->IsConnected() && guest.IsConnected()); ++i) frame();
        if (!session->IsConnected() || !app.RemotePlayer())
            return;
        joined = true;
        for (int i = 0; i < 10; ++i) {
            const Vec2 tile = app.RandomFreeTile(7, 7);
            if (tile.x >= 0.0f)
                app.Spawn(kMix[i], tile, -1);
        }
        // Past the spawn clouds: walking and shooting.
        for (int i = 0; i < 90; ++i) frame();
        std::shared_ptr<InProcessLink> link = wire.LastLink();
        const uint64_t sentBefore = link->ToClient().BytesSent();
        const uint64_t receivedBefore = link->ToServer().BytesSent();
        heard.clear();
        for (auto _ : state) {
            for (int i = 0; i < 60; ++i) frame();
            ++seconds;
        }
        sent = link->ToClient().BytesSent() - sentBefore;
        received = link->ToServer().BytesSent() - receivedBefore;
        entities = uint64_t(world->GetEntityList().Count());
        guest.Shutdown();
    };
    if (!LaunchHost(app, std::make_unique<InProcessSocketSys>(wire), NetSession::kDefaultPort, false))
        state.SkipWithError("the game did not start");
    else if (!joined)
        state.SkipWithError("the joining player did not log in");
    if (seconds == 0)
        return;
    const double s = double(seconds);
    state.counters["host_bytes_per_s"] = double(sent) / s;
    state.counters["guest_bytes_per_s"] = double(received) / s;
    state.counters["hero_updates_per_s"] = double(heard[MSG_HERO_UPDATE]) / s;
    state.counters["entity_states_per_s"] = double(heard[MSG_ENTITY_STATE]) / s;
    state.counters["entities"] = double(entities);
}
BENCHMARK(BM_HostToClientBytes)->Unit(benchmark::kMillisecond)->Iterations(30);

// How the joining player's move is timed.
enum class Path {
    // The update is sent, and the host polls its session until its world has
    // the move: the loopback connection, framing and handler alone.
    Transport,
    // The update is sent at a random moment of the host's 60 Hz frames, and
    // the move counts once the host's frame has applied it: transport plus
    // the wait for the host's next frame.
    ToHostFrame,
    // The key is read at the start of one of the joining player's 60 Hz
    // frames, the hero moves in that frame, the update goes out on the next
    // network tick (the next frame), and the host's frames (at a random phase
    // to the joining player's) apply it: the whole way.
    KeyToHostWorld,
};

void Percentiles(benchmark::State& state, std::vector<double> samples)
{
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    auto at = [&samples](double q) {
        return samples[std::min(samples.size() - 1, size_t(q * double(samples.size() - 1) + 0.5))];
    };
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = samples.back();
    state.counters["samples"] = double(samples.size());
}

// (b) A joining player's move, from its key (or its send) to the host's world,
// over real sockets on the loopback address.
void RunMoveLatency(benchmark::State& state, Path path)
{
    const uint16_t port = FreeLoopbackPort();
    if (port == 0) {
        state.SkipWithError("no free port on the loopback address");
        return;
    }
    BenchApp app;
    std::vector<double> samples;
    bool joined = false;
    app.inside = [&] {
        KarskRenderer* world = app.World();
        NetSession* session = app.Session();
        NetSession guest(CTestApp::SessionPassword(), "guest");
        guest.SetPort(port);
        guest.Init([](const char*) {}, [](NetMessage*) {}, [] {});
        if (!guest.Connect("127.0.0.1", false))
            return;
        auto hostFrame = [&] {
            app.CTestApp::Update();
            world->RenderFrame();
        };
        for (int i = 0; i < 200 && !(session->IsConnected() && guest.IsConnected()); ++i) {
            hostFrame();
            guest.Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Tavin* remote = app.RemotePlayer();
        if (!session->IsConnected() || !remote)
            return;
        joined = true;
        std::mt19937 random(7);
        std::uniform_real_distribution<double> phase(0.0, kFrameMs);
        Vec2 place = kGuestStand, shown = kGuestStand;
        int step = 0;
        NetTicker guestTick;
        double hostNext = SteadyMs();
        for (auto _ : state) {
            place = kGuestStand + Vec2(float(2 * (step++ % 16)), 0.0f);
            double latency = 0.0;
            if (path == Path::Transport) {
                const double start = SteadyMs();
                SendHeroUpdate(guest, place);
                while (remote->GetPosition() != place && SteadyMs() - start < 1000.0) session->Update();
                latency = SteadyMs() - start;
                hostFrame();
                guest.Update();
            } else {
                // The joining player's frames start at a random phase to the host's.
                double guestNext = hostNext + phase(random);
                double pressedAt = -1.0;
                bool pressed = false, arrived = false;
                const double giveUp = SteadyMs() + 1000.0;
                while (!arrived && SteadyMs() < giveUp) {
                    if (guestNext <= hostNext) {
                        WaitUntilMs(guestNext);
                        const double now = SteadyMs();
                        if (path == Path::ToHostFrame) {
                            if (!pressed) {
                                pressedAt = now;
                                pressed = true;
                                SendHeroUpdate(guest, place);
                            }
                        } else {
                            // The tick comes first in a frame, then the keys.
                            if (guestTick.Due(now))
                                SendHeroUpdate(guest, shown);
                            if (!pressed) {
                                pressedAt = now;
                                pressed = true;
                                shown = place;
                            }
                        }
                        guest.Update();
                        guestNext += kFrameMs;
                    } else {
                        WaitUntilMs(hostNext);
                        app.CTestApp::Update();
                        if (pressed && remote->GetPosition() == place) {
                            latency = SteadyMs() - pressedAt;
                            arrived = true;
                        }
                        world->RenderFrame();
                        hostNext += kFrameMs;
                    }
                }
            }
            shown = place;
            samples.push_back(latency);
            state.SetIterationTime(latency / 1000.0);
        }
        guest.Shutdown();
    };
    if (!LaunchHost(app, std::make_unique<LoopbackSockets>(), port, true))
        state.SkipWithError("the game did not start");
    else if (!joined)
        state.SkipWithError("the joining player did not log in");
    Percentiles(state, samples);
}

void BM_MoveLatencyTransport(benchmark::State& state)
{
    RunMoveLatency(state, Path::Transport);
}
BENCHMARK(BM_MoveLatencyTransport)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(2000);

void BM_MoveLatencyToHostFrame(benchmark::State& state)
{
    RunMoveLatency(state, Path::ToHostFrame);
}
BENCHMARK(BM_MoveLatencyToHostFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(400);

void BM_MoveLatencyKeyToHostWorld(benchmark::State& state)
{
    RunMoveLatency(state, Path::KeyToHostWorld);
}
BENCHMARK(BM_MoveLatencyKeyToHostWorld)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(400);

}  // namespace

BENCHMARK_MAIN();
