#include "tools/world/WorldStats.h"

#include <sstream>

#include "tools/world/ScreenProperties.h"
#include "tools/world/WorldChecker.h"

namespace ktool {

using namespace MapFormat;

namespace {

constexpr int kTileScreenRows = kRows / kScreenRows;
constexpr int kStep[4][2] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}};  // the record's door order

}  // namespace

WorldStats::WorldStats(const MapData& source)
{
    MapData map = source;
    WorldChecker world(map);
    std::vector<bool> counted(size_t(kScreenGridWidth) * kTileScreenRows, false);
    for (int sy = 0; sy < kTileScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            for (int y = 0; y < kScreenRows; ++y) {
                for (int x = 0; x < kScreenColumns; ++x) {
                    stairs += map.Cell(0, sx * kScreenColumns + x, sy * kScreenRows + y) == 64;
                    pushBlocks += map.Cell(1, sx * kScreenColumns + x, sy * kScreenRows + y) == 16;
                }
            }
            if (world.IsOverworld(sx, sy))
                ++overworldScreens;
            if (!world.IsRoom(sx, sy))
                continue;
            ++rooms;
            const ScreenInfo& info = map.Screen(sx, sy);
            // Each doorway once, from its south or east room.
            for (int side : {int(DOOR_NORTH), int(DOOR_WEST)}) {
                if (info.doors[side] > 0 && info.doors[side] <= 4)
                    ++doorways[info.doors[side]];
            }
            for (int side : {int(DOOR_SOUTH), int(DOOR_EAST)}) {
                int nx = sx + kStep[side][0], ny = sy + kStep[side][1];
                if (info.doors[side] > 0 && info.doors[side] <= 4 && !world.IsRoom(nx, ny))
                    ++doorways[info.doors[side]];
            }
            if (counted[size_t(sy * kScreenGridWidth + sx)])
                continue;
            // A new dungeon: every room reached from here through doorways.
            Dungeon dungeon;
            std::vector<std::pair<int, int>> stack{{sx, sy}};
            counted[size_t(sy * kScreenGridWidth + sx)] = true;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                ++dungeon.rooms;
                const ScreenInfo& here = map.Screen(cx, cy);
                if (here.exitSouthReturns && dungeon.entryX < 0) {
                    dungeon.entryX = cx;
                    dungeon.entryY = cy;
                }
                for (int side = 0; side < 4; ++side) {
                    int nx = cx + kStep[side][0], ny = cy + kStep[side][1];
                    if (here.doors[side] <= 0 || !world.IsRoom(nx, ny) ||
                        counted[size_t(ny * kScreenGridWidth + nx)])
                        continue;
                    counted[size_t(ny * kScreenGridWidth + nx)] = true;
                    stack.push_back({nx, ny});
                }
            }
            dungeons.push_back(dungeon);
        }
    }
    for (int t = 0; t < kSpawnTypes; ++t) {
        for (const ScreenInfo& info : map.screens) {
            if (info.SpawnMax(t) <= 0)
                continue;
            ++spawns[t].screens;
            spawns[t].least += info.SpawnMin(t);
            spawns[t].most += info.SpawnMax(t);
        }
    }
}

std::string WorldStats::Describe() const
{
    std::ostringstream out;
    out << "overworld screens: " << overworldScreens << "\n";
    out << "dungeons: " << dungeons.size() << ", " << rooms << " rooms in all\n";
    for (const Dungeon& d : dungeons) {
        out << "  " << d.rooms << " rooms, ";
        if (d.entryX >= 0)
            out << "entered at room " << d.entryX << "," << d.entryY << "\n";
        else
            out << "with no room that leads back up\n";
    }
    out << "doorways: open " << doorways[1] << ", push " << doorways[2] << ", clear " << doorways[3]
        << ", locked " << doorways[4] << "\n";
    out << "stairs tiles: " << stairs << ", push-blocks: " << pushBlocks << "\n";
    for (int t = 0; t < kSpawnTypes; ++t) {
        if (spawns[t].screens > 0)
            out << ScreenProperties::SpawnPropertyName(t) << ": " << spawns[t].screens << " screens, "
                << spawns[t].least << " to " << spawns[t].most << " in all\n";
    }
    return out.str();
}

}  // namespace ktool
