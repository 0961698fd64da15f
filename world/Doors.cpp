#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

struct Cell {
    int column;
    int row;
};

// How each door is drawn and which cells of the room it rewrites.
struct DoorLayout {
    int recordIndex;  // index into ScreenInfo::doors
    int frameTile;
    Cell framePixels[2];  // pixel places of the frame tiles
    int frameCount;
    Cell cells[2];  // screen-relative cells rewritten for the door state
    int cellCount;
    uint8_t open[2], shut[2], locked[2];
};

const DoorLayout kWest = {3, 121, {{0, 288}}, 1, {{1, 5}}, 1, {173}, {157}, {141}};
const DoorLayout kEast = {2, 120, {{480, 288}}, 1, {{14, 5}}, 1, {172}, {156}, {140}};
const DoorLayout kNorth = {
    0, 122, {{224, 128}, {256, 128}}, 2, {{7, 1}, {8, 1}}, 2, {168, 169}, {152, 153}, {136, 137}};
const DoorLayout kSouth = {
    1, 123, {{224, 448}, {256, 448}}, 2, {{7, 9}, {8, 9}}, 2, {170, 171}, {154, 155}, {138, 139}};

}  // namespace

void KarskRenderer::DrawDoors()
{
    if (scrollX != 0.0f || scrollY != 0.0f || !IsScreenInGrid(screenX, screenY))
        return;
    ScreenInfo& info = map.Screen(screenX, screenY);
    for (const DoorLayout* door : {&kWest, &kEast, &kNorth, &kSouth}) {
        int state = info.doors[door->recordIndex];
        if (state <= 0)
            continue;
        for (int i = 0; i < door->frameCount; ++i)
            DrawTile(0, door->frameTile, door->framePixels[i].column, door->framePixels[i].row);
        const uint8_t* tiles = nullptr;
        if (state == MapFormat::DOOR_OPEN)
            tiles = door->open;
        else if (state == MapFormat::DOOR_PUSH || state == MapFormat::DOOR_CLEAR)
            tiles = door->shut;
        else if (state == MapFormat::DOOR_LOCKED)
            tiles = door->locked;
        if (!tiles)
            continue;
        for (int i = 0; i < door->cellCount; ++i) {
            int column = screenX * 16 + door->cells[i].column;
            int row = screenY * 11 + door->cells[i].row;
            map.Cell(0, column, row) = tiles[i];
        }
    }
}

void KarskRenderer::OpenDoor(int door, int sx, int sy)
{
    if (sx == -1)
        sx = screenX;
    if (sy == -1)
        sy = screenY;
    // A screen named by the peer may be anywhere; one outside the grid has no doors.
    if (IsScreenInGrid(sx, sy) && door >= 1 && door <= 4) {
        // Per door number: its record field, and the room and field on the
        // other side of the wall.
        struct Side {
            int field, dx, dy, otherField;
        };
        static const Side kSides[5] = {{-1, 0, 0, -1},
                                       {MapFormat::DOOR_NORTH, 0, -1, MapFormat::DOOR_SOUTH},
                                       {MapFormat::DOOR_SOUTH, 0, 1, MapFormat::DOOR_NORTH},
                                       {MapFormat::DOOR_EAST, 1, 0, MapFormat::DOOR_WEST},
                                       {MapFormat::DOOR_WEST, -1, 0, MapFormat::DOOR_EAST}};
        const Side& side = kSides[door];
        if (map.Screen(sx, sy).doors[side.field] > MapFormat::DOOR_OPEN)
            openedDoors.push_back({door, sx, sy});
        map.Screen(sx, sy).doors[side.field] = MapFormat::DOOR_OPEN;
        // The same doorway seen from the next room opens too; left shut, it
        // would trap the hero in the wall between the two rooms.
        const int nx = sx + side.dx, ny = sy + side.dy;
        if (IsScreenInGrid(nx, ny) && map.Screen(nx, ny).doors[side.otherField] > MapFormat::DOOR_OPEN)
            map.Screen(nx, ny).doors[side.otherField] = MapFormat::DOOR_OPEN;
    }
    if (sx == screenX && sy == screenY)
        PlaySound(SND_UNLOCK);
}
