#include <cstring>
#include <memory>

#include "net/NetStream.h"
#include "tests/player/TavinTestSupport.h"

namespace {

constexpr uint32_t kRecordBytes = 24 + 5 * 4 + 2 * 4;

// A copy of the first `length` bytes of the record.
std::unique_ptr<NetStream> Copy(const NetStream& record, uint32_t length = kRecordBytes)
{
    auto s = std::make_unique<NetStream>(length);
    s->Write(record.GetData(), uint8_t(length));
    return s;
}

}  // namespace

TEST_F(TavinTest, TheStateRecordCarriesHealthAndAnimationToTheOtherCopy)
{
    Tavin* hero = AddHero();
    hero->SetDirection(DIR_LEFT);
    hero->health = 2.5f;
    hero->maxHealth = 4.0f;
    hero->frame = 0.5f;
    hero->frameCount = 1.0f;
    NetStream s(kRecordBytes);
    ASSERT_TRUE(hero->WriteState(&s));
    Tavin* copy = AddHero(nullptr, 10, 10);
    ASSERT_TRUE(copy->ReadState(&s));
    EXPECT_EQ(copy->GetPosition(), hero->GetPosition());
    EXPECT_EQ(copy->GetDirection(), DIR_LEFT);
    EXPECT_FLOAT_EQ(copy->health, 2.5f);
    EXPECT_FLOAT_EQ(copy->maxHealth, 4.0f);
    EXPECT_EQ(copy->frameBase, 0);
    EXPECT_FLOAT_EQ(copy->frame, 0.5f);
    EXPECT_FLOAT_EQ(copy->frameCount, 1.0f);
    EXPECT_EQ(s.GetReadOffset(), kRecordBytes);
    EXPECT_FALSE(hero->WriteState(nullptr));
    EXPECT_FALSE(copy->ReadState(nullptr));

    // A record cut after the health fails, keeping the health it carried.
    hero->health = 1.5f;
    NetStream full(kRecordBytes);
    ASSERT_TRUE(hero->WriteState(&full));
    EXPECT_FALSE(copy->ReadState(Copy(full, 28).get()));
    EXPECT_FLOAT_EQ(copy->health, 1.5f);
    EXPECT_FLOAT_EQ(copy->maxHealth, 4.0f);
    // A frame the sprite lacks is not taken over.
    const int32_t badFrame = 12;
    std::memcpy(full.GetData() + 32, &badFrame, 4);
    ASSERT_TRUE(copy->ReadState(&full));
    EXPECT_EQ(copy->frameBase, 0);
    EXPECT_TRUE(LogContains("ignored unusable values"));
}

TEST_F(TavinTest, TheStateRecordCarriesTheHeldBoomerangToAClient)
{
    const Vec2 place(3900.0f, 2600.0f);
    Tavin* host = AddHero();
    NetStream record(kRecordBytes);
    ASSERT_TRUE(host->WriteState(&record));
    float written[2];
    std::memcpy(written, record.GetData() + 44, 8);
    EXPECT_EQ(Vec2(written[0], written[1]), host->GetBoomerang(0)->GetPosition());

    host->GetBoomerang(1)->SetPosition(place);
    host->boomerangIndex = 1;
    NetStream held(kRecordBytes);
    ASSERT_TRUE(host->WriteState(&held));
    std::memcpy(written, held.GetData() + 44, 8);
    EXPECT_EQ(Vec2(written[0], written[1]), place);
    host->boomerangIndex = -1;
    EXPECT_EQ(host->HeldBoomerangPosition(), Vec2(-128.0f, -128.0f));

    auto readInto = [&](Tavin* reader, int index) {
        reader->boomerangIndex = index;
        return reader->ReadState(Copy(held).get()) && reader->GetBoomerang(1)->GetPosition() == place;
    };
    RecordingSession client(false);
    Tavin* replica = AddHero(&client, 100, 80);
    // Nothing in hand, or a hand the hero does not have: nothing moves.
    for (int index : {-1, 2, 77}) EXPECT_FALSE(readInto(replica, index)) << index;
    EXPECT_TRUE(readInto(replica, 1));
    // The host flies its own boomerangs and ignores the place.
    EXPECT_FALSE(readInto(AddHero(nullptr, 100, 80), 1));
}
