#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/QuillLogger.h"
#include "items/Pushblock.h"
#include "net/GameMessages.h"
#include "net/InProcessSockets.h"
#include "net/NetSession.h"
#include "sound/SoundTable.h"
#include "tests/app/AppFixture.h"
#include "tests/player/SoundProbe.h"

namespace {

struct Received {
    int type;
    std::vector<uint8_t> bytes;
};

}  // namespace

// The application joined over the in-process wire to a bare session that
// plays the other copy of the game, sending and recording raw messages.
class NetGameTest : public AppTest {
protected:
    void Start(bool appHosts, const std::function<void()>& beforeJoin = {})
    {
        ASSERT_TRUE(SoundProbe::Load());
        RegisterGameSpawns();
        peer = std::make_unique<NetSession>(CTestApp::SessionPassword(), appHosts ? "Ben" : "Ada");
        peer->UseSocketSys(std::make_unique<InProcessSocketSys>(wire));
        peer->Init([](const char*) {},
                   [this](NetMessage* m) {
                       const uint8_t* d = m->payload.GetData();
                       heard.push_back({m->type, {d, d + m->payload.GetLength()}});
                   },
                   [] {});
        if (!appHosts) {
            ASSERT_TRUE(peer->Host(false));
        }
        world->GetEntityList().Clear();
        app->localPlayer.reset();
        app->UseSocketSys(std::make_unique<InProcessSocketSys>(wire));
        app->SetNetworked(true);
        app->SetServer(appHosts);
        app->SetPlayerName(appHosts ? "Ada" : "Ben");
        ASSERT_TRUE(app->StartNetwork());
        app->CreateLocalPlayer();
        world->SetPlayer(app->localPlayer.get());
        if (beforeJoin)
            beforeJoin();
        if (appHosts) {
            ASSERT_TRUE(peer->Connect("127.0.0.1", false));
        }
        Pump();
        ASSERT_TRUE(app->session->IsConnected());
        ASSERT_TRUE(app->RemotePlayer());
    }

    void TearDown() override
    {
        SoundProbe::StopAll();
        AppTest::TearDown();
    }

    void Pump(int frames = 3)
    {
        for (int i = 0; i < frames; ++i) {
            Frame();
            peer->Update();
        }
    }

    // Sends the peer's message, each field written as its type (uint32_t,
    // int, float, uint8_t), and lets the application take it.
    template <class... Fields>
    void Send(int type, Fields... fields)
    {
        NetMessage m;
        m.type = type;
        auto write = [&m](auto v) {
            using T = decltype(v);
            if constexpr (std::is_same_v<T, uint32_t>)
                m.payload.WriteU32(v);
            else if constexpr (std::is_same_v<T, int>)
                m.payload.WriteI32(v);
            else if constexpr (std::is_same_v<T, float>)
                m.payload.WriteF32(v);
            else
                m.payload.WriteU8(v);
        };
        (void)write;  // a hit may carry no fields
        (write(fields), ...);
        peer->SendMessage(&m);
        app->session->Update();
    }

    int CountHeard(int type) const
    {
        int n = 0;
        for (const Received& r : heard) n += r.type == type;
        return n;
    }

    InProcessNetwork wire;
    std::unique_ptr<NetSession> peer;
    std::vector<Received> heard;
};

TEST_F(NetGameTest, TheHostGetsTheJoiningHeroAndFollowsItsUpdates)
{
    Start(true);
    Tavin* guest = app->RemotePlayer();
    EXPECT_EQ(guest->GetUID(), 1u);
    EXPECT_TRUE(guest->IsRemote());
    EXPECT_EQ(guest->GetPosition(), Vec2(118 * 32.0f, 83 * 32.0f));
    EXPECT_TRUE(Quill::Logger()->Contains("Ben joined"));

    // A client's update carries no boomerang entries: 16 bytes. Impossible
    // places and directions are refused, not applied.
    Send(MSG_HERO_UPDATE, 3800.0f, 2670.0f, 3, 2.5f);
    Send(MSG_HERO_UPDATE, float(NAN), 0.0f, 1, 1.0f);
    Send(MSG_HERO_UPDATE, 10.0f, 10.0f, 9, 1.0f);
    EXPECT_EQ(guest->GetPosition(), Vec2(3800.0f, 2670.0f));
    EXPECT_EQ(guest->GetDirection(), 3);
    EXPECT_FLOAT_EQ(guest->GetHealth(), 2.5f);

    // The host's own update: position, direction, health and two boomerang
    // entries of 9 bytes each.
    heard.clear();
    app->SendPlayerUpdate();
    peer->Update();
    ASSERT_EQ(CountHeard(MSG_HERO_UPDATE), 1);
    EXPECT_EQ(heard.back().bytes.size(), 12u + 4u + 2u * 9u);
}

TEST_F(NetGameTest, APlayerWhoJoinsLateLearnsWhatIsAlreadyThere)
{
    uint32_t uid = 0;
    Start(true, [&] {
        uid = app->Spawn(2, Vec2(122, 83), -1)->GetUID();
        Screen(7, 7).doors[MapFormat::DOOR_WEST] = MapFormat::DOOR_LOCKED;
        world->OpenDoor(4, 7, 7);
    });
    ASSERT_EQ(CountHeard(MSG_SPAWN), 1);
    uint32_t spawned = 0;
    std::memcpy(&spawned, heard[0].bytes.data(), 4);
    EXPECT_EQ(spawned, uid);
    ASSERT_EQ(CountHeard(MSG_DOOR_OPENED), 1);
    const std::vector<uint8_t> door = {4, 0, 0, 0, 0, 0, 0xE0, 0x40, 0, 0, 0xE0, 0x40};  // 4, (7.0f, 7.0f)
    EXPECT_EQ(heard[1].bytes, door);
}

// Hits push and flash heroes but only hurt enemies. A client may not move a
// push-block: the host logs the message, yet still moves the block.
TEST_F(NetGameTest, TheHostTakesHitsAndLogsMessagesOnlyItMaySend)
{
    Start(true);
    Entity* enemy = app->Spawn(2, Vec2(122, 83), -1);  // a blue Krillop takes two blows
    ASSERT_NE(enemy, nullptr);
    const float enemyHealth = enemy->GetHealth(), heroHealth = Hero()->GetHealth();
    const uint32_t enemyUid = enemy->GetUID();
    // An empty hit carries no fields: nothing moves, nobody is hurt.
    const Vec2 heroAt = Hero()->GetPosition();
    Send(MSG_HIT);
    EXPECT_EQ(Hero()->GetPosition(), heroAt);
    EXPECT_FALSE(Hero()->flashing);
    for (uint32_t uid : {0u, enemyUid}) Send(MSG_HIT, uid, 3850.0f, 2656.0f, 1.0f, 0.25f, 2, 64);
    EXPECT_LT(Hero()->GetHealth(), heroHealth);
    EXPECT_EQ(Hero()->pushDistance, 64);
    EXPECT_EQ(Hero()->pushDirection, 2);
    EXPECT_TRUE(Hero()->flashing);
    EXPECT_FLOAT_EQ(Hero()->flashTime, 0.25f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_HURT));
    EXPECT_FLOAT_EQ(enemy->GetHealth(), enemyHealth - 1.0f);
    EXPECT_TRUE(enemy->flashing);
    EXPECT_EQ(enemy->pushDistance, 0);
    // A boomerang thrown on a diagonal hits in directions 4 to 7.
    enemy->flashing = false;
    Send(MSG_HIT, enemyUid, 3850.0f, 2656.0f, 0.5f, 0.25f, 6, 0);
    EXPECT_FLOAT_EQ(enemy->GetHealth(), enemyHealth - 1.5f);

    Entity* block = app->Spawn(30, Vec2(122, 84), -1);
    ASSERT_NE(block, nullptr);
    Quill::Logger()->ClearRecent();
    Send(MSG_PUSHBLOCK_MOVED, block->GetUID(), 1);
    EXPECT_TRUE(Quill::Logger()->Contains("Server received unauthorized net message:"));
    EXPECT_TRUE(Quill::Logger()->Contains("type: 12"));
    EXPECT_TRUE(static_cast<Pushblock*>(block)->HasMoved());
}

TEST_F(NetGameTest, ClientMirrorsTheHostsEntities)
{
    Start(false);
    // A spawn of type 30 at (3840, 2656) is a push-block on tile (120, 83)
    // with the host's uid.
    Send(MSG_SPAWN, 57u, 30, 3840.0f, 2656.0f, 1, uint8_t(0));
    Entity* block = app->World()->FindEntity(57);
    ASSERT_NE(block, nullptr);
    const int countBefore = app->World()->GetEntityList().Count() - 1;
    EXPECT_TRUE(block->isPushable);
    EXPECT_EQ(block->GetTile(), Vec2(120, 83));
    EXPECT_TRUE(block->IsRemote());
    EXPECT_EQ(app->NextUID(), 10);
    // A hero's uid or an impossible place is not spawned; a uid beyond 2^31
    // would be renumbered as one of this copy's own.
    Send(MSG_SPAWN, 1u, 2, 100.0f, 100.0f);
    Send(MSG_SPAWN, 58u, 2, float(INFINITY), 1.0f);
    EXPECT_EQ(app->World()->FindEntity(58), nullptr);
    Send(MSG_SPAWN, 0x80000000u, 2, 100.0f, 100.0f);
    EXPECT_EQ(app->World()->GetEntityList().Count(), countBefore + 1);
    // Deaths are for enemies: the host's hero stays.
    Send(MSG_DEATH, 0u);
    EXPECT_EQ(FindPlayer(0)->GetState(), 1);

    Send(MSG_PUSHBLOCK_MOVED, 57u, 3);
    EXPECT_TRUE(static_cast<Pushblock*>(block)->HasMoved());
    Send(MSG_ENTITY_STATE, 1u, 999u, 1, 0.0f, 0.0f, 0, 0u);
    EXPECT_TRUE(Quill::Logger()->Contains("entity not found: 999"));
    Send(MSG_PICKUP_DROP, 1, 3900.0f, 2700.0f, 5.0f);
    EXPECT_TRUE(Quill::Logger()->Contains("pickup spawned: 1 (3900.000000, 2700.000000) life: 5.000000"));

    Send(MSG_REMOVE, 57u);
    EXPECT_EQ(app->World()->FindEntity(57), nullptr);
    // The host's hero is never removed by uid, nor confused with its sword.
    Send(MSG_REMOVE, 0u);
    EXPECT_NE(FindPlayer(0), nullptr);
}

// A door the client opens opens on the host too, with the sound only on the
// screen it shows. The host fills the screen the joining hero reports once,
// and only if he is on it; a room cleared where only he stands opens on the
// host, and the client is told, but not before the host has filled it.
TEST_F(NetGameTest, DoorsScreensAndChatTheClientSends)
{
    Start(true);
    Screen(7, 7).doors[MapFormat::DOOR_NORTH] = MapFormat::DOOR_LOCKED;
    Screen(3, 3).doors[MapFormat::DOOR_SOUTH] = MapFormat::DOOR_LOCKED;
    Send(MSG_DOOR_OPENED, 2, 3.0f, 3.0f);
    EXPECT_EQ(Screen(3, 3).doors[MapFormat::DOOR_SOUTH], MapFormat::DOOR_OPEN);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_UNLOCK));
    Send(MSG_DOOR_OPENED, 1, 7.0f, 7.0f);
    EXPECT_EQ(Screen(7, 7).doors[MapFormat::DOOR_NORTH], MapFormat::DOOR_OPEN);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_UNLOCK));
    // A door message without its screen opens nothing.
    Screen(0, 0).doors[MapFormat::DOOR_SOUTH] = MapFormat::DOOR_LOCKED;
    Send(MSG_DOOR_OPENED, 2);
    EXPECT_EQ(Screen(0, 0).doors[MapFormat::DOOR_SOUTH], MapFormat::DOOR_LOCKED);
    // Chat is logged as far as its length says, with unprintable bytes as dots.
    Send(MSG_CHAT, 3u, uint8_t('a'), uint8_t(' '), uint8_t('\n'), uint8_t('z'));
    EXPECT_TRUE(Quill::Logger()->Contains("Ben: a ."));

    for (int sx : {8, 9}) Screen(sx, 7).spawnRange[1][0] = Screen(sx, 7).spawnRange[1][1] = 2;
    Screen(8, 7).doors[MapFormat::DOOR_EAST] = MapFormat::DOOR_CLEAR;
    app->RemotePlayer()->SetPosition(Vec2(8 * 16 * 32 + 200.0f, 7 * 11 * 32 + 150.0f));
    Pump();
    EXPECT_EQ(Screen(8, 7).doors[MapFormat::DOOR_EAST], MapFormat::DOOR_CLEAR);
    heard.clear();
    for (float sx : {8.0f, 8.0f, 8.0f, 9.0f}) Send(MSG_SCREEN_ENTERED, sx, 7.0f);
    int enemies[2] = {0, 0};
    const EntityList& list = app->World()->GetEntityList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Get(i)->isEnemy && list.Get(i)->GetScreen().y == 7.0f)
            ++enemies[list.Get(i)->GetScreen().x == 8.0f ? 0 : 1];
    EXPECT_EQ(enemies[0], 2);
    EXPECT_EQ(enemies[1], 0);
    Pump();
    EXPECT_EQ(Screen(8, 7).doors[MapFormat::DOOR_EAST], MapFormat::DOOR_CLEAR);
    // Its enemies dead, the room opens.
    for (int i = 0; i < list.Count(); ++i)
        if (list.Get(i)->isEnemy)
            list.Get(i)->dead = true;
    Pump();
    EXPECT_EQ(Screen(8, 7).doors[MapFormat::DOOR_EAST], MapFormat::DOOR_OPEN);
    EXPECT_GE(CountHeard(MSG_DOOR_OPENED), 1);
}

TEST_F(NetGameTest, APlayerWhoLeavesComesBackAsTheSameHero)
{
    Start(true);
    Tavin* guest = app->RemotePlayer();
    wire.LastLink()->Cut();
    Pump();
    EXPECT_TRUE(Quill::Logger()->Contains("Connection Dropped"));
    EXPECT_EQ(app->RemotePlayer(), nullptr);
    EXPECT_EQ(app->departedPlayer.get(), guest);
    EXPECT_FALSE(app->World()->GetEntityList().Remove(guest));  // out of the world

    guest->SetState(0);
    peer = std::make_unique<NetSession>(CTestApp::SessionPassword(), "Ben");
    peer->UseSocketSys(std::make_unique<InProcessSocketSys>(wire));
    peer->Init([](const char*) {}, [](NetMessage*) {}, [] {});
    ASSERT_TRUE(peer->Connect("127.0.0.1", false));
    Pump();
    EXPECT_EQ(app->RemotePlayer(), guest);
    EXPECT_EQ(guest->GetState(), 1);
    EXPECT_TRUE(app->World()->GetEntityList().Remove(guest));  // back in the world
}

TEST_F(NetGameTest, AClientWhoseHostLeavesPlaysOnAsItsOwnHost)
{
    Start(false);
    Send(MSG_SPAWN, 40u, 1, 3900.0f, 2656.0f);
    ASSERT_NE(app->World()->FindEntity(40), nullptr);
    wire.LastLink()->Cut();
    Pump();
    EXPECT_TRUE(app->IsServer());
    EXPECT_TRUE(IsHost(app->session));
    EXPECT_EQ(app->World()->FindEntity(40), nullptr);
    EXPECT_EQ(Hero()->GetUID(), 1u);
}
