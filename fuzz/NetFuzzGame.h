#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/TestApp.h"
#include "net/InProcessSockets.h"
#include "net/NetSession.h"

// The application with the protected steps and state a fuzzing game needs.
class FuzzApp : public CTestApp {
public:
    using CTestApp::CreateLocalPlayer;
    using CTestApp::localPlayer;
    using CTestApp::remotePlayer;
    using CTestApp::session;
    using CTestApp::StartNetwork;
    using CTestApp::world;

    // The application over a quiet world with an empty map, on the virtual
    // clock with random seed 1, writing no log file.
    static std::unique_ptr<FuzzApp> OverQuietWorld();
};

// One networked game per input: the application over a quiet world of grass
// (a pond, doors on the start screen, a few screens that populate), with its
// hero at tile (120, 83), joined over a fresh in-process wire to a bare
// session that plays the other copy of the game. Once both sides have logged
// in, the start screen holds one entity of each enemy class and a push-block
// with uids 10 to 17 (the order of kCrowd), on the host as real entities and
// on a client as replicas made from the host's spawn messages.
//
// Everything runs on the engine's virtual clock and a fixed random seed, so
// an input does the same thing every time it is fed.
class NetFuzzGame {
public:
    enum class Role {
        Host,    // the application hosts; the input comes from the joining player
        Client,  // the application joined; the input comes from the host
    };

    // Spawn types of the start screen's crowd, by uid from 10: a red and a
    // blue Krillop, a red Gorlak, a Nerrit, a blue Bat, a Skeleton, a Snake
    // and a push-block.
    static constexpr int kCrowd[] = {0, 2, 9, 6, 12, 11, 18, 30};
    static constexpr uint32_t kFirstCrowdUid = 10;
    static constexpr int kFrames = 4;

    explicit NetFuzzGame(Role role);
    ~NetFuzzGame();
    NetFuzzGame(const NetFuzzGame&) = delete;
    NetFuzzGame& operator=(const NetFuzzGame&) = delete;

    // Builds the connected game; false when the handshake did not finish.
    bool Start();
    // Puts the bytes on the wire as the peer's, lets the application's session
    // take them, then runs kFrames frames of the game.
    void Feed(const uint8_t* data, size_t size);
    // One frame as the engine runs it, then 1/60 s on the clock.
    void Frame();
    // Drops the game, the peer and the wire.
    void Stop();

    FuzzApp* App() const { return app.get(); }
    NetSession* Peer() const { return peer.get(); }
    // The pipe that carries the peer's bytes to the application.
    InProcessPipe* ToApp() const;

private:
    // The crowd on a client: the peer announces each entity as a host would.
    void SendCrowdSpawns();

    Role role;
    std::unique_ptr<InProcessNetwork> network;
    std::unique_ptr<FuzzApp> app;
    std::unique_ptr<NetSession> peer;
};
