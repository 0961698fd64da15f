#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "net/Sockets.h"

// A socket layer that never leaves the process, for tests, benches and
// fuzzing: one process drives both ends of a connection, step by step, with
// no operating-system sockets and no threads. Several InProcessSocketSys
// share one InProcessNetwork (the wire), one per session. Nothing ever
// blocks: a "blocking" socket behaves like a non-blocking one. UDP is not
// offered (OpenUDP gives null).

class InProcessClientSocket;
class InProcessServerSocket;

// One direction of a link: the bytes one end has sent and the other not yet
// read, and the knobs that shape their delivery.
class InProcessPipe {
public:
    static constexpr size_t kUnlimited = SIZE_MAX;

    // The most bytes each successive Receive may return; a 0 entry makes that
    // call return 0. When the list is used up, only the max chunk applies.
    void SetChunks(std::vector<uint32_t> sizes);
    // The most bytes any Receive returns (default unlimited).
    void SetMaxChunk(uint32_t bytes) { maxChunk = bytes; }
    // While held, Receive returns 0 (nothing has arrived yet).
    void Hold(bool on) { held = on; }
    // The most bytes one Send takes (default unlimited).
    void SetSendLimit(uint32_t bytes) { sendLimit = bytes; }
    // The most bytes in flight; Send takes what fits, 0 when nothing does
    // (default unlimited).
    void SetCapacity(size_t bytes) { capacity = bytes; }
    // Puts bytes on the wire as if the sending end had sent them, past every
    // limit; they do not count as sent.
    void Inject(const void* data, size_t length);
    void Inject(const std::vector<uint8_t>& data) { Inject(data.data(), data.size()); }

    size_t BytesInFlight() const { return bytes.size(); }
    // Bytes taken by Send so far.
    uint64_t BytesSent() const { return sent; }

private:
    friend class InProcessClientSocket;
    friend class InProcessLink;
    // Bytes taken, 0 when nothing fits, −1 when the reader is gone.
    int Write(const uint8_t* data, uint32_t length);
    // Bytes read, 0 when none are waiting, −1 once the writer closed and all is read.
    int Read(uint8_t* out, uint32_t length);

    std::deque<uint8_t> bytes;
    std::deque<uint32_t> chunks;
    uint32_t maxChunk = UINT32_MAX;
    uint32_t sendLimit = UINT32_MAX;
    size_t capacity = kUnlimited;
    bool held = false;
    bool writerClosed = false;
    bool readerClosed = false;
    uint64_t sent = 0;
};

// One connection: two pipes and the state of its two ends. Shared by the
// network and both ends, so it outlives whichever goes first.
class InProcessLink {
public:
    explicit InProcessLink(uint16_t port) : port(port) {}

    InProcessPipe& ToServer() { return toServer; }
    InProcessPipe& ToClient() { return toClient; }
    // Like a pulled cable once noticed: every later call on either end gives −1.
    void Cut() { cut = true; }
    bool IsCut() const { return cut; }
    bool ClientClosed() const { return toServer.writerClosed; }
    bool ServerClosed() const { return toClient.writerClosed; }
    // Whether the listener has handed out the server end.
    bool Accepted() const { return accepted; }
    uint16_t Port() const { return port; }

private:
    friend class InProcessClientSocket;
    friend class InProcessServerSocket;
    // That end sends no more and reads no more.
    void CloseEnd(bool serverEnd);

    uint16_t port;
    bool cut = false;
    bool accepted = false;
    InProcessPipe toServer;
    InProcessPipe toClient;
};

struct InProcessWire;

class InProcessNetwork {
public:
    InProcessNetwork();
    ~InProcessNetwork();
    InProcessNetwork(const InProcessNetwork&) = delete;
    InProcessNetwork& operator=(const InProcessNetwork&) = delete;

    // Every link made on this network, oldest first.
    const std::vector<std::shared_ptr<InProcessLink>>& Links() const;
    // The newest link, or null when none was made.
    std::shared_ptr<InProcessLink> LastLink() const;
    bool IsListening(uint16_t port) const;

private:
    friend class InProcessSocketSys;
    std::shared_ptr<InProcessWire> wire;
};

class InProcessSocketSys : public ISocketSys {
public:
    explicit InProcessSocketSys(InProcessNetwork& network) : wire(network.wire) {}

    bool Init() override { return true; }
    void Shutdown() override {}
    // "localhost" and dotted quads only.
    bool Resolve(const char* host, SocketAddress* out) override;
    // 127.0.0.1 is "localhost"; nothing else has a name.
    bool ReverseResolve(const SocketAddress* address, char* name, int size) override;
    // Null when the port already has a listener.
    ITCPServerSocket* Listen(uint16_t port, int backlog, bool noDelay, bool blocking, bool reuseAddress,
                             const uint32_t* localIp) override;
    // Only the port matters; null when nobody listens on it.
    ITCPClientSocket* ConnectAddress(const SocketAddress* target, bool noDelay, bool blocking,
                                     const SocketAddress* local) override;
    // The host is not looked at beyond a malformed dotted quad, which gives null.
    ITCPClientSocket* Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                              const SocketAddress* local) override;
    void CloseUDP(IUDPSocket* socket) override { delete socket; }
    void CloseServer(ITCPServerSocket* socket) override { delete socket; }
    void CloseClient(ITCPClientSocket* socket) override { delete socket; }
    IUDPSocket* OpenUDP(uint16_t, bool, bool, const uint32_t*) override { return nullptr; }

private:
    std::shared_ptr<InProcessWire> wire;
};
