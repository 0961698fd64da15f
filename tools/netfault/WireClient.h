#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace netfault {

// A raw TCP connection to a game on 127.0.0.1 that speaks the frame format
// and handshake by hand, so that it can also break them on purpose.
class WireClient {
public:
    WireClient() = default;
    ~WireClient();
    WireClient(const WireClient&) = delete;
    WireClient& operator=(const WireClient&) = delete;

    bool Connect(uint16_t port, int timeoutMs);
    void Close();
    bool IsOpen() const { return fd >= 0; }

    // False once the host has closed the connection.
    bool Send(const std::vector<uint8_t>& bytes);
    bool SendFrame(int32_t type, const std::vector<uint8_t>& payload);
    // The next whole frame within the time; false on time-out or a closed link.
    bool ReadFrame(int32_t& type, std::vector<uint8_t>& payload, int timeoutMs);
    // Waits for the challenge, logs in and waits for the answer: true when
    // accepted. `refused` tells a refusal apart from silence.
    bool LogIn(const std::string& password, const std::string& name, int timeoutMs, bool* refused = nullptr);
    // Reads and throws away what comes until the host closes the link: true
    // when it did within the time.
    bool WaitClosed(int timeoutMs);

    static std::vector<uint8_t> Frame(int32_t type, const std::vector<uint8_t>& payload);
    // The login frame's payload: the password and name in their fixed fields.
    static std::vector<uint8_t> LoginPayload(const std::string& password, const std::string& name);

private:
    // Moves what the socket has into `pending`; false when the link is gone.
    bool Pull(int timeoutMs);

    int fd = -1;
    bool closedByPeer = false;
    std::vector<uint8_t> pending;
};

// Milliseconds of the monotonic clock, the one the game's frame log uses.
double NowMs();
void SleepMs(double ms);

}  // namespace netfault
