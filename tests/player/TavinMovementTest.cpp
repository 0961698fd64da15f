#include <cmath>

#include "net/GameMessages.h"
#include "tests/player/TavinTestSupport.h"

namespace {

constexpr float kStep = 175.0f / 60.0f;

}  // namespace

TEST_F(TavinTest, WalkingMovesOneStepPerEventOnlyWhenFreeToAct)
{
    Tavin* hero = AddHero();
    const Vec2 start = hero->GetPosition();
    hero->SendEvent(Tavin::EVENT_WALK_RIGHT, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, start.x + kStep);
    EXPECT_FLOAT_EQ(hero->GetPosition().y, start.y);
    EXPECT_EQ(hero->GetDirection(), DIR_RIGHT);
    EXPECT_EQ(hero->frameBase, 3);
    EXPECT_EQ(hero->moveDirection, DIR_RIGHT);
    EXPECT_TRUE(hero->animate);

    hero->SendEvent(Tavin::EVENT_STOP, nullptr, nullptr);
    EXPECT_EQ(hero->moveDirection, DIR_NONE);

    // A running cooldown or a state other than normal holds the hero still.
    const Vec2 held = hero->GetPosition();
    hero->cooldown = 0.1f;
    hero->SendEvent(Tavin::EVENT_WALK_LEFT, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), held);
    EXPECT_EQ(hero->GetDirection(), DIR_RIGHT);
    hero->cooldown = 0.0f;
    hero->SetState(Tavin::STATE_PAUSED);
    hero->SendEvent(Tavin::EVENT_WALK_LEFT, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), held);
    hero->SetState(Tavin::STATE_NORMAL);

    const float y = hero->GetPosition().y;
    hero->SendEvent(Tavin::EVENT_WALK_DOWN, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().y, y + kStep);
    EXPECT_EQ(hero->frameBase, 6);
    hero->SendEvent(Tavin::EVENT_WALK_UP, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().y, y);
    EXPECT_EQ(hero->frameBase, 9);
}

TEST_F(TavinTest, WalkingDrawsTheOtherCoordinateOntoTheHalfTileGrid)
{
    Tavin* hero = AddHero();
    // 5 pixels past a grid line: pulled back onto it, never beyond.
    hero->SetPosition(Vec2(3845.0f, 2656.0f));
    hero->SendEvent(Tavin::EVENT_WALK_UP, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, 3840.0f);
    EXPECT_FLOAT_EQ(hero->GetPosition().y, 2656.0f - kStep);

    // 10 pixels past: pushed on toward the next line, at twice the walking speed.
    hero->SetPosition(Vec2(3850.0f, 2656.0f));
    hero->SendEvent(Tavin::EVENT_WALK_DOWN, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, 3855.0f);
    hero->SendEvent(Tavin::EVENT_WALK_DOWN, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, 3856.0f);

    hero->SetPosition(Vec2(3840.0f, 2660.5f));
    hero->SendEvent(Tavin::EVENT_WALK_LEFT, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().y, 2656.0f);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, 3840.0f - kStep);
}

TEST_F(TavinTest, WallsStopTheFeetWhileQuartersLetThemIn)
{
    Tavin* hero = AddHero();
    // A solid tile to the right: the feet (2 pixels in from the box) stop short of it.
    SetTile(121, 83, 1);
    Hold(hero, Tavin::EVENT_WALK_RIGHT, 30);
    const float stopped = hero->GetPosition().x;
    EXPECT_LT(stopped + 30.0f, 3872.0f);
    EXPECT_GT(stopped + 30.0f + kStep, 3872.0f);
    EXPECT_EQ(hero->moveDirection, DIR_RIGHT);
    EXPECT_FLOAT_EQ(hero->frameCount, 2.0f);

    // A tile blocking only its right half lets the hero into its left half.
    SetTile(121, 83, 169);
    Hold(hero, Tavin::EVENT_WALK_RIGHT, 30);
    EXPECT_LT(hero->GetPosition().x + 30.0f, 3888.0f);
    EXPECT_GE(hero->GetPosition().x + 30.0f + kStep, 3888.0f);

    // Only the lower half of the box counts: a solid row above lets the head in.
    hero->SetPosition(Vec2(3840.0f, 2656.0f));
    SetTile(120, 82, 1);
    Hold(hero, Tavin::EVENT_WALK_UP, 30);
    EXPECT_GE(hero->GetPosition().y + 16.0f, 2656.0f);
    EXPECT_LT(hero->GetPosition().y + 16.0f - kStep, 2656.0f);

    // A tile blocking its top half lets the feet into its bottom half.
    SetTile(120, 82, 120);
    Hold(hero, Tavin::EVENT_WALK_UP, 30);
    EXPECT_GE(hero->GetPosition().y + 16.0f, 2640.0f);
    EXPECT_LT(hero->GetPosition().y + 16.0f - kStep, 2640.0f);

    // Walking the other way is free again.
    const float y = hero->GetPosition().y;
    hero->SendEvent(Tavin::EVENT_WALK_DOWN, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().y, y + kStep);
}

TEST_F(TavinTest, TheEdgeOfTheMapBlocks)
{
    Tavin* hero = AddHero(nullptr, 0, 5);
    Hold(hero, Tavin::EVENT_WALK_LEFT, 10);
    EXPECT_GE(hero->GetPosition().x, -2.0f);
    EXPECT_FALSE(hero->CanMoveTo(Vec2(-3.0f, 160.0f)));
    EXPECT_FALSE(hero->CanMoveTo(Vec2(std::nanf(""), 160.0f)));
    EXPECT_FALSE(hero->CanMoveTo(Vec2(3e30f, 160.0f)));
    EXPECT_EQ(hero->FindDoorTile(Vec2(-1e30f, 160.0f)), -1);
}

TEST_F(TavinTest, WalkingIntoABlockAsksItToMoveTheWayOfTheWalk)
{
    Tavin* hero = AddHero();
    PushTarget* block = new PushTarget();
    world->AddEntity(block, false);
    block->SetPosition(Vec2(3872.0f, 2656.0f));
    TestEntity* bystander = new TestEntity();  // not pushable: never asked
    world->AddEntity(bystander, false);
    bystander->SetPosition(Vec2(3872.0f, 2656.0f));

    hero->SendEvent(Tavin::EVENT_STOP, nullptr, nullptr);
    Hold(hero, Tavin::EVENT_WALK_RIGHT, 20);
    // The feet box (4 to 28 across) meets the block's edge and stops there.
    EXPECT_LE(hero->GetPosition().x + 28.0f, 3872.0f);
    ASSERT_FALSE(block->pushDirections.empty());
    for (size_t i = 0; i < block->pushDirections.size(); ++i) {
        EXPECT_EQ(block->pushDirections[i], DIR_RIGHT);
        EXPECT_EQ(block->secondArgs[i], 0);
    }
    EXPECT_TRUE(bystander->events.empty());

    // Beside the block, clear of its rows, the hero walks past.
    const size_t asked = block->pushDirections.size();
    hero->SetPosition(Vec2(3840.0f, 2624.0f - 16.0f));
    Hold(hero, Tavin::EVENT_WALK_RIGHT, 20);
    EXPECT_GT(hero->GetPosition().x, 3872.0f);
    EXPECT_EQ(block->pushDirections.size(), asked);
}

class TavinDoorTest : public TavinTest {
protected:
    // A dungeon room on screen (7, 7) with a locked north door over the
    // hero, who stands in the doorway below it.
    void SetUp() override
    {
        TavinTest::SetUp();
        Screen(7, 7).isDungeonRoom = 1;
        Screen(7, 7).doors[0] = 4;
        hero = AddHero(&session, 119, 79);
        hero->SetPosition(Vec2(3824.0f, 2528.0f));
        RunFrames(1);
        ASSERT_EQ(world->GetMapTile(119, 78, 0), 136);
        ASSERT_EQ(world->GetMapTile(120, 78, 0), 137);
    }

    RecordingSession session{true};
    Tavin* hero = nullptr;
};

TEST_F(TavinDoorTest, AKeyOpensALockedDoorOnceAndTellsThePeer)
{
    ASSERT_EQ(hero->keys, 2);
    Hold(hero, Tavin::EVENT_WALK_UP, 40);
    EXPECT_EQ(hero->keys, 1);
    EXPECT_EQ(Screen(7, 7).doors[0], 1);
    // The open doorway lets the hero through.
    EXPECT_LT(hero->GetPosition().y, 2496.0f - 32.0f);

    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(session.sent[0].type, MSG_DOOR_OPENED);
    NetStream s(64);
    ASSERT_TRUE(s.Write(session.sent[0].bytes.data(), uint8_t(session.sent[0].bytes.size())));
    int32_t door;
    float sx, sy;
    ASSERT_TRUE(s.ReadI32(door) && s.ReadF32(sx) && s.ReadF32(sy));
    EXPECT_EQ(door, 1);
    EXPECT_FLOAT_EQ(sx, 7.0f);
    EXPECT_FLOAT_EQ(sy, 7.0f);
    EXPECT_EQ(session.sent[0].bytes.size(), 12u);
}

TEST_F(TavinDoorTest, WithoutKeysTheDoorStaysLocked)
{
    hero->keys = 0;
    Hold(hero, Tavin::EVENT_WALK_UP, 40);
    EXPECT_EQ(hero->keys, 0);
    EXPECT_EQ(Screen(7, 7).doors[0], 4);
    EXPECT_GE(hero->GetPosition().y + 16.0f, 2528.0f);
    EXPECT_TRUE(session.sent.empty());
    EXPECT_FALSE(hero->UseKey());
    EXPECT_EQ(hero->keys, 0);
}

TEST_F(TavinDoorTest, OnlyTheDoorFacingTheWalkOpens)
{
    // The east door's tile lies left of the hero: walking left into it is
    // not walking through it.
    SetTile(118, 79, 140);
    Hold(hero, Tavin::EVENT_WALK_LEFT, 40);
    EXPECT_EQ(hero->keys, 2);
    EXPECT_EQ(hero->FindDoorTile(Vec2(hero->GetPosition().x - 3.0f, hero->GetPosition().y)), 140);
    SetTile(118, 79, 141);
    Hold(hero, Tavin::EVENT_WALK_LEFT, 1);
    EXPECT_EQ(hero->keys, 1);
    EXPECT_EQ(Screen(7, 7).doors[3], 1);
    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(session.sent[0].bytes[0], 4);
}
