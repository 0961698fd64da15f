#pragma once

#include <cstdint>

#include "net/Sockets.h"

// The socket layer over the operating system's IPv4 sockets. Every handle is
// made close-on-exec; sends never raise SIGPIPE. The Close calls delete the
// objects, whose destructors close the handles.

class TCPClientSocketPosix : public ITCPClientSocket {
public:
    ~TCPClientSocketPosix() override;
    int Send(const void* buffer, uint32_t length) override;
    int Receive(void* buffer, uint32_t length) override;
    bool GetNoDelay() override;
    bool SetNoDelay(bool on) override;
    bool SetBlocking(bool blocking) override;

    // The connect target, or the accepted peer (port in host order).
    const SocketAddress& Peer() const { return peer; }

private:
    friend class SocketSysPosix;
    friend class TCPServerSocketPosix;
    TCPClientSocketPosix(int fd, const SocketAddress& peer) : fd(fd), peer(peer) {}
    TCPClientSocketPosix(const TCPClientSocketPosix&) = delete;
    TCPClientSocketPosix& operator=(const TCPClientSocketPosix&) = delete;

    int fd;
    SocketAddress peer;
};

class TCPServerSocketPosix : public ITCPServerSocket {
public:
    ~TCPServerSocketPosix() override;
    ITCPClientSocket* Accept() override;
    // The port actually bound, which differs from the asked one for port 0;
    // 0 on failure.
    uint16_t LocalPort() const;

private:
    friend class SocketSysPosix;
    TCPServerSocketPosix(int fd, bool noDelay, bool blocking) : fd(fd), noDelay(noDelay), blocking(blocking)
    {
    }
    TCPServerSocketPosix(const TCPServerSocketPosix&) = delete;
    TCPServerSocketPosix& operator=(const TCPServerSocketPosix&) = delete;

    int fd;
    // Accepted sockets take these over explicitly: Linux does not pass them on.
    bool noDelay;
    bool blocking;
};

class UDPSocketPosix : public IUDPSocket {
public:
    ~UDPSocketPosix() override;
    int SendTo(const SocketAddress* to, const char* buffer, int length) override;
    int ReceiveFrom(SocketAddress* from, char* buffer, int length) override;
    bool SetBlocking(bool blocking) override;
    int GetMaxMessageSize() override;
    uint16_t LocalPort() const;

private:
    friend class SocketSysPosix;
    explicit UDPSocketPosix(int fd) : fd(fd) {}
    UDPSocketPosix(const UDPSocketPosix&) = delete;
    UDPSocketPosix& operator=(const UDPSocketPosix&) = delete;

    int fd;
};

class SocketSysPosix : public ISocketSys {
public:
    // How long a connect may wait for an answer before it gives up, so that a
    // host that never answers cannot hold the game's start for minutes.
    static constexpr int kConnectTimeoutMs = 5000;

    bool Init() override { return true; }
    void Shutdown() override {}
    bool Resolve(const char* host, SocketAddress* out) override;
    bool ReverseResolve(const SocketAddress* address, char* name, int size) override;
    ITCPServerSocket* Listen(uint16_t port, int backlog, bool noDelay, bool blocking, bool reuseAddress,
                             const uint32_t* localIp) override;
    ITCPClientSocket* ConnectAddress(const SocketAddress* target, bool noDelay, bool blocking,
                                     const SocketAddress* local) override;
    ITCPClientSocket* Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                              const SocketAddress* local) override;
    void CloseUDP(IUDPSocket* socket) override { delete socket; }
    void CloseServer(ITCPServerSocket* socket) override { delete socket; }
    void CloseClient(ITCPClientSocket* socket) override { delete socket; }
    IUDPSocket* OpenUDP(uint16_t port, bool blocking, bool reuseAddress, const uint32_t* localIp) override;

    void SetConnectTimeoutMs(int ms) { connectTimeoutMs = ms; }
    int GetConnectTimeoutMs() const { return connectTimeoutMs; }

private:
    int connectTimeoutMs = kConnectTimeoutMs;
};
