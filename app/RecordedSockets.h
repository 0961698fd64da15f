#pragma once

#include <memory>

#include "net/Sockets.h"

class RunRecorder;
class RunReplayer;

// Passes every call to the real socket layer and records the outcomes that
// came from outside: whether listening, accepting and connecting worked, how
// much each send took and what each receive brought.
class RecordingSocketSys : public ISocketSys {
public:
    RecordingSocketSys(std::unique_ptr<ISocketSys> inner, RunRecorder& recorder);
    ~RecordingSocketSys() override;

    bool Init() override;
    void Shutdown() override;
    bool Resolve(const char* host, SocketAddress* out) override;
    bool ReverseResolve(const SocketAddress* address, char* name, int size) override;
    ITCPServerSocket* Listen(uint16_t port, int backlog, bool noDelay, bool blocking, bool reuseAddress,
                             const uint32_t* localIp) override;
    ITCPClientSocket* ConnectAddress(const SocketAddress* target, bool noDelay, bool blocking,
                                     const SocketAddress* local) override;
    ITCPClientSocket* Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                              const SocketAddress* local) override;
    void CloseUDP(IUDPSocket* socket) override;
    void CloseServer(ITCPServerSocket* socket) override;
    void CloseClient(ITCPClientSocket* socket) override;
    IUDPSocket* OpenUDP(uint16_t port, bool blocking, bool reuseAddress, const uint32_t* localIp) override;

private:
    ITCPClientSocket* Wrap(ITCPClientSocket* socket);
    std::unique_ptr<ISocketSys> inner;
    RunRecorder& recorder;
};

// No network at all: every outcome comes from the recording and what the game
// sends goes nowhere.
class ReplaySocketSys : public ISocketSys {
public:
    explicit ReplaySocketSys(RunReplayer& replayer) : replayer(replayer) {}

    bool Init() override;
    void Shutdown() override {}
    bool Resolve(const char*, SocketAddress*) override { return false; }
    bool ReverseResolve(const SocketAddress*, char*, int) override { return false; }
    ITCPServerSocket* Listen(uint16_t port, int backlog, bool noDelay, bool blocking, bool reuseAddress,
                             const uint32_t* localIp) override;
    ITCPClientSocket* ConnectAddress(const SocketAddress*, bool, bool, const SocketAddress*) override
    {
        return nullptr;
    }
    ITCPClientSocket* Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                              const SocketAddress* local) override;
    void CloseUDP(IUDPSocket*) override {}
    void CloseServer(ITCPServerSocket* socket) override { delete socket; }
    void CloseClient(ITCPClientSocket* socket) override { delete socket; }
    IUDPSocket* OpenUDP(uint16_t, bool, bool, const uint32_t*) override { return nullptr; }

private:
    RunReplayer& replayer;
};
