#include "net/PosixSockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

namespace {

// The largest payload of one IPv4 UDP datagram: 65535 less the 20-byte IP
// and 8-byte UDP headers. Linux has no per-socket query for it.
constexpr int kMaxUdpPayload = 65507;

bool WouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

bool SetNonBlocking(int fd, bool nonBlocking)
{
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    const int wanted = nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return wanted == flags || fcntl(fd, F_SETFL, wanted) == 0;
}

bool SetIntOption(int fd, int level, int name, int value)
{
    return setsockopt(fd, level, name, &value, sizeof value) == 0;
}

sockaddr_in MakeAddress(uint32_t ip, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ip;
    address.sin_port = htons(port);
    return address;
}

int BoundPort(int fd)
{
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 0;
    return ntohs(address.sin_port);
}

int CloseAndFail(int fd)
{
    close(fd);
    return -1;
}

// A socket bound to (ip or any, port), or -1 with nothing left open.
int OpenBound(int type, uint16_t port, bool reuseAddress, const uint32_t* localIp)
{
    const int fd = socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (reuseAddress && !SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, 1))
        return CloseAndFail(fd);
    const sockaddr_in address = MakeAddress(localIp ? *localIp : htonl(INADDR_ANY), port);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return CloseAndFail(fd);
    return fd;
}

// Waits until the non-blocking connect on `fd` has an outcome; true when it
// connected within the time.
bool AwaitConnect(int fd, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{fd, POLLOUT, 0};
        const int ready = poll(&entry, 1, left.count() > 0 ? int(left.count()) : 0);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        int error = 0;
        socklen_t size = sizeof error;
        return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
}

}  // namespace

// ---- TCP client ----

TCPClientSocketPosix::~TCPClientSocketPosix()
{
    close(fd);
}

int TCPClientSocketPosix::Send(const void* buffer, uint32_t length)
{
    if (length == 0)
        return 0;
    const size_t count = length > uint32_t(INT_MAX) ? size_t(INT_MAX) : length;
    for (;;) {
        const ssize_t sent = send(fd, buffer, count, MSG_NOSIGNAL);
        if (sent > 0)
            return int(sent);
        if (sent == 0)
            return -1;
        if (errno == EINTR)
            continue;
        return WouldBlock(errno) ? 0 : -1;
    }
}

int TCPClientSocketPosix::Receive(void* buffer, uint32_t length)
{
    // An empty read would look like the peer's close.
    if (length == 0)
        return 0;
    const size_t count = length > uint32_t(INT_MAX) ? size_t(INT_MAX) : length;
    for (;;) {
        const ssize_t got = recv(fd, buffer, count, 0);
        if (got > 0)
            return int(got);
        if (got == 0)
            return -1;  // orderly close: the peer is gone all the same
        if (errno == EINTR)
            continue;
        return WouldBlock(errno) ? 0 : -1;
    }
}

bool TCPClientSocketPosix::GetNoDelay()
{
    int value = 0;
    socklen_t size = sizeof value;
    return getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &size) == 0 && value != 0;
}

bool TCPClientSocketPosix::SetNoDelay(bool on)
{
    return SetIntOption(fd, IPPROTO_TCP, TCP_NODELAY, on ? 1 : 0);
}

bool TCPClientSocketPosix::SetBlocking(bool blocking)
{
    return SetNonBlocking(fd, !blocking);
}

// ---- TCP listener ----

TCPServerSocketPosix::~TCPServerSocketPosix()
{
    close(fd);
}

ITCPClientSocket* TCPServerSocketPosix::Accept()
{
    sockaddr_in address{};
    socklen_t size = sizeof address;
    int client;
    do {
        client = accept4(fd, reinterpret_cast<sockaddr*>(&address), &size,
                         SOCK_CLOEXEC | (blocking ? 0 : SOCK_NONBLOCK));
    } while (client < 0 && errno == EINTR);
    if (client < 0)
        return nullptr;
    if (noDelay && !SetIntOption(client, IPPROTO_TCP, TCP_NODELAY, 1)) {
        close(client);
        return nullptr;
    }
    SocketAddress peer;
    peer.ip = address.sin_addr.s_addr;
    peer.port = ntohs(address.sin_port);
    return new TCPClientSocketPosix(client, peer);
}

uint16_t TCPServerSocketPosix::LocalPort() const
{
    return uint16_t(BoundPort(fd));
}

// ---- UDP ----

UDPSocketPosix::~UDPSocketPosix()
{
    close(fd);
}

int UDPSocketPosix::SendTo(const SocketAddress* to, const char* buffer, int length)
{
    if (!to || length < 0)
        return -1;
    const sockaddr_in address = MakeAddress(to->ip, to->port);
    for (;;) {
        const ssize_t sent = sendto(fd, buffer, size_t(length), MSG_NOSIGNAL,
                                    reinterpret_cast<const sockaddr*>(&address), sizeof address);
        if (sent >= 0)
            return int(sent);
        if (errno == EINTR)
            continue;
        return WouldBlock(errno) ? 0 : -1;
    }
}

int UDPSocketPosix::ReceiveFrom(SocketAddress* from, char* buffer, int length)
{
    if (length < 0)
        return -1;
    sockaddr_in address{};
    for (;;) {
        socklen_t size = sizeof address;
        const ssize_t got =
            recvfrom(fd, buffer, size_t(length), 0, reinterpret_cast<sockaddr*>(&address), &size);
        if (got >= 0) {
            if (from) {
                from->ip = address.sin_addr.s_addr;
                from->port = ntohs(address.sin_port);
            }
            return int(got);
        }
        if (errno == EINTR)
            continue;
        if (!WouldBlock(errno))
            return -1;
        if (from)
            from->ip = 0;
        return 0;
    }
}

bool UDPSocketPosix::SetBlocking(bool blocking)
{
    return SetNonBlocking(fd, !blocking);
}

int UDPSocketPosix::GetMaxMessageSize()
{
    int type = 0;
    socklen_t size = sizeof type;
    // The query only proves the handle is a live socket.
    return getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 ? kMaxUdpPayload : -1;
}

uint16_t UDPSocketPosix::LocalPort() const
{
    return uint16_t(BoundPort(fd));
}

// ---- subsystem ----

bool SocketSysPosix::Resolve(const char* host, SocketAddress* out)
{
    if (!host || !out)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found)
        return false;
    *out = SocketAddress{};
    out->ip = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

bool SocketSysPosix::ReverseResolve(const SocketAddress* address, char* name, int size)
{
    if (!address || !name || size <= 0)
        return false;
    const sockaddr_in target = MakeAddress(address->ip, 0);
    char host[NI_MAXHOST];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&target), sizeof target, host, sizeof host, nullptr, 0,
                    NI_NAMEREQD) != 0)
        return false;
    const size_t count = strnlen(host, size_t(size) - 1);
    std::memcpy(name, host, count);
    name[count] = '\0';
    return true;
}

ITCPServerSocket* SocketSysPosix::Listen(uint16_t port, int backlog, bool noDelay, bool blocking,
                                         bool reuseAddress, const uint32_t* localIp)
{
    const int fd = OpenBound(SOCK_STREAM, port, reuseAddress, localIp);
    if (fd < 0)
        return nullptr;
    if (listen(fd, backlog) != 0 || (noDelay && !SetIntOption(fd, IPPROTO_TCP, TCP_NODELAY, 1)) ||
        (!blocking && !SetNonBlocking(fd, true))) {
        close(fd);
        return nullptr;
    }
    return new TCPServerSocketPosix(fd, noDelay, blocking);
}

ITCPClientSocket* SocketSysPosix::ConnectAddress(const SocketAddress* target, bool noDelay, bool blocking,
                                                 const SocketAddress* local)
{
    if (!target)
        return nullptr;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return nullptr;
    bool ok = true;
    if (local) {
        const sockaddr_in address = MakeAddress(local->ip, local->port);
        ok = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    if (ok) {
        // Non-blocking, so that the wait for an answer is bounded.
        const sockaddr_in address = MakeAddress(target->ip, target->port);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            ok = (errno == EINPROGRESS || errno == EINTR) && AwaitConnect(fd, connectTimeoutMs);
    }
    ok = ok && (!noDelay || SetIntOption(fd, IPPROTO_TCP, TCP_NODELAY, 1)) &&
         (!blocking || SetNonBlocking(fd, false));
    if (!ok) {
        close(fd);
        return nullptr;
    }
    return new TCPClientSocketPosix(fd, *target);
}

ITCPClientSocket* SocketSysPosix::Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                                          const SocketAddress* local)
{
    if (!host)
        return nullptr;
    SocketAddress target;
    if (SocketAddress::IsDottedQuad(host)) {
        if (!target.ParseDottedQuad(host))
            return nullptr;
    } else if (!Resolve(host, &target)) {
        return nullptr;
    }
    target.port = port;
    return ConnectAddress(&target, noDelay, blocking, local);
}

IUDPSocket* SocketSysPosix::OpenUDP(uint16_t port, bool blocking, bool reuseAddress, const uint32_t* localIp)
{
    const int fd = OpenBound(SOCK_DGRAM, port, reuseAddress, localIp);
    if (fd < 0)
        return nullptr;
    if (!blocking && !SetNonBlocking(fd, true)) {
        close(fd);
        return nullptr;
    }
    return new UDPSocketPosix(fd);
}
