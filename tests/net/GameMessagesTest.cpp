#include <gtest/gtest.h>

#include "net/GameMessages.h"
#include "tests/support/TestSupport.h"

namespace {

void Fill(NetStream& s, const std::vector<uint8_t>& bytes)
{
    s.Resize(uint32_t(bytes.size()));
    s.Write(bytes.data(), uint8_t(bytes.size()));
}

}  // namespace

TEST(GameMessages, WithoutASessionThisCopyIsTheHostAndSendsNothing)
{
    EXPECT_TRUE(IsHost(nullptr));
    RecordingSession client(false);
    EXPECT_FALSE(IsHost(&client));
    SendHit(nullptr, 1, Vec2(), 1, 1, 0, 0);
    SendDeath(nullptr, 1);
}

TEST(GameMessages, FieldsTravelInOrder)
{
    RecordingSession session;
    SendHit(&session, 42, Vec2(3.0f, 4.0f), 2.0f, 0.5f, DIR_LEFT, 64);
    SendDoorOpened(&session, 4, Vec2(7.0f, 20.0f));
    SendRemove(&session, 17);
    ASSERT_EQ(session.sent.size(), 3u);

    EXPECT_EQ(session.sent[0].type, MSG_HIT);
    ASSERT_EQ(session.sent[0].bytes.size(), 28u);
    NetStream hit(0);
    Fill(hit, session.sent[0].bytes);
    uint32_t uid;
    float x, y, amount, flash;
    int32_t dir, push;
    ASSERT_TRUE(hit.ReadU32(uid) && hit.ReadF32(x) && hit.ReadF32(y) && hit.ReadF32(amount) &&
                hit.ReadF32(flash) && hit.ReadI32(dir) && hit.ReadI32(push));
    EXPECT_EQ(uid, 42u);
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(y, 4.0f);
    EXPECT_EQ(amount, 2.0f);
    EXPECT_EQ(flash, 0.5f);
    EXPECT_EQ(dir, DIR_LEFT);
    EXPECT_EQ(push, 64);

    EXPECT_EQ(session.sent[1].type, MSG_DOOR_OPENED);
    EXPECT_EQ(session.sent[1].bytes.size(), 12u);
    EXPECT_EQ(session.sent[2].type, MSG_REMOVE);
    EXPECT_EQ(session.sent[2].bytes, (std::vector<uint8_t>{17, 0, 0, 0}));
}
