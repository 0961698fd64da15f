#include "app/RecordedSockets.h"

#include <cstring>

#include "app/RunRecorder.h"
#include "app/RunReplayer.h"

namespace {

class RecordingClient : public ITCPClientSocket {
public:
    RecordingClient(ITCPClientSocket* inner, RunRecorder& recorder) : inner(inner), recorder(recorder) {}
    int Send(const void* buffer, uint32_t length) override
    {
        const int r = inner->Send(buffer, length);
        // Only a send the socket did not take whole is kept: what the game
        // sends is its own doing, and a replay must not hang on its count.
        if (r != int(length))
            recorder.AddCall(NetCall::Send, r);
        return r;
    }
    int Receive(void* buffer, uint32_t length) override
    {
        const int r = inner->Receive(buffer, length);
        recorder.AddCall(NetCall::Receive, r, buffer, r > 0 ? size_t(r) : 0);
        return r;
    }
    bool GetNoDelay() override { return inner->GetNoDelay(); }
    bool SetNoDelay(bool on) override { return inner->SetNoDelay(on); }
    bool SetBlocking(bool blocking) override { return inner->SetBlocking(blocking); }
    ITCPClientSocket* const inner;

private:
    RunRecorder& recorder;
};

class RecordingServer : public ITCPServerSocket {
public:
    RecordingServer(ITCPServerSocket* inner, RunRecorder& recorder) : inner(inner), recorder(recorder) {}
    ITCPClientSocket* Accept() override
    {
        ITCPClientSocket* s = inner->Accept();
        recorder.AddCall(NetCall::Accept, s ? 1 : 0);
        return s ? new RecordingClient(s, recorder) : nullptr;
    }
    ITCPServerSocket* const inner;

private:
    RunRecorder& recorder;
};

// Sends are taken whole unless the recording says otherwise; a receive the
// recording does not hold reads as a broken connection.
class ReplayClient : public ITCPClientSocket {
public:
    explicit ReplayClient(RunReplayer& replayer) : replayer(replayer) {}
    int Send(const void*, uint32_t length) override
    {
        const RecordedCall* c = replayer.TakeIfNext(NetCall::Send, length);
        return c ? c->result : int(length);
    }
    int Receive(void* buffer, uint32_t length) override
    {
        const RecordedCall* c = replayer.Take(NetCall::Receive, length);
        if (!c)
            return -1;
        if (c->result > 0)
            std::memcpy(buffer, c->bytes.data(), c->bytes.size());
        return c->result;
    }
    bool GetNoDelay() override { return true; }
    bool SetNoDelay(bool) override { return true; }
    bool SetBlocking(bool) override { return true; }

private:
    RunReplayer& replayer;
};

class ReplayServer : public ITCPServerSocket {
public:
    explicit ReplayServer(RunReplayer& replayer) : replayer(replayer) {}
    ITCPClientSocket* Accept() override
    {
        const RecordedCall* c = replayer.Take(NetCall::Accept, 1);
        return c && c->result ? new ReplayClient(replayer) : nullptr;
    }

private:
    RunReplayer& replayer;
};

}  // namespace

RecordingSocketSys::RecordingSocketSys(std::unique_ptr<ISocketSys> innerSys, RunRecorder& recorder)
    : inner(std::move(innerSys)), recorder(recorder)
{
}

RecordingSocketSys::~RecordingSocketSys() = default;

bool RecordingSocketSys::Init()
{
    const bool ok = inner->Init();
    recorder.AddCall(NetCall::Init, ok ? 1 : 0);
    return ok;
}

void RecordingSocketSys::Shutdown()
{
    inner->Shutdown();
}

bool RecordingSocketSys::Resolve(const char* host, SocketAddress* out)
{
    return inner->Resolve(host, out);
}

bool RecordingSocketSys::ReverseResolve(const SocketAddress* address, char* name, int size)
{
    return inner->ReverseResolve(address, name, size);
}

ITCPServerSocket* RecordingSocketSys::Listen(uint16_t port, int backlog, bool noDelay, bool blocking,
                                             bool reuseAddress, const uint32_t* localIp)
{
    ITCPServerSocket* s = inner->Listen(port, backlog, noDelay, blocking, reuseAddress, localIp);
    recorder.AddCall(NetCall::Listen, s ? 1 : 0);
    return s ? new RecordingServer(s, recorder) : nullptr;
}

ITCPClientSocket* RecordingSocketSys::Wrap(ITCPClientSocket* socket)
{
    recorder.AddCall(NetCall::Connect, socket ? 1 : 0);
    return socket ? new RecordingClient(socket, recorder) : nullptr;
}

ITCPClientSocket* RecordingSocketSys::ConnectAddress(const SocketAddress* target, bool noDelay, bool blocking,
                                                     const SocketAddress* local)
{
    return Wrap(inner->ConnectAddress(target, noDelay, blocking, local));
}

ITCPClientSocket* RecordingSocketSys::Connect(const char* host, uint16_t port, bool noDelay, bool blocking,
                                              const SocketAddress* local)
{
    return Wrap(inner->Connect(host, port, noDelay, blocking, local));
}

void RecordingSocketSys::CloseUDP(IUDPSocket* socket)
{
    inner->CloseUDP(socket);
}

void RecordingSocketSys::CloseServer(ITCPServerSocket* socket)
{
    auto* wrapped = static_cast<RecordingServer*>(socket);
    if (wrapped)
        inner->CloseServer(wrapped->inner);
    delete wrapped;
}

void RecordingSocketSys::CloseClient(ITCPClientSocket* socket)
{
    auto* wrapped = static_cast<RecordingClient*>(socket);
    if (wrapped)
        inner->CloseClient(wrapped->inner);
    delete wrapped;
}

IUDPSocket* RecordingSocketSys::OpenUDP(uint16_t port, bool blocking, bool reuseAddress,
                                        const uint32_t* localIp)
{
    return inner->OpenUDP(port, blocking, reuseAddress, localIp);
}

bool ReplaySocketSys::Init()
{
    const RecordedCall* c = replayer.Take(NetCall::Init, 1);
    return c && c->result;
}

ITCPServerSocket* ReplaySocketSys::Listen(uint16_t, int, bool, bool, bool, const uint32_t*)
{
    const RecordedCall* c = replayer.Take(NetCall::Listen, 1);
    return c && c->result ? new ReplayServer(replayer) : nullptr;
}

ITCPClientSocket* ReplaySocketSys::Connect(const char*, uint16_t, bool, bool, const SocketAddress*)
{
    const RecordedCall* c = replayer.Take(NetCall::Connect, 1);
    return c && c->result ? new ReplayClient(replayer) : nullptr;
}
