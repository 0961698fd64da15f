#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/NetStream.h"
#include "net/Sockets.h"

class NetTrace;

// The link to the other copy of the game over one TCP connection: the host
// listens, the joining player connects, a password handshake runs before any
// game message is accepted, and each message travels in a frame of an 8-byte
// header (type, payload length; little-endian) and the payload. A game without
// a peer has no session at all and is its own host.
//
// Frames are reassembled across any number of receive calls and sends the
// socket takes only in part are finished on later frames, in order. Bytes
// that cannot be a frame, a login that never comes and a peer that falls
// silent drop the connection with a log line; none of them stops the frame.
class NetSession {
public:
    using AuthenticatedHandler = std::function<void(const char* peerName)>;
    using MessageHandler = std::function<void(NetMessage* message)>;
    using DroppedHandler = std::function<void()>;
    // Failures the player should see ("Authentication Failed").
    using AlertHandler = std::function<void(const char* text)>;

    enum SessionMessage : int32_t {
        MSG_CHALLENGE = 155,
        MSG_LOGIN = 156,
        MSG_LOGIN_FAILED = 157,
        MSG_LOGIN_ACCEPTED = 158,
    };

    static constexpr uint16_t kDefaultPort = 3203;
    static constexpr int kBacklog = 1024;
    static constexpr uint32_t kHeaderBytes = 8;
    static constexpr uint32_t kMaxPayload = 4096;
    static constexpr uint32_t kPasswordBytes = 32;
    static constexpr uint32_t kNameBytes = 64;
    static constexpr uint32_t kReceiveBufferBytes = 1024;
    // A connection that has not logged in by then is dropped.
    static constexpr double kLoginDeadlineMs = 5000.0;
    // An authenticated peer silent for this long is treated as gone; both
    // sides send a hero update every network tick, so silence means trouble.
    static constexpr double kIdleDeadlineMs = 10000.0;
    // A frame whose first bytes have come must be whole within this time: a
    // peer trickling tiny frames a byte at a time would otherwise beat the
    // idle deadline and hold the one place for ever.
    static constexpr double kFrameDeadlineMs = 5000.0;
    // Bytes a peer may leave unread before it is dropped (about four seconds
    // of a crowded screen's updates).
    static constexpr size_t kMaxUnsentBytes = 256 * 1024;
    // Bytes read from the socket in one Update, so that a flooding peer
    // cannot hold the frame.
    static constexpr size_t kMaxBytesPerUpdate = 256 * 1024;

    // `password` is copied (32 bytes); a null name travels as "anonymous".
    NetSession(const char* password = "", const char* name = nullptr);
    virtual ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Before Init: the socket layer to use instead of the operating system's,
    // the clock (milliseconds) for the deadlines, the port, and a trace.
    void UseSocketSys(std::unique_ptr<ISocketSys> sys);
    void SetClock(std::function<double()> nowMs) { clock = std::move(nowMs); }
    void SetPort(uint16_t p) { port = p; }
    uint16_t GetPort() const { return port; }
    void SetTrace(NetTrace* t) { trace = t; }
    void SetAlertHandler(AlertHandler handler) { onAlert = std::move(handler); }

    bool Init(AuthenticatedHandler authenticated, MessageHandler message, DroppedHandler dropped);
    bool Host(bool blocking);
    bool Connect(const char* host, bool blocking);
    // Pumps the connection once: accepts, handshakes, finishes pending sends
    // and dispatches every complete frame that is waiting. Never blocks.
    void Update();
    // Frames and sends the message; nothing without a connection.
    virtual bool SendMessage(NetMessage* message);
    // One frame into `out`: header plus payload bytes, 0 when no complete
    // frame is waiting, −1 when the connection is gone.
    int ReceiveMessage(NetMessage* out);

    virtual bool IsServer() const { return isServer; }
    // True once the handshake is done: game messages flow only then.
    virtual bool IsConnected() const { return authenticated; }
    bool HasConnection() const { return connection != nullptr; }
    bool IsListening() const { return listener != nullptr; }
    bool CheckPassword(const char* candidate) const;
    const char* GetName() const { return name; }

    void Disconnect();
    // A client whose host is gone goes on as the host of its own game.
    void PlayAlone();
    void StopHost();
    void Shutdown();

private:
    bool SendFrame(int32_t type, const uint8_t* payload, uint32_t length);
    void SendEmpty(int32_t type);
    bool FlushUnsent();
    // Reads what the socket has into the inbox, noting a broken connection.
    void FillInbox(size_t& budget);
    // No complete frame: 0 to wait for more, or −1 when no more can come.
    int WaitOrBreak();
    int ReceiveFrame(NetMessage& out, size_t& budget);
    void HandleBeforeLogin(NetMessage& message);
    void CheckDeadlines();
    // A broken connection: the application hears of it, then the socket goes.
    void ConnectionBroken();
    // A peer that broke the protocol or a deadline: logged, then dropped.
    void DropPeer(const std::string& why);
    double Now() const;

    AuthenticatedHandler onAuthenticated;
    MessageHandler onMessage;
    DroppedHandler onDropped;
    AlertHandler onAlert;
    std::unique_ptr<ISocketSys> sockets;
    ITCPClientSocket* connection = nullptr;
    ITCPServerSocket* listener = nullptr;
    bool isServer = false;
    bool authenticated = false;
    bool challengeDone = false;
    bool linkBroken = false;
    NetMessage received;
    char name[kNameBytes] = {};
    char password[kPasswordBytes] = {};

    uint16_t port = kDefaultPort;
    std::function<double()> clock;
    NetTrace* trace = nullptr;
    std::vector<uint8_t> inbox;
    size_t inboxStart = 0;
    std::vector<uint8_t> unsent;
    double connectedAt = 0.0;
    double lastHeard = 0.0;
    // When the first bytes of the frame now being assembled came; -1 for none.
    double frameBegunAt = -1.0;
    std::string peerAddress;
};
