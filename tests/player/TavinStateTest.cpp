#include <cstring>

#include "net/NetStream.h"
#include "tests/player/TavinTestSupport.h"

TEST_F(TavinTest, TheStateRecordCarriesHealthAndAnimationToTheOtherCopy)
{
    constexpr uint32_t kRecordBytes = 24 + 5 * 4 + 2 * 4;
    Tavin* hero = AddHero();
    hero->SetDirection(DIR_LEFT);
    hero->health = 2.5f;
    hero->maxHealth = 4.0f;
    hero->frame = 0.5f;
    hero->frameCount = 1.0f;
    NetStream s(kRecordBytes);
    ASSERT_TRUE(hero->WriteState(&s));
    float boomerang[2];
    std::memcpy(boomerang, s.GetData() + 44, 8);
    EXPECT_EQ(Vec2(boomerang[0], boomerang[1]), hero->GetBoomerang(0)->GetPosition());

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
    NetStream full(kRecordBytes), cut(28);
    ASSERT_TRUE(hero->WriteState(&full));
    cut.Write(full.GetData(), 28);
    EXPECT_FALSE(copy->ReadState(&cut));
    EXPECT_FLOAT_EQ(copy->health, 1.5f);
    EXPECT_FLOAT_EQ(copy->maxHealth, 4.0f);

    // A frame the sprite lacks is not taken over.
    const int32_t badFrame = 12;
    std::memcpy(full.GetData() + 32, &badFrame, 4);
    ASSERT_TRUE(copy->ReadState(&full));
    EXPECT_EQ(copy->frameBase, 0);
    EXPECT_TRUE(LogContains("ignored unusable values"));
}
