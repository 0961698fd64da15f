#include <cmath>
#include <cstring>
#include <limits>

#include "net/NetStream.h"
#include "tests/player/TavinTestSupport.h"

namespace {

constexpr uint32_t kRecordBytes = 24 + 5 * 4 + 2 * 4;

}  // namespace

TEST_F(TavinTest, TheStateRecordCarriesHealthAndAnimationToTheOtherCopy)
{
    Tavin* hero = AddHero();
    hero->SetUID(1);
    hero->SetPosition(Vec2(100.5f, 200.25f));
    hero->SetDirection(DIR_LEFT);
    hero->health = 2.5f;
    hero->maxHealth = 4.0f;
    hero->frameBase = 2;
    hero->frame = 0.5f;
    hero->frameCount = 1.0f;

    NetStream s(256);
    ASSERT_TRUE(hero->WriteState(&s));
    ASSERT_EQ(s.GetLength(), kRecordBytes);
    // The boomerang entry marks that none is held.
    float bx, by;
    ASSERT_TRUE(s.Read(&bx, 4, 44) && s.Read(&by, 4, 48));
    EXPECT_FLOAT_EQ(bx, -128.0f);
    EXPECT_FLOAT_EQ(by, -128.0f);

    NetStream incoming(kRecordBytes);
    ASSERT_TRUE(incoming.Write(s.GetData(), uint8_t(s.GetLength())));
    Tavin* copy = AddHero(nullptr, 10, 10);
    copy->SetUID(1);
    ASSERT_TRUE(copy->ReadState(&incoming));
    EXPECT_EQ(copy->GetPosition(), Vec2(100.5f, 200.25f));
    EXPECT_EQ(copy->GetDirection(), DIR_LEFT);
    EXPECT_FLOAT_EQ(copy->health, 2.5f);
    EXPECT_FLOAT_EQ(copy->maxHealth, 4.0f);
    EXPECT_EQ(copy->frameBase, 2);
    EXPECT_FLOAT_EQ(copy->frame, 0.5f);
    EXPECT_FLOAT_EQ(copy->frameCount, 1.0f);
    EXPECT_EQ(incoming.GetReadOffset(), kRecordBytes);
    EXPECT_FALSE(LogContains("UID modification error"));

    EXPECT_FALSE(hero->WriteState(nullptr));
    EXPECT_FALSE(hero->ReadState(nullptr));
    // No room for the whole record.
    NetStream tiny(40);
    EXPECT_FALSE(hero->WriteState(&tiny));
}

TEST_F(TavinTest, AShortRecordFailsButKeepsWhatItCarried)
{
    Tavin* hero = AddHero();
    hero->health = 1.5f;
    hero->frameCount = 1.0f;
    NetStream full(256);
    ASSERT_TRUE(hero->WriteState(&full));

    // Only the base record and the health arrive.
    NetStream cut(28);
    ASSERT_TRUE(cut.Write(full.GetData(), 28));
    Tavin* copy = AddHero(nullptr, 10, 10);
    EXPECT_FALSE(copy->ReadState(&cut));
    EXPECT_FLOAT_EQ(copy->health, 1.5f);
    EXPECT_FLOAT_EQ(copy->maxHealth, 3.0f);
    EXPECT_EQ(copy->GetPosition(), hero->GetPosition());

    // Everything but the boomerang entry.
    NetStream almost(kRecordBytes - 4);
    ASSERT_TRUE(almost.Write(full.GetData(), uint8_t(kRecordBytes - 4)));
    EXPECT_FALSE(copy->ReadState(&almost));
    EXPECT_FLOAT_EQ(copy->frameCount, 1.0f);
}

TEST_F(TavinTest, UnusableValuesInARecordAreSkipped)
{
    Tavin* hero = AddHero();
    NetStream s(256);
    ASSERT_TRUE(hero->WriteState(&s));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int32_t badFrame = 12;
    const float badFrameClock = 40.0f;
    std::memcpy(s.GetData() + 24, &nan, 4);
    std::memcpy(s.GetData() + 32, &badFrame, 4);
    std::memcpy(s.GetData() + 36, &badFrameClock, 4);

    Tavin* copy = AddHero(nullptr, 10, 10);
    copy->frameBase = 6;
    ASSERT_TRUE(copy->ReadState(&s));
    EXPECT_FLOAT_EQ(copy->health, 3.0f);
    EXPECT_EQ(copy->frameBase, 9);  // from the direction the record names
    EXPECT_LT(copy->frame, 12.0f);
    EXPECT_TRUE(LogContains("ignored unusable values"));

    // Whatever a record leaves, drawing never asks for a frame the sprite lacks.
    Quill::SpriteType sprite;
    copy->sprite = &sprite;
    copy->frameBase = 11;
    copy->frame = 1.5f;
    world->ClearCalls();
    copy->Render(7, 7);
    EXPECT_TRUE(world->sprites.empty());
    copy->frame = 0.5f;
    copy->Render(7, 7);
    ASSERT_EQ(world->sprites.size(), 1u);
    EXPECT_EQ(world->sprites[0].sheetOrFrame, 11);
    EXPECT_EQ(world->sprites[0].extra, 32);
}
