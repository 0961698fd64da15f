#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/TestSupport.h"

namespace {

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
        for (auto& call : world->tiles) n += call.x == x && call.y == y && call.tile == tile;
        return n;
    }
};

}  // namespace

TEST_F(DoorsTest, EachStateRewritesItsCellsAndDrawsTheFrame)
{
    ScreenInfo& room = Screen(3, 20);
    room.doors[MapFormat::DOOR_NORTH] = MapFormat::DOOR_OPEN;
    room.doors[MapFormat::DOOR_SOUTH] = MapFormat::DOOR_LOCKED;
    room.doors[MapFormat::DOOR_EAST] = MapFormat::DOOR_PUSH;
    room.doors[MapFormat::DOOR_WEST] = MapFormat::DOOR_CLEAR;
    world->DrawDoors();
    EXPECT_EQ(Cell(7, 1), 168);
    EXPECT_EQ(Cell(8, 1), 169);
    EXPECT_EQ(Cell(7, 9), 138);
    EXPECT_EQ(Cell(8, 9), 139);
    EXPECT_EQ(Cell(14, 5), 156);
    EXPECT_EQ(Cell(1, 5), 157);
    EXPECT_EQ(FrameDrawsAt(224, 128, 122) + FrameDrawsAt(256, 128, 122), 2);
    EXPECT_EQ(FrameDrawsAt(224, 448, 123) + FrameDrawsAt(256, 448, 123), 2);
    EXPECT_EQ(FrameDrawsAt(480, 288, 120), 1);
    EXPECT_EQ(FrameDrawsAt(0, 288, 121), 1);
    EXPECT_EQ(world->tiles.size(), 6u);

    // The rewrite follows the state from the next frame on.
    room.doors[MapFormat::DOOR_SOUTH] = MapFormat::DOOR_OPEN;
    world->DrawDoors();
    EXPECT_EQ(Cell(7, 9), 170);
}

TEST_F(DoorsTest, NoDoorOrAnUnknownStateLeavesTheRoomAloneAndScrollingHidesDoors)
{
    SetTile(3 * 16 + 7, 20 * 11 + 1, 200);
    ScreenInfo& room = Screen(3, 20);
    room.doors[MapFormat::DOOR_NORTH] = 9;
    world->DrawDoors();
    EXPECT_EQ(Cell(7, 1), 200);  // frame drawn, no cells rewritten
    EXPECT_EQ(world->tiles.size(), 2u);

    world->tiles.clear();
    room.doors[MapFormat::DOOR_NORTH] = 0;
    world->DrawDoors();
    EXPECT_TRUE(world->tiles.empty());

    room.doors[MapFormat::DOOR_NORTH] = MapFormat::DOOR_LOCKED;
    world->SetView(3, 20, 0.0f, -0.2f);
    world->DrawDoors();
    EXPECT_TRUE(world->tiles.empty());
    EXPECT_EQ(Cell(7, 1), 200);
}

TEST_F(DoorsTest, OpenDoorSetsTheNamedDoorOnTheNamedOrCurrentScreen)
{
    Screen(3, 20).doors[MapFormat::DOOR_SOUTH] = MapFormat::DOOR_LOCKED;
    world->OpenDoor(2, -1, -1);
    EXPECT_EQ(Screen(3, 20).doors[MapFormat::DOOR_SOUTH], MapFormat::DOOR_OPEN);
    world->OpenDoor(4, 5, 21);
    EXPECT_EQ(Screen(5, 21).doors[MapFormat::DOOR_WEST], MapFormat::DOOR_OPEN);
    world->OpenDoor(3, 3, -1);
    EXPECT_EQ(Screen(3, 20).doors[MapFormat::DOOR_EAST], MapFormat::DOOR_OPEN);
    world->OpenDoor(1, 3, 20);
    EXPECT_EQ(Screen(3, 20).doors[MapFormat::DOOR_NORTH], MapFormat::DOOR_OPEN);

    // Numbers or screens from nowhere change nothing.
    ScreenInfo before = Screen(3, 20);
    world->OpenDoor(5, -1, -1);
    world->OpenDoor(0, -1, -1);
    world->OpenDoor(1, 16, 0);
    world->OpenDoor(1, -7, 40);
    EXPECT_EQ(std::memcmp(&before, &Screen(3, 20), sizeof before), 0);
}

TEST_F(DoorsTest, OpeningADoorOpensTheSameDoorwayFromTheNextRoom)
{
    Screen(3, 20).doors[MapFormat::DOOR_EAST] = MapFormat::DOOR_LOCKED;
    Screen(4, 20).doors[MapFormat::DOOR_WEST] = MapFormat::DOOR_LOCKED;
    Screen(3, 19).doors[MapFormat::DOOR_SOUTH] = MapFormat::DOOR_CLEAR;
    Screen(3, 20).doors[MapFormat::DOOR_NORTH] = MapFormat::DOOR_CLEAR;
    world->OpenDoor(3, -1, -1);
    world->OpenDoor(1, -1, -1);
    EXPECT_EQ(Screen(4, 20).doors[MapFormat::DOOR_WEST], MapFormat::DOOR_OPEN);
    EXPECT_EQ(Screen(3, 19).doors[MapFormat::DOOR_SOUTH], MapFormat::DOOR_OPEN);

    // A wall without a door on the other side stays a wall.
    world->OpenDoor(4, -1, -1);
    world->OpenDoor(2, -1, -1);
    EXPECT_EQ(Screen(2, 20).doors[MapFormat::DOOR_EAST], 0);
    EXPECT_EQ(Screen(3, 21).doors[MapFormat::DOOR_NORTH], 0);
    // The edge of the grid has no next room.
    world->OpenDoor(4, 0, 5);
    EXPECT_EQ(Screen(0, 5).doors[MapFormat::DOOR_WEST], MapFormat::DOOR_OPEN);
}
