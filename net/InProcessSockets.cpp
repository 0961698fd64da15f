#include "net/InProcessSockets.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <utility>

class InProcessServerSocket;

// The shared state of a network: kept alive by every socket system and
// listener made on it, so none of them dangles if the network goes first.
struct InProcessWire {
    std::map<uint16_t, InProcessServerSocket*> listeners;
    std::vector<std::shared_ptr<InProcessLink>> links;
};

// ---- pipe ----

void InProcessPipe::SetChunks(std::vector<uint32_t> sizes)
{
    chunks.assign(sizes.begin(), sizes.end());
}

void InProcessPipe::Inject(const void* data, size_t length)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + length);
}

int InProcessPipe::Write(const uint8_t* data, uint32_t length)
{
    if (readerClosed)
        return -1;
    const size_t room = capacity > bytes.size() ? capacity - bytes.size() : 0;
    const size_t count = std::min({size_t(length), size_t(sendLimit), room, size_t(INT_MAX)});
    bytes.insert(bytes.end(), data, data + count);
    sent += count;
    return int(count);
}

int InProcessPipe::Read(uint8_t* out, uint32_t length)
{
    if (held || length == 0)
        return 0;
    if (bytes.empty())
        return writerClosed ? -1 : 0;
    size_t count = std::min({size_t(length), bytes.size(), size_t(maxChunk), size_t(INT_MAX)});
    if (!chunks.empty()) {
        count = std::min(count, size_t(chunks.front()));
        chunks.pop_front();
    }
    std::copy_n(bytes.begin(), count, out);
    bytes.erase(bytes.begin(), bytes.begin() + std::ptrdiff_t(count));
    return int(count);
}

// ---- link ----

void InProcessLink::CloseEnd(bool serverEnd)
{
    (serverEnd ? toClient : toServer).writerClosed = true;
    (serverEnd ? toServer : toClient).readerClosed = true;
}

// ---- sockets ----

class InProcessClientSocket : public ITCPClientSocket {
public:
    InProcessClientSocket(std::shared_ptr<InProcessLink> link, bool serverEnd, bool noDelay)
        : link(std::move(link)), serverEnd(serverEnd), noDelay(noDelay)
    {
    }
    ~InProcessClientSocket() override { link->CloseEnd(serverEnd); }

    int Send(const void* buffer, uint32_t length) override
    {
        if (length == 0)
            return 0;
        return link->cut ? -1 : Outgoing().Write(static_cast<const uint8_t*>(buffer), length);
    }
    int Receive(void* buffer, uint32_t length) override
    {
        return link->cut ? -1 : Incoming().Read(static_cast<uint8_t*>(buffer), length);
    }
    bool GetNoDelay() override { return noDelay; }
    bool SetNoDelay(bool on) override
    {
        noDelay = on;
        return true;
    }
    bool SetBlocking(bool) override { return true; }

private:
    InProcessPipe& Outgoing() { return serverEnd ? link->toClient : link->toServer; }
    InProcessPipe& Incoming() { return serverEnd ? link->toServer : link->toClient; }

    std::shared_ptr<InProcessLink> link;
    bool serverEnd;
    bool noDelay;
};

class InProcessServerSocket : public ITCPServerSocket {
public:
    InProcessServerSocket(std::shared_ptr<InProcessWire> wire, uint16_t port, bool noDelay)
        : wire(std::move(wire)), port(port), noDelay(noDelay)
    {
    }
    ~InProcessServerSocket() override
    {
        // Connections nobody accepted are reset, as the system does.
        for (const std::shared_ptr<InProcessLink>& link : pending) link->CloseEnd(true);
        wire->listeners.erase(port);
    }

    ITCPClientSocket* Accept() override
    {
        if (pending.empty())
            return nullptr;
        std::shared_ptr<InProcessLink> link = std::move(pending.front());
        pending.pop_front();
        link->accepted = true;
        return new InProcessClientSocket(std::move(link), true, noDelay);
    }

    void Enqueue(std::shared_ptr<InProcessLink> link) { pending.push_back(std::move(link)); }

private:
    std::shared_ptr<InProcessWire> wire;
    uint16_t port;
    bool noDelay;
    std::deque<std::shared_ptr<InProcessLink>> pending;
};

// ---- network ----

InProcessNetwork::InProcessNetwork() : wire(std::make_shared<InProcessWire>()) {}

InProcessNetwork::~InProcessNetwork() = default;

const std::vector<std::shared_ptr<InProcessLink>>& InProcessNetwork::Links() const
{
    return wire->links;
}

std::shared_ptr<InProcessLink> InProcessNetwork::LastLink() const
{
    return wire->links.empty() ? nullptr : wire->links.back();
}

bool InProcessNetwork::IsListening(uint16_t port) const
{
    return wire->listeners.count(port) != 0;
}

// ---- subsystem ----

bool InProcessSocketSys::Resolve(const char* host, SocketAddress* out)
{
    if (!host || !out)
        return false;
    SocketAddress found;
    if (std::strcmp(host, "localhost") == 0)
        found.ParseDottedQuad("127.0.0.1");
    else if (!found.ParseDottedQuad(host))
        return false;
    *out = found;
    return true;
}

bool InProcessSocketSys::ReverseResolve(const SocketAddress* address, char* name, int size)
{
    SocketAddress loopback;
    loopback.ParseDottedQuad("127.0.0.1");
    if (!address || !name || size <= 0 || address->ip != loopback.ip)
        return false;
    const size_t count = std::min(size_t(size) - 1, std::strlen("localhost"));
    std::memcpy(name, "localhost", count);
    name[count] = '\0';
    return true;
}

ITCPServerSocket* InProcessSocketSys::Listen(uint16_t port, int, bool noDelay, bool, bool, const uint32_t*)
{
    if (wire->listeners.count(port))
        return nullptr;
    InProcessServerSocket* listener = new InProcessServerSocket(wire, port, noDelay);
    wire->listeners[port] = listener;
    return listener;
}

ITCPClientSocket* InProcessSocketSys::ConnectAddress(const SocketAddress* target, bool noDelay, bool,
                                                     const SocketAddress*)
{
    if (!target)
        return nullptr;
    const auto found = wire->listeners.find(target->port);
    if (found == wire->listeners.end())
        return nullptr;
    auto link = std::make_shared<InProcessLink>(target->port);
    wire->links.push_back(link);
    found->second->Enqueue(link);
    return new InProcessClientSocket(std::move(link), false, noDelay);
}

ITCPClientSocket* InProcessSocketSys::Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                                              const SocketAddress* local)
{
    SocketAddress target;
    if (!host || (SocketAddress::IsDottedQuad(host) && !target.ParseDottedQuad(host)))
        return nullptr;
    target.port = port;
    return ConnectAddress(&target, noDelay, blocking, local);
}
