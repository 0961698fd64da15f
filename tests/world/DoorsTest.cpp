#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/TestSupport.h"

using namespace MapFormat;

namespace {

// A dungeon room at (3, 20), shown at rest.
class DoorsTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        world->SetView(3, 20, 0.0f, 0.0f);
        Screen(3, 20).isDungeonRoom = 1;
    }
    int Cell(int c, int r) { return world->GetMapTile(3 * 16 + c, 20 * 11 + r, 0); }
    int FrameDrawsAt(int x, int y, int tile)
    {
        int n = 0;
        for (auto& call : world->drawnTiles) n += call.x == x && call.y == y && call.tile == tile;
        return n;
    }
};

}  // namespace

TEST_F(DoorsTest, EachStateRewritesItsCellsAndDrawsTheFrame)
{
    ScreenInfo& room = Screen(3, 20);
    room.doors[DOOR_NORTH] = DOOR_OPEN;
    room.doors[DOOR_SOUTH] = DOOR_LOCKED;
    room.doors[DOOR_EAST] = DOOR_PUSH;
    room.doors[DOOR_WEST] = DOOR_CLEAR;
    world->DrawDoors();
    EXPECT_EQ(std::vector<int>({Cell(7, 1), Cell(8, 1), Cell(7, 9), Cell(8, 9), Cell(14, 5), Cell(1, 5)}),
              std::vector<int>({168, 169, 138, 139, 156, 157}));
    EXPECT_EQ(FrameDrawsAt(224, 128, 122) + FrameDrawsAt(256, 128, 122), 2);
    EXPECT_EQ(FrameDrawsAt(224, 448, 123) + FrameDrawsAt(256, 448, 123), 2);
    EXPECT_EQ(FrameDrawsAt(480, 288, 120), 1);
    EXPECT_EQ(FrameDrawsAt(0, 288, 121), 1);
    EXPECT_EQ(world->drawnTiles.size(), 6u);

    // The rewrite follows the state from the next frame on.
    room.doors[DOOR_SOUTH] = DOOR_OPEN;
    room.doors[DOOR_EAST] = DOOR_LOCKED;
    world->DrawDoors();
    EXPECT_EQ(std::vector<int>({Cell(7, 9), Cell(8, 9), Cell(14, 5)}), std::vector<int>({170, 171, 140}));
}

TEST_F(DoorsTest, NoDoorOrAnUnknownStateLeavesTheRoomAloneAndScrollingHidesDoors)
{
    SetTile(3 * 16 + 7, 20 * 11 + 1, 200);
    ScreenInfo& room = Screen(3, 20);
    room.doors[DOOR_NORTH] = 9;
    world->DrawDoors();
    EXPECT_EQ(Cell(7, 1), 200);  // frame drawn, no cells rewritten
    EXPECT_EQ(world->drawnTiles.size(), 2u);

    world->drawnTiles.clear();
    room.doors[DOOR_NORTH] = 0;
    world->DrawDoors();
    EXPECT_TRUE(world->drawnTiles.empty());

    room.doors[DOOR_NORTH] = DOOR_LOCKED;
    world->SetView(3, 20, 0.0f, -0.2f);
    world->DrawDoors();
    EXPECT_TRUE(world->drawnTiles.empty());
    EXPECT_EQ(Cell(7, 1), 200);
}

TEST_F(DoorsTest, OpenDoorOpensTheNamedDoorAndTheSameDoorwayFromTheNextRoom)
{
    // Door numbers 1 north, 2 south, 3 east, 4 west; -1 names the current screen.
    Screen(3, 20).doors[DOOR_SOUTH] = DOOR_LOCKED;
    world->OpenDoor(2, -1, -1);
    EXPECT_EQ(Screen(3, 20).doors[DOOR_SOUTH], DOOR_OPEN);
    world->OpenDoor(4, 5, 21);
    EXPECT_EQ(Screen(5, 21).doors[DOOR_WEST], DOOR_OPEN);
    Screen(4, 20).doors[DOOR_WEST] = DOOR_LOCKED;
    world->OpenDoor(3, 3, -1);
    EXPECT_EQ(Screen(3, 20).doors[DOOR_EAST], DOOR_OPEN);
    EXPECT_EQ(Screen(4, 20).doors[DOOR_WEST], DOOR_OPEN);
    Screen(3, 19).doors[DOOR_SOUTH] = DOOR_CLEAR;
    world->OpenDoor(1, 3, 20);
    EXPECT_EQ(Screen(3, 20).doors[DOOR_NORTH], DOOR_OPEN);
    EXPECT_EQ(Screen(3, 19).doors[DOOR_SOUTH], DOOR_OPEN);

    // A wall without a door on the other side stays a wall; the grid's edge has no next room.
    world->OpenDoor(4, -1, -1);
    EXPECT_EQ(Screen(2, 20).doors[DOOR_EAST], 0);
    EXPECT_EQ(Screen(3, 21).doors[DOOR_NORTH], 0);
    world->OpenDoor(4, 0, 5);
    EXPECT_EQ(Screen(0, 5).doors[DOOR_WEST], DOOR_OPEN);
    // Only a door that was shut is remembered as opened, for a player who joins later.
    world->OpenDoor(2, -1, -1);
    ASSERT_EQ(world->OpenedDoors().size(), 1u);
    const auto& opened = world->OpenedDoors()[0];
    EXPECT_EQ(std::vector<int>({opened.door, opened.sx, opened.sy}), std::vector<int>({2, 3, 20}));

    // Numbers or screens from nowhere change nothing.
    ScreenInfo before = Screen(3, 20);
    world->OpenDoor(5, -1, -1);
    world->OpenDoor(0, -1, -1);
    world->OpenDoor(1, 16, 0);
    world->OpenDoor(1, -7, 40);
    EXPECT_EQ(std::memcmp(&before, &Screen(3, 20), sizeof before), 0);
}
