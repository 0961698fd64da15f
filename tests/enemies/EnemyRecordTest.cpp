#include <cstring>

#include "items/Arrow.h"
#include "net/NetStream.h"
#include "tests/enemies/EnemyTestSupport.h"

namespace {

using EnemyRecordTest = EnemyTest;

const Kind kAll[] = {BLUE_KRILLOP, RED_KRILLOP, BLUE_GORLAK, NERRIT, BAT, SKELETON, SNAKE};
const Vec2 kFrom(116.0f * 32.0f, 80.0f * 32.0f);

// The record of an enemy at tile (116, 80) facing right toward `destination`.
std::vector<uint8_t> Record(Kind kind, Vec2 destination)
{
    EntityRef<Enemy> e = NewEnemy(kind, nullptr);
    e->SetUID(42);
    e->SetPosition(kFrom);
    e->SetDirection(3);
    e->destination = destination;
    e->health = 1.5f;
    e->frameBase = 6;
    e->frame = 1.25f;
    e->spawnDelay = 0.0f;
    e->speed = 100.0f;
    NetStream s(128);
    EXPECT_TRUE(e->WriteState(&s));
    return std::vector<uint8_t>(s.GetData(), s.GetData() + s.GetLength());
}

bool Read(Enemy& e, const std::vector<uint8_t>& bytes, size_t length = 52)
{
    NetStream s{uint32_t(length)};
    s.Write(bytes.data(), uint8_t(length));
    return e.ReadState(&s);
}

}  // namespace

TEST_F(EnemyRecordTest, EveryKindSends52LittleEndianBytesAndRefusesAShortRecord)
{
    for (Kind kind : kAll) {
        SCOPED_TRACE(KindName(kind));
        const std::vector<uint8_t> bytes = Record(kind, Vec2(3680.0f, 2560.0f));
        ASSERT_EQ(bytes.size(), 52u);
        // uid 42, x 3712, direction 3, enemy flag, destination x 3680, health 1.5, frame base 6, speed 100.
        const std::pair<int, uint8_t> fields[] = {{0, 42},    {10, 0x68}, {11, 0x45}, {16, 3},
                                                  {20, 1},    {26, 0x66}, {27, 0x45}, {34, 0xC0},
                                                  {35, 0x3F}, {36, 6},    {50, 0xC8}, {51, 0x42}};
        for (const auto& [offset, byte] : fields) EXPECT_EQ(bytes[offset], byte) << offset;
        EntityRef<Enemy> copy = NewEnemy(kind, &client);
        copy->SetUID(42);
        EXPECT_FALSE(copy->WriteState(nullptr));
        EXPECT_FALSE(copy->ReadState(nullptr));
        for (size_t shortLength : {0, 23, 40, 51})
            EXPECT_FALSE(Read(*copy, bytes, shortLength)) << shortLength;
        ASSERT_TRUE(Read(*copy, bytes));
        NetStream again(128);
        ASSERT_TRUE(copy->WriteState(&again));
        EXPECT_EQ(std::vector<uint8_t>(again.GetData(), again.GetData() + again.GetLength()), bytes);
    }
}

TEST_F(EnemyRecordTest, ARecordWithAPlaceFrameOrSpeedTheEnemyCannotUseEndsTheRead)
{
    const Vec2 to = kFrom + Vec2(64.0f, 0.0f);
    EntityRef<Enemy> copy = NewEnemy(RED_KRILLOP, &client);
    copy->SetUID(42);
    ASSERT_TRUE(Read(*copy, Record(RED_KRILLOP, to)));
    // A destination off the map: the enemy would walk there and leave it.
    EXPECT_FALSE(Read(*copy, Record(RED_KRILLOP, Vec2(1e30f, 0.0f))));
    EXPECT_EQ(copy->destination, to);
    // A frame base, frame or speed out of range, each at its offset.
    auto refused = [&](size_t offset, auto value) {
        std::vector<uint8_t> bytes = Record(RED_KRILLOP, to);
        std::memcpy(bytes.data() + offset, &value, 4);
        return !Read(*copy, bytes);
    };
    EXPECT_TRUE(refused(40, 1e9f) && refused(40, -1.0f) && refused(48, -50.0f) && refused(48, 1e9f));
    const int32_t base = 5000;
    EXPECT_TRUE(refused(36, base));
    EXPECT_NE(copy->frameBase, base);
    EXPECT_FLOAT_EQ(copy->speed, 100.0f);
    // A hovering Bat sends speed 0.
    EXPECT_FALSE(refused(48, 0.0f));
    EXPECT_FLOAT_EQ(copy->speed, 0.0f);
}

TEST_F(EnemyRecordTest, AReplicaWalksToTheRecordsDestinationAndSendsNothing)
{
    AddHero();
    const Vec2 to = kFrom + Vec2(64.0f, 0.0f);
    for (Kind kind : {BLUE_KRILLOP, RED_GORLAK, BAT, SKELETON, SNAKE}) {
        SCOPED_TRACE(KindName(kind));
        Enemy* replica = NewEnemy(kind, &client);
        replica->SetRemote(true);
        replica->SetUID(42);
        world->AddEntity(replica, false);
        ASSERT_TRUE(Read(*replica, Record(kind, to)));
        int deciding = 0, frames = 0;
        for (; replica->GetPosition() != to && frames < 200; ++frames) {
            deciding += replica->GetState() == 4;
            RunFrames(1);
        }
        EXPECT_EQ(deciding, 1);
        // 64 pixels at the record's 100 px/s; a Bat flies at its own 85.
        EXPECT_NEAR(frames, kind == BAT ? 48 : 41, 2);
        RunFrames(30);
        EXPECT_EQ(replica->GetPosition(), to);
        EXPECT_EQ(replica->GetState(), 5);

        // In the tick after a record arrives, the replica stands.
        ASSERT_TRUE(Read(*replica, Record(kind, to)));
        replica->SetNetUpdated();
        RunFrames(1);
        EXPECT_EQ(replica->GetPosition(), kFrom);
        RunFrames(1);
        EXPECT_GT(replica->GetPosition().x, kFrom.x);
        replica->Dead();
    }
    // Out of the local hero's sight, a Gorlak's replica stays where its last record put it.
    world->SetPlayer(nullptr);
    Enemy* unseen = NewEnemy(RED_GORLAK, &client);
    unseen->SetRemote(true);
    world->AddEntity(unseen, false);
    ASSERT_TRUE(Read(*unseen, Record(RED_GORLAK, to)));
    RunFrames(60);
    EXPECT_EQ(unseen->GetPosition(), kFrom);
    // Spawned but never streamed (the host's own screen): it stays on its tile.
    for (Kind kind : {BLUE_KRILLOP, BAT, SKELETON}) {
        Enemy* placed = Place(NewEnemy(kind, &client), 120, 80);
        placed->SetRemote(true);
        RunFrames(120);
        EXPECT_EQ(placed->GetPosition(), Vec2(3840.0f, 2560.0f)) << KindName(kind);
        placed->Dead();
    }
    EXPECT_TRUE(client.sent.empty());
}

TEST_F(EnemyRecordTest, EventFiveTurnsAReplicaWhichFiresItsOwnShotAndSendsNothing)
{
    AddHero();
    const struct {
        Kind kind;
        int shotAfter;  // frames; -1: it has no shot
        float shotSpeed;
    } kinds[] = {{RED_KRILLOP, 31, 350.0f}, {RED_GORLAK, 31, 250.0f}, {SKELETON, 31, 350.0f},
                 {BAT, 31, 350.0f},         {NERRIT, 0, 225.0f},      {SNAKE, -1, 0.0f}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(KindName(k.kind));
        Enemy* e = Add(k.kind, 116, 80, &client);
        e->SetRemote(true);
        e->destination = e->GetPosition();
        RunFrames(3);
        int32_t down = 1;
        e->SendEvent(5, &down, nullptr);
        EXPECT_EQ(e->GetDirection(), 1);
        EXPECT_EQ(e->GetState(), 8);
        // The Nerrit aims at the hero (to the right) rather than the way it faces.
        const int shotDir = k.kind == NERRIT ? 3 : 1;
        int frames = 0;
        for (; Shots<Projectile>(shotDir).empty() && frames < 60; ++frames) {
            RunFrames(1);
            EXPECT_TRUE(frames > 0 || k.shotAfter >= 0 || e->GetState() == 4);  // no shot: it decides at once
        }
        const std::vector<Entity*> shots = Shots<Projectile>(shotDir);
        EXPECT_NEAR(frames, k.shotAfter < 0 ? 60 : k.shotAfter, 1);
        ASSERT_EQ(shots.size(), k.shotAfter < 0 ? 0u : 1u);
        EXPECT_TRUE(shots.empty() || shots[0]->speed == k.shotSpeed);
        EXPECT_TRUE(k.kind != RED_GORLAK || static_cast<Arrow*>(shots[0])->owner.get() == e);
        EXPECT_EQ(e->GetState(), k.kind == NERRIT ? 8 : 5);
        e->Dead();
        RunFrames(60);
    }
    EXPECT_TRUE(client.sent.empty());
}
