#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/QuillLogger.h"
#include "net/InProcessSockets.h"
#include "net/NetSession.h"
#include "net/NetTrace.h"

namespace {

constexpr char kPassword[] = "1234567890123456789012345678901";

// What one side's session handed to the game.
struct Heard {
    std::vector<std::string> joined;
    std::vector<std::pair<int, std::vector<uint8_t>>> messages;
    std::vector<std::string> alerts;
    int drops = 0;
};

// A host and a client session joined by an in-process wire, on a clock the
// test moves by hand.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { Quill::Logger()->ClearRecent(); }

    std::unique_ptr<NetSession> Make(Heard& heard, const char* name, const char* password = kPassword)
    {
        auto s = std::make_unique<NetSession>(password, name);
        s->UseSocketSys(std::make_unique<InProcessSocketSys>(*wire));
        s->SetClock([this] { return now; });
        s->SetAlertHandler([&heard](const char* text) { heard.alerts.push_back(text); });
        s->Init([&heard](const char* peer) { heard.joined.push_back(peer); },
                [&heard](NetMessage* m) {
                    const uint8_t* d = m->payload.GetData();
                    heard.messages.push_back({m->type, {d, d + m->payload.GetLength()}});
                },
                [&heard] { ++heard.drops; });
        return s;
    }

    void Pump(int times = 4)
    {
        for (int i = 0; i < times; ++i) {
            host->Update();
            for (auto& c : clients) c->Update();
        }
    }

    // A host with one logged-in client.
    void Join()
    {
        host = Make(hostHeard, "Ada");
        ASSERT_TRUE(host->Host(false));
        clients.push_back(Make(clientHeard, "Ben"));
        ASSERT_TRUE(clients[0]->Connect("127.0.0.1", false));
        Pump();
        ASSERT_TRUE(host->IsConnected() && clients[0]->IsConnected());
    }

    static void Fill(NetMessage& m, int type, const std::vector<uint8_t>& payload)
    {
        m.type = type;
        m.payload.Resize(uint32_t(payload.size()));
        m.payload.WriteBytes(payload.data(), uint32_t(payload.size()));
    }

    static std::vector<uint8_t> Frame(int32_t type, const std::vector<uint8_t>& payload)
    {
        std::vector<uint8_t> f;
        for (uint32_t v : {uint32_t(type), uint32_t(payload.size())})
            for (int i = 0; i < 4; ++i) f.push_back(uint8_t(v >> (8 * i)));
        f.insert(f.end(), payload.begin(), payload.end());
        return f;
    }

    // A fresh wire, with nobody on it.
    void Reset()
    {
        clients.clear();
        host.reset();
        hostHeard = clientHeard = Heard();
        wire = std::make_unique<InProcessNetwork>();
        Quill::Logger()->ClearRecent();
    }

    std::unique_ptr<InProcessNetwork> wire = std::make_unique<InProcessNetwork>();
    double now = 1000.0;
    Heard hostHeard, clientHeard;
    std::unique_ptr<NetSession> host;
    std::vector<std::unique_ptr<NetSession>> clients;
};

}  // namespace

TEST_F(SessionTest, HandshakeCarriesPasswordAndNamesInTheirFields)
{
    host = Make(hostHeard, "Ada");
    ASSERT_TRUE(host->Host(false));
    clients.push_back(Make(clientHeard, std::string(70, 'x').c_str()));
    ASSERT_TRUE(clients[0]->Connect("127.0.0.1", false));
    auto link = wire->LastLink();
    host->Update();  // accepts and challenges
    EXPECT_EQ(link->ToClient().BytesInFlight(), 8u);
    clients[0]->Update();  // answers with the login
    EXPECT_EQ(link->ToServer().BytesInFlight(), 8u + 96u);
    Pump();
    EXPECT_TRUE(host->IsConnected());
    EXPECT_TRUE(clients[0]->IsConnected());
    ASSERT_EQ(clientHeard.joined, std::vector<std::string>{"Ada"});
    // A long name is cut to 63 characters so that its terminating zero travels.
    ASSERT_EQ(hostHeard.joined.size(), 1u);
    EXPECT_EQ(hostHeard.joined[0], std::string(63, 'x'));
    EXPECT_STREQ(NetSession(kPassword, nullptr).GetName(), "anonymous");
}

TEST_F(SessionTest, AWrongPasswordOrABrokenLinkEndsTheConnectionAndTheHostTakesTheNextPlayer)
{
    host = Make(hostHeard, "Ada");
    ASSERT_TRUE(host->Host(false));
    clients.push_back(Make(clientHeard, "Eve", "0000000000000000000000000000000"));
    ASSERT_TRUE(clients[0]->Connect("127.0.0.1", false));
    Pump();
    EXPECT_FALSE(host->IsConnected());
    EXPECT_FALSE(clients[0]->HasConnection());
    EXPECT_EQ(clientHeard.alerts, std::vector<std::string>{"Authentication Failed"});
    EXPECT_TRUE(hostHeard.joined.empty());

    Heard second;
    clients.push_back(Make(second, "Ben"));
    ASSERT_TRUE(clients[1]->Connect("127.0.0.1", false));
    Pump();
    EXPECT_TRUE(host->IsConnected());
    EXPECT_EQ(hostHeard.joined, std::vector<std::string>{"Ben"});

    // A broken link tells both sides; a message sent without a connection goes nowhere.
    wire->LastLink()->Cut();
    Pump();
    EXPECT_EQ(hostHeard.drops, 1);
    EXPECT_EQ(second.drops, 1);
    EXPECT_FALSE(clients[1]->HasConnection());
    NetMessage m;
    Fill(m, 0, {1, 2, 3});
    EXPECT_FALSE(clients[1]->SendMessage(&m));

    Heard third;
    clients.push_back(Make(third, "Cy"));
    ASSERT_TRUE(clients[2]->Connect("127.0.0.1", false));
    Pump();
    EXPECT_TRUE(host->IsConnected());
    EXPECT_EQ(hostHeard.joined.back(), "Cy");
}

TEST_F(SessionTest, GameMessagesWaitForTheLogin)
{
    host = Make(hostHeard, "Ada");
    ASSERT_TRUE(host->Host(false));
    clients.push_back(Make(clientHeard, "Ben"));
    ASSERT_TRUE(clients[0]->Connect("127.0.0.1", false));
    // Nor does this side send any before its login.
    NetMessage early;
    Fill(early, 0, std::vector<uint8_t>(16, 1));
    EXPECT_FALSE(clients[0]->SendMessage(&early));
    // A hero update sent before the login is dropped, not handed to the game.
    wire->LastLink()->ToServer().Inject(Frame(0, std::vector<uint8_t>(16, 1)));
    Pump();
    EXPECT_TRUE(host->IsConnected());
    EXPECT_TRUE(hostHeard.messages.empty());
}

TEST_F(SessionTest, FramesSurviveAnySplitAndArriveInOrder)
{
    std::vector<uint8_t> big(300);
    for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 7);
    // Empty, small and longer than one 255-byte write.
    const std::vector<std::pair<int, std::vector<uint8_t>>> sent = {{7, {}}, {6, {1, 2, 3, 4, 5}}, {2, big}};
    std::vector<uint8_t> bytes;
    for (const auto& m : sent) {
        auto f = Frame(m.first, m.second);
        bytes.insert(bytes.end(), f.begin(), f.end());
    }
    // Every cut point, byte by byte, and all frames in one piece.
    std::vector<std::vector<uint32_t>> schedules = {{1}, {uint32_t(bytes.size())}};
    for (uint32_t cut = 1; cut < bytes.size(); cut += 1) schedules.push_back({cut});
    for (const auto& schedule : schedules) {
        SCOPED_TRACE(schedule[0]);
        Reset();
        Join();
        auto& pipe = wire->LastLink()->ToClient();
        if (schedule[0] == 1 && schedule.size() == 1)
            pipe.SetMaxChunk(1);
        else
            pipe.SetChunks({schedule[0], 0});
        pipe.Inject(bytes);
        Pump(int(schedule[0] == 1 ? bytes.size() + 2 : 4));
        EXPECT_EQ(clientHeard.messages, sent);
        EXPECT_EQ(clientHeard.drops, 0);
    }
}

TEST_F(SessionTest, EveryFrameWaitingIsHandedOnInTheSameUpdate)
{
    Join();
    // The second frame's header comes with the first frame, its payload in a later read.
    std::vector<uint8_t> bytes = Frame(6, {1, 2, 3, 4, 5});
    const std::vector<uint8_t> second = Frame(7, std::vector<uint8_t>(10, 9));
    bytes.insert(bytes.end(), second.begin(), second.end());
    wire->LastLink()->ToClient().SetChunks({21, 0});
    wire->LastLink()->ToClient().Inject(bytes);
    clients[0]->Update();
    EXPECT_EQ(clientHeard.messages.size(), 2u);
}

TEST_F(SessionTest, PartialSendsAreFinishedInOrderButAPeerThatNeverReadsIsDropped)
{
    Join();
    wire->LastLink()->ToClient().SetSendLimit(5);
    std::vector<std::pair<int, std::vector<uint8_t>>> sent;
    for (int i = 0; i < 20; ++i) {
        sent.push_back({6, std::vector<uint8_t>(size_t(i), uint8_t(i))});
        NetMessage m;
        Fill(m, 6, sent.back().second);
        host->SendMessage(&m);
    }
    Pump(200);
    EXPECT_EQ(clientHeard.messages, sent);

    // The queue of unsent bytes is bounded.
    wire->LastLink()->ToClient().SetCapacity(1000);
    NetMessage m;
    Fill(m, 2, std::vector<uint8_t>(200));
    for (int i = 0; i < 2000 && host->IsConnected(); ++i) host->SendMessage(&m);
    EXPECT_FALSE(host->IsConnected());
    EXPECT_EQ(hostHeard.drops, 1);
    EXPECT_TRUE(Quill::Logger()->Contains("has not read"));
}

TEST_F(SessionTest, BadBytesAndStalledPeersAreDropped)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool dropped;
    };
    const std::vector<Case> cases = {
        {"largest allowed payload", Frame(2, std::vector<uint8_t>(4096)), false},
        {"one byte too long", Frame(2, std::vector<uint8_t>(4097)), true},
        {"a length past 64 KiB", Frame(2, std::vector<uint8_t>(0x10010)), true},
        {"a negative type", Frame(-5, {}), true},
        {"a type the game ignores", Frame(99, {}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        Join();
        wire->LastLink()->ToServer().Inject(c.bytes);
        Pump();
        EXPECT_EQ(host->IsConnected(), !c.dropped);
        EXPECT_EQ(hostHeard.drops, c.dropped ? 1 : 0);
        EXPECT_EQ(Quill::Logger()->Contains("dropping the connection"), c.dropped);
        EXPECT_EQ(host->IsListening(), true);
    }
}

TEST_F(SessionTest, LoginAndSilenceDeadlines)
{
    host = Make(hostHeard, "Ada");
    ASSERT_TRUE(host->Host(false));
    // A connection that never logs in: still there at 5 s, gone just after.
    InProcessSocketSys raw(*wire);
    ITCPClientSocket* silent = raw.Connect("127.0.0.1", 3203, true, false, nullptr);
    ASSERT_NE(silent, nullptr);
    host->Update();
    EXPECT_TRUE(host->HasConnection());
    now += 5000.0;
    host->Update();
    EXPECT_TRUE(host->HasConnection());
    now += 1.0;
    host->Update();
    EXPECT_FALSE(host->HasConnection());
    EXPECT_EQ(hostHeard.drops, 1);
    raw.CloseClient(silent);
    hostHeard.drops = 0;

    // Then a real player joins, and falls silent for 10 s.
    clients.push_back(Make(clientHeard, "Ben"));
    ASSERT_TRUE(clients[0]->Connect("127.0.0.1", false));
    Pump();
    ASSERT_TRUE(host->IsConnected());
    now += 10000.0;
    host->Update();
    EXPECT_TRUE(host->IsConnected());
    now += 1.0;
    host->Update();
    EXPECT_FALSE(host->IsConnected());
    EXPECT_EQ(hostHeard.drops, 1);

    // A frame once begun must be finished within 5 s, though the 10 s of
    // silence are far off.
    clients[0] = Make(clientHeard, "Ben");
    ASSERT_TRUE(clients[0]->Connect("127.0.0.1", false));
    Pump();
    ASSERT_TRUE(host->IsConnected());
    wire->LastLink()->ToServer().Inject({99, 0, 0});
    host->Update();
    now += 5000.0;
    host->Update();
    EXPECT_TRUE(host->IsConnected());
    now += 1.0;
    host->Update();
    EXPECT_FALSE(host->IsConnected());
    EXPECT_EQ(hostHeard.drops, 2);
}

TEST_F(SessionTest, AJoinerWhoseHostNeverAnswersGivesUpAfterFiveSeconds)
{
    // Something listens but never challenges: the joiner is told it is alone.
    InProcessSocketSys raw(*wire);
    ITCPServerSocket* mute = raw.Listen(3203, 1, true, false, false, nullptr);
    clients.push_back(Make(clientHeard, "Ben"));
    ASSERT_TRUE(clients[0]->Connect("127.0.0.1", false));
    clients[0]->Update();
    now += 5001.0;
    clients[0]->Update();
    EXPECT_FALSE(clients[0]->HasConnection());
    EXPECT_EQ(clientHeard.drops, 1);
    raw.CloseServer(mute);
}

TEST(NetTrace, OneLinePerFrame)
{
    const uint8_t payload[20] = {0xAB, 1, 2};
    EXPECT_EQ(NetTrace::Format(12.5, true, 156, 20, payload),
              "12.500 send 156 20 ab010200000000000000000000000000..");
    EXPECT_EQ(NetTrace::Format(0, false, 7, 0, nullptr), "0.000 recv 7 0");
}
