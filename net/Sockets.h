#pragma once

#include <cstdint>

// The socket layer the session talks to: a subsystem that creates and closes
// IPv4 TCP and UDP sockets, behind interfaces so that tests can put an
// in-process transport in place of the operating system's. Data calls never
// throw: they return a byte count, 0 for "would block" and −1 for a broken or
// closed socket.

// An IPv4 address (network byte order, as the resolver stores it) and a port
// (host byte order).
struct SocketAddress {
    uint32_t ip = 0;
    uint16_t port = 0;

    // At most 15 characters, only digits and dots, exactly three dots.
    static bool IsDottedQuad(const char* text);
    // The four decimal numbers become the address's four bytes in order;
    // false, leaving the address alone, unless the text is a dotted quad
    // whose numbers each fit in a byte.
    bool ParseDottedQuad(const char* text);
    // "%u.%u.%u.%u" from the four bytes in memory order; `out` holds 16.
    void Format(char* out) const;
};

class ITCPClientSocket {
public:
    virtual ~ITCPClientSocket() = default;
    // Bytes taken, 0 when the socket would block (or length is 0), −1 broken.
    virtual int Send(const void* buffer, uint32_t length) = 0;
    // Bytes read, 0 when nothing is waiting, −1 when closed or broken.
    virtual int Receive(void* buffer, uint32_t length) = 0;
    virtual bool GetNoDelay() = 0;
    virtual bool SetNoDelay(bool on) = 0;
    virtual bool SetBlocking(bool blocking) = 0;
};

class ITCPServerSocket {
public:
    virtual ~ITCPServerSocket() = default;
    // The next waiting connection, or null (nobody waiting, or a failure).
    virtual ITCPClientSocket* Accept() = 0;
};

class IUDPSocket {
public:
    virtual ~IUDPSocket() = default;
    virtual int SendTo(const SocketAddress* to, const char* buffer, int length) = 0;
    virtual int ReceiveFrom(SocketAddress* from, char* buffer, int length) = 0;
    virtual bool SetBlocking(bool blocking) = 0;
    virtual int GetMaxMessageSize() = 0;
};

// Creates sockets and is the only one that closes and deletes them. Every
// creating call returns null on failure, having closed what it made.
class ISocketSys {
public:
    virtual ~ISocketSys() = default;
    virtual bool Init() = 0;
    virtual void Shutdown() = 0;
    virtual bool Resolve(const char* host, SocketAddress* out) = 0;
    virtual bool ReverseResolve(const SocketAddress* address, char* name, int size) = 0;
    virtual ITCPServerSocket* Listen(uint16_t port, int backlog, bool noDelay, bool blocking,
                                     bool reuseAddress, const uint32_t* localIp) = 0;
    virtual ITCPClientSocket* ConnectAddress(const SocketAddress* target, bool noDelay, bool blocking,
                                             const SocketAddress* local) = 0;
    // A dotted quad is parsed directly; anything else is resolved.
    virtual ITCPClientSocket* Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                                      const SocketAddress* local) = 0;
    virtual void CloseUDP(IUDPSocket* socket) = 0;
    virtual void CloseServer(ITCPServerSocket* socket) = 0;
    virtual void CloseClient(ITCPClientSocket* socket) = 0;
    virtual IUDPSocket* OpenUDP(uint16_t port, bool blocking, bool reuseAddress, const uint32_t* localIp) = 0;
};
