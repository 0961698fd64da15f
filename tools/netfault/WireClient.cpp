#include "tools/netfault/WireClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "net/NetSession.h"

namespace netfault {

double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void SleepMs(double ms)
{
    if (ms > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int Remaining(double deadline)
{
    const double left = deadline - NowMs();
    return left <= 0.0 ? 0 : int(left) + 1;
}

}  // namespace

WireClient::~WireClient()
{
    Close();
}

bool WireClient::Connect(uint16_t port, int timeoutMs)
{
    Close();
    fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && errno != EINPROGRESS) {
        Close();
        return false;
    }
    pollfd p{fd, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    if (poll(&p, 1, timeoutMs) != 1 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 ||
        error != 0) {
        Close();
        return false;
    }
    return true;
}

void WireClient::Close()
{
    if (fd >= 0)
        close(fd);
    fd = -1;
    closedByPeer = false;
    pending.clear();
}

bool WireClient::Send(const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    const double deadline = NowMs() + 2000.0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t r = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (r > 0) {
            done += size_t(r);
            continue;
        }
        if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && Remaining(deadline) > 0) {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, Remaining(deadline));
            continue;
        }
        return false;
    }
    return fd >= 0 && done == bytes.size();
}

bool WireClient::SendFrame(int32_t type, const std::vector<uint8_t>& payload)
{
    return Send(Frame(type, payload));
}

bool WireClient::Pull(int timeoutMs)
{
    if (fd < 0 || closedByPeer)
        return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return true;
    uint8_t chunk[8192];
    const ssize_t r = recv(fd, chunk, sizeof chunk, 0);
    if (r > 0) {
        pending.insert(pending.end(), chunk, chunk + r);
        return true;
    }
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    closedByPeer = true;
    return false;
}

bool WireClient::ReadFrame(int32_t& type, std::vector<uint8_t>& payload, int timeoutMs)
{
    const double deadline = NowMs() + timeoutMs;
    for (;;) {
        if (pending.size() >= NetSession::kHeaderBytes) {
            const uint32_t length = GetU32(pending.data() + 4);
            if (length > NetSession::kMaxPayload)
                return false;
            if (pending.size() >= NetSession::kHeaderBytes + length) {
                type = int32_t(GetU32(pending.data()));
                payload.assign(pending.begin() + NetSession::kHeaderBytes,
                               pending.begin() + NetSession::kHeaderBytes + length);
                pending.erase(pending.begin(), pending.begin() + NetSession::kHeaderBytes + length);
                return true;
            }
        }
        if (Remaining(deadline) == 0 || !Pull(Remaining(deadline)))
            return false;
    }
}

bool WireClient::LogIn(const std::string& password, const std::string& name, int timeoutMs, bool* refused)
{
    if (refused)
        *refused = false;
    const double deadline = NowMs() + timeoutMs;
    int32_t type = 0;
    std::vector<uint8_t> payload;
    do {
        if (!ReadFrame(type, payload, Remaining(deadline)))
            return false;
    } while (type != NetSession::MSG_CHALLENGE);
    if (!SendFrame(NetSession::MSG_LOGIN, LoginPayload(password, name)))
        return false;
    while (ReadFrame(type, payload, Remaining(deadline))) {
        if (type == NetSession::MSG_LOGIN_ACCEPTED)
            return true;
        if (type == NetSession::MSG_LOGIN_FAILED) {
            if (refused)
                *refused = true;
            return false;
        }
    }
    return false;
}

bool WireClient::WaitClosed(int timeoutMs)
{
    const double deadline = NowMs() + timeoutMs;
    while (Pull(Remaining(deadline))) {
        pending.clear();
        if (Remaining(deadline) == 0)
            return false;
    }
    return true;
}

std::vector<uint8_t> WireClient::Frame(int32_t type, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> frame;
    PutU32(frame, uint32_t(type));
    PutU32(frame, uint32_t(payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
    return frame;
}

std::vector<uint8_t> WireClient::LoginPayload(const std::string& password, const std::string& name)
{
    std::vector<uint8_t> payload(NetSession::kPasswordBytes + NetSession::kNameBytes, 0);
    std::memcpy(payload.data(), password.data(),
                std::min<size_t>(password.size(), NetSession::kPasswordBytes - 1));
    std::memcpy(payload.data() + NetSession::kPasswordBytes, name.data(),
                std::min<size_t>(name.size(), NetSession::kNameBytes - 1));
    return payload;
}

}  // namespace netfault
