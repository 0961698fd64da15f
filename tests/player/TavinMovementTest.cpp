#include "net/GameMessages.h"
#include "tests/player/TavinTestSupport.h"

namespace {

constexpr float kStep = 175.0f / 60.0f;

}  // namespace

TEST_F(TavinTest, WalkingStepsAndDrawsTheOtherCoordinateOntoTheHalfTileGrid)
{
    Tavin* hero = AddHero();
    hero->SendEvent(Tavin::EVENT_WALK_RIGHT, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), Vec2(3840.0f + kStep, 2656.0f));
    EXPECT_EQ(hero->frameBase, 3);
    // A running cooldown holds the hero still.
    hero->cooldown = 0.1f;
    hero->SendEvent(Tavin::EVENT_WALK_RIGHT, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), Vec2(3840.0f + kStep, 2656.0f));
    hero->cooldown = 0.0f;

    // 5 pixels past a grid line: pulled back onto it, never beyond.
    hero->SetPosition(Vec2(3845.0f, 2656.0f));
    hero->SendEvent(Tavin::EVENT_WALK_UP, nullptr, nullptr);
    EXPECT_EQ(hero->GetPosition(), Vec2(3840.0f, 2656.0f - kStep));
    // 10 pixels past: pushed on to the next line at twice the walking speed.
    hero->SetPosition(Vec2(3850.0f, 2656.0f));
    hero->SendEvent(Tavin::EVENT_WALK_DOWN, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, 3855.0f);
    hero->SendEvent(Tavin::EVENT_WALK_DOWN, nullptr, nullptr);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, 3856.0f);
}

TEST_F(TavinTest, WallsStopTheFeetWhileQuartersLetThemIn)
{
    Tavin* hero = AddHero();
    // The feet, 2 pixels in from the box sides and in its lower half, stop
    // short of a solid tile; a tile blocking one quarter lets them into the
    // other half. The gap left between the foot probe and the edge:
    auto gap = [&](int column, int row, int tile, int event, float foot, float edge) {
        SetTile(column, row, uint8_t(tile));
        Hold(hero, event, 30);
        return event == Tavin::EVENT_WALK_RIGHT ? edge - (hero->GetPosition().x + foot)
                                                : hero->GetPosition().y + foot - edge;
    };
    float left = gap(121, 83, 1, Tavin::EVENT_WALK_RIGHT, 30.0f, 3872.0f);
    EXPECT_TRUE(left > 0.0f && left < kStep) << left;
    left = gap(121, 83, 169, Tavin::EVENT_WALK_RIGHT, 30.0f, 3888.0f);  // right half only
    EXPECT_TRUE(left > 0.0f && left <= kStep) << left;
    // Only the lower half of the box counts: the head may overlap a wall above.
    hero->SetPosition(Vec2(3840.0f, 2656.0f));
    left = gap(120, 82, 1, Tavin::EVENT_WALK_UP, 16.0f, 2656.0f);
    EXPECT_TRUE(left >= 0.0f && left < kStep) << left;
    left = gap(120, 82, 120, Tavin::EVENT_WALK_UP, 16.0f, 2640.0f);  // top half only
    EXPECT_TRUE(left >= 0.0f && left < kStep) << left;

    // The map's edge blocks too.
    int column = 0, row = 5;
    hero->SendEvent(Tavin::EVENT_PLACE, &column, &row);
    Hold(hero, Tavin::EVENT_WALK_LEFT, 10);
    EXPECT_FLOAT_EQ(hero->GetPosition().x, 0.0f);
}

TEST_F(TavinTest, WalkingIntoABlockAsksItToMoveTheWayOfTheWalk)
{
    Tavin* hero = AddHero();
    PushTarget* block = new PushTarget();
    world->AddEntity(block, false);
    block->SetPosition(Vec2(3872.0f, 2656.0f));
    hero->SendEvent(Tavin::EVENT_STOP, nullptr, nullptr);
    Hold(hero, Tavin::EVENT_WALK_RIGHT, 20);
    // The feet box (4 to 28 across) stops at the block's edge after one step.
    EXPECT_LE(hero->GetPosition().x + 28.0f, 3872.0f);
    ASSERT_EQ(block->pushDirections.size(), 19u);
    EXPECT_EQ(block->pushDirections.front(), DIR_RIGHT);
    EXPECT_EQ(block->secondArgs.front(), 0);

    // Clear of the block's rows the hero walks past it.
    hero->SetPosition(Vec2(3840.0f, 2608.0f));
    Hold(hero, Tavin::EVENT_WALK_RIGHT, 20);
    EXPECT_GT(hero->GetPosition().x, 3872.0f);
    EXPECT_EQ(block->pushDirections.size(), 19u);
}

class TavinDoorTest : public TavinTest {
protected:
    // A dungeon room on screen (7, 7) with a locked north door; the hero
    // stands in the doorway below it.
    void SetUp() override
    {
        TavinTest::SetUp();
        Screen(7, 7).isDungeonRoom = 1;
        Screen(7, 7).doors[0] = 4;
        hero = AddHero(&session, 119, 79);
        hero->SetPosition(Vec2(3824.0f, 2528.0f));
        RunFrames(1);
    }

    RecordingSession session{true};
    Tavin* hero = nullptr;
};

TEST_F(TavinDoorTest, AKeyOpensALockedDoorOnceAndTellsThePeer)
{
    Hold(hero, Tavin::EVENT_WALK_UP, 40);
    EXPECT_EQ(hero->keys, 1);
    EXPECT_EQ(Screen(7, 7).doors[0], 1);
    EXPECT_LT(hero->GetPosition().y, 2464.0f);  // through the doorway
    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(session.sent[0].type, MSG_DOOR_OPENED);
    NetStream s(64);
    s.Write(session.sent[0].bytes.data(), uint8_t(session.sent[0].bytes.size()));
    int32_t door;
    float sx, sy;
    ASSERT_TRUE(s.ReadI32(door) && s.ReadF32(sx) && s.ReadF32(sy));
    EXPECT_EQ(door, 1);
    EXPECT_EQ(Vec2(sx, sy), Vec2(7.0f, 7.0f));
}

TEST_F(TavinDoorTest, WithoutKeysOrFacingAnotherWayTheDoorStaysLocked)
{
    hero->keys = 0;
    Hold(hero, Tavin::EVENT_WALK_UP, 40);
    EXPECT_EQ(hero->keys, 0);
    EXPECT_EQ(Screen(7, 7).doors[0], 4);
    EXPECT_GE(hero->GetPosition().y + 16.0f, 2528.0f);
    EXPECT_TRUE(session.sent.empty());

    // An east door's tile to the left is not walked through when walking left.
    hero->keys = 2;
    SetTile(118, 79, 140);
    Hold(hero, Tavin::EVENT_WALK_LEFT, 40);
    EXPECT_EQ(hero->keys, 2);
    SetTile(118, 79, 141);
    Hold(hero, Tavin::EVENT_WALK_LEFT, 1);
    EXPECT_EQ(hero->keys, 1);
    EXPECT_EQ(Screen(7, 7).doors[3], 1);
}
