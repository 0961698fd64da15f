#include "net/NetSession.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "engine/QuillLogger.h"
#include "net/NetTrace.h"
#include "net/PosixSockets.h"

namespace {

void CopyField(char* target, size_t size, const char* source)
{
    std::memset(target, 0, size);
    std::strncpy(target, source, size - 1);
}

void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

uint32_t GetU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The first bytes of what a peer sent, for the log line that drops it.
std::string HexPreview(const uint8_t* bytes, size_t count)
{
    std::string text;
    for (size_t i = 0; i < std::min<size_t>(count, 16); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", unsigned(bytes[i]));
        text += hex;
    }
    return text;
}

}  // namespace

NetSession::NetSession(const char* sessionPassword, const char* playerName)
{
    CopyField(password, sizeof password, sessionPassword ? sessionPassword : "");
    // A name longer than the field is cut so that its terminating zero travels.
    CopyField(name, sizeof name, playerName ? playerName : "anonymous");
}

NetSession::~NetSession()
{
    Shutdown();
}

void NetSession::UseSocketSys(std::unique_ptr<ISocketSys> sys)
{
    sockets = std::move(sys);
}

double NetSession::Now() const
{
    if (clock)
        return clock();
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool NetSession::Init(AuthenticatedHandler authenticated, MessageHandler message, DroppedHandler dropped)
{
    onAuthenticated = std::move(authenticated);
    onMessage = std::move(message);
    onDropped = std::move(dropped);
    if (!sockets)
        sockets = std::make_unique<SocketSysPosix>();
    received.payload.Resize(kReceiveBufferBytes);
    return sockets->Init();
}

bool NetSession::Host(bool blocking)
{
    isServer = true;
    // Address reuse, or the port stays taken for a minute after a game with a
    // second player, whose connection the host closes first.
    if (sockets && !listener)
        listener = sockets->Listen(port, kBacklog, true, blocking, true, nullptr);
    authenticated = challengeDone = false;
    if (!listener)
        Quill::Logger()->Log("cannot listen on port %u", unsigned(port));
    return listener != nullptr;
}

bool NetSession::Connect(const char* host, bool blocking)
{
    isServer = false;
    authenticated = challengeDone = false;
    if (!sockets || !host)
        return false;
    connection = sockets->Connect(host, port, true, blocking, nullptr);
    if (!connection)
        return false;
    peerAddress = host;
    connectedAt = lastHeard = Now();
    inbox.clear();
    inboxStart = 0;
    unsent.clear();
    return true;
}

bool NetSession::CheckPassword(const char* candidate) const
{
    return candidate && std::strncmp(candidate, password, kPasswordBytes) == 0;
}

bool NetSession::SendMessage(NetMessage* message)
{
    // Game messages flow only after the login; the handshake uses SendFrame.
    if (!connection || !authenticated || !message)
        return false;
    const NetStream& payload = message->payload;
    return SendFrame(message->type, payload.GetData(), payload.GetLength());
}

void NetSession::SendEmpty(int32_t type)
{
    SendFrame(type, nullptr, 0);
}

bool NetSession::SendFrame(int32_t type, const uint8_t* payload, uint32_t length)
{
    if (!connection)
        return false;
    if (trace)
        trace->Record(Now(), true, type, length, payload);
    uint8_t header[kHeaderBytes];
    PutU32(header, uint32_t(type));
    PutU32(header + 4, length);
    // Queued behind anything still unsent so that frames keep their order.
    unsent.insert(unsent.end(), header, header + kHeaderBytes);
    if (length > 0)
        unsent.insert(unsent.end(), payload, payload + length);
    if (unsent.size() > kMaxUnsentBytes) {
        DropPeer("the peer has not read " + std::to_string(unsent.size()) + " bytes we sent");
        return false;
    }
    return FlushUnsent();
}

bool NetSession::FlushUnsent()
{
    size_t done = 0;
    while (connection && done < unsent.size()) {
        const uint32_t chunk = uint32_t(std::min<size_t>(unsent.size() - done, 1u << 20));
        const int r = connection->Send(unsent.data() + done, chunk);
        if (r < 0) {
            ConnectionBroken();
            return false;
        }
        if (r == 0)
            break;
        done += size_t(r);
    }
    if (connection)
        unsent.erase(unsent.begin(), unsent.begin() + long(done));
    return connection != nullptr;
}

void NetSession::FillInbox(size_t& budget)
{
    // Consumed bytes are dropped before the inbox grows again.
    if (inboxStart > 0) {
        inbox.erase(inbox.begin(), inbox.begin() + long(inboxStart));
        inboxStart = 0;
    }
    uint8_t chunk[8192];
    while (budget > 0 && !linkBroken) {
        const int r = connection->Receive(chunk, uint32_t(std::min(budget, sizeof chunk)));
        if (r < 0) {
            // What came before the break is still handed on.
            linkBroken = true;
            break;
        }
        if (r == 0)
            break;
        inbox.insert(inbox.end(), chunk, chunk + r);
        budget -= size_t(r);
        // Enough for the frame in hand; the rest waits for the next call.
        if (inbox.size() >= kHeaderBytes + kMaxPayload)
            break;
    }
}

int NetSession::ReceiveMessage(NetMessage* out)
{
    if (!connection || !out)
        return 0;
    size_t budget = kMaxBytesPerUpdate;
    return ReceiveFrame(*out, budget);
}

int NetSession::ReceiveFrame(NetMessage& out, size_t& budget)
{
    if (inbox.size() - inboxStart < kHeaderBytes)
        FillInbox(budget);
    if (inbox.size() - inboxStart < kHeaderBytes)
        return WaitOrBreak();
    const uint8_t* header = inbox.data() + inboxStart;
    const int32_t type = int32_t(GetU32(header));
    const uint32_t length = GetU32(header + 4);
    // Such a header cannot come from a well-behaved peer, and nothing after
    // it could be trusted to start a frame.
    if (length > kMaxPayload || type < 0) {
        DropPeer("the peer sent a frame header announcing " + std::to_string(length) + " bytes of type " +
                 std::to_string(type) + " (" + HexPreview(header, inbox.size() - inboxStart) + ")");
        return -1;
    }
    if (inbox.size() - inboxStart < kHeaderBytes + length)
        FillInbox(budget);
    if (inbox.size() - inboxStart < kHeaderBytes + length)
        return WaitOrBreak();
    const uint8_t* body = inbox.data() + inboxStart + kHeaderBytes;
    out.type = type;
    // Sized to the frame, empty ones included: a handler must not read the
    // zeros of an earlier, longer message as fields of this one.
    out.payload.Resize(length);
    out.payload.WriteBytes(body, length);
    if (trace)
        trace->Record(Now(), false, type, length, body);
    inboxStart += kHeaderBytes + length;
    return int(kHeaderBytes + length);
}

int NetSession::WaitOrBreak()
{
    if (!linkBroken)
        return 0;
    ConnectionBroken();
    return -1;
}

void NetSession::Update()
{
    if (!sockets)
        return;
    if (isServer && !connection && listener) {
        connection = listener->Accept();
        if (!connection)
            return;
        Quill::Logger()->Log("a player is connecting");
        authenticated = challengeDone = false;
        inbox.clear();
        inboxStart = 0;
        unsent.clear();
        connectedAt = lastHeard = Now();
    }
    if (!connection || !FlushUnsent())
        return;
    if (isServer && !challengeDone) {
        challengeDone = true;
        SendEmpty(MSG_CHALLENGE);
    }
    size_t budget = kMaxBytesPerUpdate;
    while (connection) {
        const int r = ReceiveFrame(received, budget);
        if (r <= 0)
            break;
        lastHeard = Now();
        frameBegunAt = -1.0;
        if (authenticated) {
            if (onMessage)
                onMessage(&received);
        } else {
            HandleBeforeLogin(received);
        }
        received.payload.Clear();
    }
    CheckDeadlines();
}

void NetSession::HandleBeforeLogin(NetMessage& message)
{
    NetStream& payload = message.payload;
    if (isServer) {
        if (message.type != MSG_LOGIN)
            return;
        char offered[kPasswordBytes] = {};
        char peerName[kNameBytes] = {};
        payload.Read(offered, kPasswordBytes);
        payload.Read(peerName, kNameBytes);
        peerName[kNameBytes - 1] = '\0';
        offered[kPasswordBytes - 1] = '\0';
        if (!CheckPassword(offered)) {
            Quill::Logger()->Log(
                "a player offered the wrong password; refusing the login and dropping the connection");
            SendEmpty(MSG_LOGIN_FAILED);
            Disconnect();
            return;
        }
        SendFrame(MSG_LOGIN_ACCEPTED, reinterpret_cast<const uint8_t*>(name), kNameBytes);
        if (!connection)
            return;
        authenticated = true;
        if (onAuthenticated)
            onAuthenticated(peerName);
        return;
    }
    if (!challengeDone && message.type == MSG_CHALLENGE) {
        uint8_t login[kPasswordBytes + kNameBytes];
        std::memcpy(login, password, kPasswordBytes);
        std::memcpy(login + kPasswordBytes, name, kNameBytes);
        challengeDone = true;
        SendFrame(MSG_LOGIN, login, sizeof login);
    } else if (message.type == MSG_LOGIN_ACCEPTED) {
        char hostName[kNameBytes] = {};
        payload.Read(hostName, kNameBytes);
        hostName[kNameBytes - 1] = '\0';
        authenticated = true;
        if (onAuthenticated)
            onAuthenticated(hostName);
    } else if (message.type == MSG_LOGIN_FAILED) {
        Quill::Logger()->Log("Network error: Authentication Failed");
        ConnectionBroken();
        if (onAlert)
            onAlert("Authentication Failed");
    }
}

void NetSession::CheckDeadlines()
{
    if (!connection)
        return;
    const double now = Now();
    const size_t partial = inbox.size() - inboxStart;
    if (partial == 0)
        frameBegunAt = -1.0;
    else if (frameBegunAt < 0.0)
        frameBegunAt = now;
    // What was waiting tells a stalled peer from a slow one in the log.
    auto drop = [this, partial](std::string why) {
        if (partial > 0)
            why += " (" + std::to_string(partial) + " bytes of an unfinished frame waiting)";
        DropPeer(why);
    };
    if (!authenticated && now - connectedAt > kLoginDeadlineMs)
        drop(isServer ? "the connecting player did not log in within 5 s"
                      : "the host did not accept our login within 5 s");
    else if (authenticated && now - lastHeard > kIdleDeadlineMs)
        drop("no complete frame has come from the peer for 10 s");
    else if (frameBegunAt >= 0.0 && now - frameBegunAt > kFrameDeadlineMs)
        drop("the peer began a frame more than 5 s ago and has not finished it");
}

void NetSession::ConnectionBroken()
{
    if (onDropped)
        onDropped();
    Disconnect();
}

void NetSession::DropPeer(const std::string& why)
{
    Quill::Logger()->Log("%s; dropping the connection", why.c_str());
    ConnectionBroken();
}

void NetSession::Disconnect()
{
    if (connection && sockets)
        sockets->CloseClient(connection);
    connection = nullptr;
    authenticated = challengeDone = linkBroken = false;
    frameBegunAt = -1.0;
    inbox.clear();
    inboxStart = 0;
    unsent.clear();
}

void NetSession::PlayAlone()
{
    Disconnect();
    isServer = true;
}

void NetSession::StopHost()
{
    Disconnect();
    if (listener && sockets)
        sockets->CloseServer(listener);
    listener = nullptr;
}

void NetSession::Shutdown()
{
    Disconnect();
    StopHost();
    if (sockets) {
        sockets->Shutdown();
        sockets.reset();
    }
}
