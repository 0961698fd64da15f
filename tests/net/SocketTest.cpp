#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "net/InProcessSockets.h"
#include "net/PosixSockets.h"

namespace {

// Loopback delivery is not instant on every kernel: retry a while before
// taking "nothing" as the answer.
template <typename Call>
auto Eventually(Call call)
{
    auto result = call();
    for (int i = 0; i < 2000 && !result; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        result = call();
    }
    return result;
}

std::string ReceiveText(ITCPClientSocket* socket, size_t length)
{
    std::string text;
    char buffer[64];
    while (text.size() < length) {
        const int got = Eventually([&] { return socket->Receive(buffer, uint32_t(length - text.size())); });
        if (got <= 0)
            break;
        text.append(buffer, size_t(got));
    }
    return text;
}

uint32_t Loopback()
{
    SocketAddress address;
    address.ParseDottedQuad("127.0.0.1");
    return address.ip;
}

}  // namespace

TEST(SocketAddress, DottedQuadsAreRecognisedAndParsedIntoNetworkOrder)
{
    struct Case {
        const char* text;
        bool dotted;
        bool parses;
    };
    const Case cases[] = {
        {"127.0.0.1", true, true},          {"255.255.255.255", true, true}, {"0.0.0.0", true, true},
        {"256.1.1.1", true, false},         {"1..2.3", true, false},         {"1.2.3.", true, false},
        {"1.2.3.4.5", false, false},        {"1.2.3", false, false},         {"", false, false},
        {"0000000001.2.3.4", false, false},  // 16 characters
        {"localhost", false, false},        {"1.2.3.a", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SocketAddress::IsDottedQuad(c.text), c.dotted);
        SocketAddress address;
        address.ip = 0xdeadbeef;
        EXPECT_EQ(address.ParseDottedQuad(c.text), c.parses);
        if (!c.parses) {
            EXPECT_EQ(address.ip, 0xdeadbeefu);  // left alone
        }
    }

    SocketAddress address;
    ASSERT_TRUE(address.ParseDottedQuad("10.20.30.255"));
    const uint8_t expected[4] = {10, 20, 30, 255};
    EXPECT_EQ(std::memcmp(&address.ip, expected, 4), 0);
    char text[16];
    address.Format(text);
    EXPECT_STREQ(text, "10.20.30.255");
}

TEST(PosixSockets, LoopbackConnectionsCarryBytesAndReportTheirEnd)
{
    SocketSysPosix sys;
    ASSERT_TRUE(sys.Init());
    const uint32_t loopback = Loopback();
    auto* listener = static_cast<TCPServerSocketPosix*>(sys.Listen(0, 16, true, false, false, &loopback));
    ASSERT_NE(listener, nullptr);
    EXPECT_EQ(listener->Accept(), nullptr);  // nobody waiting
    const uint16_t port = listener->LocalPort();
    ASSERT_NE(port, 0);

    for (const char* host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        ITCPClientSocket* client = sys.Connect(host, port, true, false, nullptr);
        ASSERT_NE(client, nullptr);
        EXPECT_TRUE(client->GetNoDelay());
        ITCPClientSocket* server = Eventually([&] { return listener->Accept(); });
        ASSERT_NE(server, nullptr);
        EXPECT_TRUE(server->GetNoDelay());

        char byte;
        EXPECT_EQ(server->Receive(&byte, 1), 0);  // non-blocking like its listener
        EXPECT_EQ(client->Send("", 0), 0);
        EXPECT_EQ(client->Send("hello", 5), 5);
        EXPECT_EQ(ReceiveText(server, 5), "hello");
        EXPECT_EQ(server->Send("back", 4), 4);
        EXPECT_EQ(ReceiveText(client, 4), "back");

        sys.CloseClient(client);
        EXPECT_EQ(Eventually([&] { return server->Receive(&byte, 1); }), -1);  // an orderly close is -1
        sys.CloseClient(server);
    }
    sys.CloseServer(listener);
    sys.CloseServer(nullptr);

    // The port is free again: nobody answers there now.
    EXPECT_EQ(sys.Connect("127.0.0.1", port, false, true, nullptr), nullptr);
}

TEST(PosixSockets, ConnectFailsWithNullForBadNamesAndSilentHosts)
{
    SocketSysPosix sys;
    EXPECT_EQ(sys.GetConnectTimeoutMs(), 5000);
    sys.SetConnectTimeoutMs(200);
    EXPECT_EQ(sys.Connect("256.0.0.1", 3203, true, true, nullptr), nullptr);
    EXPECT_EQ(sys.Connect(nullptr, 3203, true, true, nullptr), nullptr);

    // A listener whose queue is full drops further attempts unanswered: the
    // connect gives up instead of waiting for the system's own timeout.
    const uint32_t loopback = Loopback();
    auto* full = static_cast<TCPServerSocketPosix*>(sys.Listen(0, 0, false, true, false, &loopback));
    ASSERT_NE(full, nullptr);
    ITCPClientSocket* queued = sys.Connect("127.0.0.1", full->LocalPort(), false, true, nullptr);
    ASSERT_NE(queued, nullptr);
    EXPECT_EQ(sys.Connect("127.0.0.1", full->LocalPort(), false, true, nullptr), nullptr);
    sys.CloseClient(queued);
    sys.CloseServer(full);
}

TEST(PosixSockets, UdpDatagramsTravelOverLoopback)
{
    SocketSysPosix sys;
    const uint32_t loopback = Loopback();
    auto* udp = static_cast<UDPSocketPosix*>(sys.OpenUDP(0, false, true, &loopback));
    ASSERT_NE(udp, nullptr);
    EXPECT_EQ(udp->GetMaxMessageSize(), 65507);
    SocketAddress from;
    from.ip = 1;
    char buffer[8];
    EXPECT_EQ(udp->ReceiveFrom(&from, buffer, sizeof buffer), 0);
    EXPECT_EQ(from.ip, 0u);

    SocketAddress self;
    ASSERT_TRUE(sys.Resolve("localhost", &self));
    self.port = udp->LocalPort();
    EXPECT_EQ(udp->SendTo(&self, "ping", 4), 4);
    EXPECT_EQ(Eventually([&] { return udp->ReceiveFrom(&from, buffer, sizeof buffer); }), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");
    EXPECT_EQ(from.port, self.port);
    sys.CloseUDP(udp);
}

// ---- in-process transport ----

namespace {

struct Pair {
    InProcessNetwork net;
    InProcessSocketSys host{net};
    InProcessSocketSys join{net};
    ITCPServerSocket* listener = host.Listen(3203, 1, true, false, false, nullptr);
    ITCPClientSocket* client = join.Connect("127.0.0.1", 3203, true, false, nullptr);
    ITCPClientSocket* server = listener->Accept();
    ~Pair()
    {
        join.CloseClient(client);
        host.CloseClient(server);
        host.CloseServer(listener);
    }
    std::string Read(ITCPClientSocket* end, uint32_t length, int* result = nullptr)
    {
        char buffer[64] = {};
        const int got = end->Receive(buffer, length);
        if (result)
            *result = got;
        return std::string(buffer, size_t(got > 0 ? got : 0));
    }
};

}  // namespace

TEST(InProcessSockets, ListenersConnectionsAndNames)
{
    InProcessNetwork net;
    InProcessSocketSys sys(net);
    EXPECT_EQ(sys.Connect("localhost", 3203, true, false, nullptr), nullptr);  // nobody listens
    ITCPServerSocket* listener = sys.Listen(3203, 1, true, false, false, nullptr);
    ASSERT_NE(listener, nullptr);
    EXPECT_EQ(sys.Listen(3203, 1, true, false, false, nullptr), nullptr);  // port taken
    EXPECT_EQ(listener->Accept(), nullptr);
    EXPECT_EQ(sys.Connect("300.0.0.1", 3203, true, false, nullptr), nullptr);
    ITCPClientSocket* client = sys.Connect("anything", 3203, true, false, nullptr);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(net.Links().size(), 1u);
    EXPECT_FALSE(net.LastLink()->Accepted());

    // Closing the listener resets the connection it never handed out.
    sys.CloseServer(listener);
    EXPECT_FALSE(net.IsListening(3203));
    char byte;
    EXPECT_EQ(client->Receive(&byte, 1), -1);
    EXPECT_EQ(client->Send("x", 1), -1);
    sys.CloseClient(client);
    EXPECT_EQ(sys.OpenUDP(0, false, false, nullptr), nullptr);

    SocketAddress address;
    EXPECT_TRUE(sys.Resolve("localhost", &address));
    char name[6];
    EXPECT_TRUE(sys.ReverseResolve(&address, name, sizeof name));
    EXPECT_STREQ(name, "local");  // cut to the buffer
    EXPECT_TRUE(sys.Resolve("10.0.0.2", &address));
    EXPECT_FALSE(sys.ReverseResolve(&address, name, sizeof name));
    EXPECT_FALSE(sys.Resolve("example.org", &address));
}

TEST(InProcessSockets, DeliveryFollowsChunksHoldsAndLimits)
{
    Pair p;
    ASSERT_NE(p.server, nullptr);
    InProcessLink& link = *p.net.LastLink();
    EXPECT_TRUE(link.Accepted());

    // Chunked delivery: the list first, then the max chunk.
    link.ToServer().SetChunks({3, 0, 1});
    link.ToServer().SetMaxChunk(4);
    EXPECT_EQ(p.client->Send("abcdefghijk", 11), 11);
    const char* expected[] = {"abc", "", "d", "efgh", "ijk", ""};
    for (const char* want : expected) EXPECT_EQ(p.Read(p.server, 64), want);

    // Held bytes wait until released.
    link.ToClient().Hold(true);
    EXPECT_EQ(p.server->Send("xy", 2), 2);
    EXPECT_EQ(p.Read(p.client, 64), "");
    link.ToClient().Hold(false);
    EXPECT_EQ(p.Read(p.client, 64), "xy");

    // Partial sends, then a full pipe that would block.
    link.ToServer().SetSendLimit(2);
    link.ToServer().SetCapacity(5);
    const int sends[] = {2, 2, 1, 0};
    for (int want : sends) EXPECT_EQ(p.client->Send("12345", 5), want);
    EXPECT_EQ(link.ToServer().BytesInFlight(), 5u);
    EXPECT_EQ(p.Read(p.server, 64), "1212");  // the max chunk still applies
    EXPECT_EQ(p.Read(p.server, 64), "1");
    EXPECT_EQ(link.ToServer().BytesSent(), 16u);

    // Injected bytes go past the capacity and are not counted as sent.
    link.ToServer().Inject({'z', 'z', 'z', 'z', 'z', 'z'});
    EXPECT_EQ(p.Read(p.server, 64), "zzzz");
    EXPECT_EQ(link.ToServer().BytesSent(), 16u);
}

TEST(InProcessSockets, CloseDeliversWhatWasSentThenMinusOneAndCutBreaksBothEnds)
{
    {
        Pair p;
        EXPECT_EQ(p.client->Send("bye", 3), 3);
        p.join.CloseClient(p.client);
        p.client = nullptr;
        EXPECT_TRUE(p.net.LastLink()->ClientClosed());
        int result = 0;
        EXPECT_EQ(p.Read(p.server, 2, &result), "by");
        EXPECT_EQ(p.Read(p.server, 2, &result), "e");
        p.Read(p.server, 2, &result);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(p.server->Send("x", 1), -1);
    }
    Pair p;
    EXPECT_EQ(p.client->Send("lost", 4), 4);
    p.net.LastLink()->Cut();
    for (ITCPClientSocket* end : {p.client, p.server}) {
        int result = 0;
        p.Read(end, 4, &result);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(end->Send("x", 1), -1);
    }
}

TEST(InProcessSockets, SocketsOutliveTheirNetwork)
{
    auto net = std::make_unique<InProcessNetwork>();
    InProcessSocketSys sys(*net);
    ITCPServerSocket* listener = sys.Listen(1, 1, false, false, false, nullptr);
    ITCPClientSocket* client = sys.Connect("localhost", 1, false, false, nullptr);
    ITCPClientSocket* server = listener->Accept();
    std::shared_ptr<InProcessLink> link = net->LastLink();
    net.reset();
    EXPECT_EQ(client->Send("ok", 2), 2);
    ITCPServerSocket* second = sys.Listen(2, 1, false, false, false, nullptr);
    EXPECT_NE(second, nullptr);
    sys.CloseServer(second);
    sys.CloseClient(client);
    sys.CloseClient(server);
    sys.CloseServer(listener);
    EXPECT_TRUE(link->ClientClosed() && link->ServerClosed());
}
