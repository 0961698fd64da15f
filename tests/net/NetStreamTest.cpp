#include <gtest/gtest.h>

#include <cstring>

#include "net/NetStream.h"

TEST(NetStream, WritesStopAtCapacityAndLeaveTheStreamUnchanged)
{
    NetStream s(4);
    const uint8_t four[4] = {1, 2, 3, 4};
    EXPECT_TRUE(s.Write(four, 4));
    EXPECT_FALSE(s.Write(four, 1));
    EXPECT_EQ(s.GetLength(), 4u);

    NetStream t(8);
    EXPECT_TRUE(t.WriteU32(0x11111111u));
    EXPECT_TRUE(t.WriteU32(0x22222222u));
    EXPECT_TRUE(t.Write(four, 4, 0));  // rewinds: the length shrinks to the rewritten field
    EXPECT_EQ(t.GetLength(), 4u);
    EXPECT_EQ(t.GetData()[0], 1);

    // An offset beyond the buffer is refused, not followed.
    EXPECT_FALSE(t.Write(four, 1, 9));
    uint8_t out;
    EXPECT_FALSE(t.Read(&out, 1, 9));
}

TEST(NetStream, TypedFieldsAreLittleEndianAndReadsAreBoundedByCapacity)
{
    NetStream s(16);
    ASSERT_TRUE(s.WriteU32(0x04030201u));
    ASSERT_TRUE(s.WriteF32(1.5f));
    ASSERT_TRUE(s.WriteI32(-2));
    const uint8_t expected[4] = {1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(s.GetData(), expected, 4), 0);
    EXPECT_EQ(s.GetData()[7], 0x3f);  // 1.5f = 0x3fc00000

    uint32_t u;
    float f;
    int32_t i;
    ASSERT_TRUE(s.ReadU32(u));
    ASSERT_TRUE(s.ReadF32(f));
    ASSERT_TRUE(s.ReadI32(i));
    EXPECT_EQ(u, 0x04030201u);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(i, -2);

    // Never written but inside the capacity: reads the zeroed buffer.
    uint32_t unwritten = 7;
    EXPECT_TRUE(s.ReadU32(unwritten));
    EXPECT_EQ(unwritten, 0u);
    // Past the capacity: fails and leaves the target alone.
    uint32_t beyond = 7;
    EXPECT_FALSE(s.ReadU32(beyond));
    EXPECT_EQ(beyond, 7u);

    uint32_t peeked = 0;
    EXPECT_TRUE(s.Peek(&peeked, 4, 0));
    EXPECT_EQ(peeked, 0x04030201u);
    EXPECT_EQ(s.GetReadOffset(), 0u);
}

TEST(NetStream, ResizeDropsContentsAndClearZeroes)
{
    NetStream s(8);
    s.WriteU32(99);
    s.Resize(96);
    EXPECT_EQ(s.GetLength(), 0u);
    EXPECT_EQ(s.GetCapacity(), 96u);
    s.WriteU32(5);
    s.Clear();
    uint32_t v = 1;
    EXPECT_TRUE(s.ReadU32(v));
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(s.GetLength(), 0u);
}

TEST(NetStream, WriteBytesTakesMoreThanOneWriteAllOrNothing)
{
    std::vector<uint8_t> bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i);
    NetStream s(300);
    EXPECT_FALSE(NetStream(299).WriteBytes(bytes.data(), 300));
    ASSERT_TRUE(s.WriteBytes(bytes.data(), 300));
    EXPECT_EQ(s.GetLength(), 300u);
    EXPECT_EQ(std::vector<uint8_t>(s.GetData(), s.GetData() + 300), bytes);
}
