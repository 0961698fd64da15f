#include "tools/world/WorldStats.h"

#include <map>
#include <sstream>

#include "tools/world/ScreenProperties.h"
#include "tools/world/WorldChecker.h"

namespace ktool {

using namespace MapFormat;

std::string WorldStats::Describe(const MapData& map)
{
    WorldChecker world(map);
    const int screenRows = kRows / kScreenRows;
    int overworld = 0, rooms = 0, stairs = 0, blocks = 0;
    int doorways[5] = {};
    std::map<int, int> dungeonRooms;  // first room index of a dungeon -> rooms
    std::vector<int> dungeonOf(size_t(kScreenGridWidth) * screenRows, -1);
    std::ostringstream out;
    for (int sy = 0; sy < screenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            for (int y = 0; y < kScreenRows; ++y) {
                for (int x = 0; x < kScreenColumns; ++x) {
                    stairs += map.tiles[size_t(sy * kScreenRows + y) * kColumns +
                                        size_t(sx * kScreenColumns + x)] == 64;
                    blocks += map.tiles[size_t(kLayerBytes) + size_t(sy * kScreenRows + y) * kColumns +
                                        size_t(sx * kScreenColumns + x)] == 16;
                }
            }
            if (world.IsOverworld(sx, sy))
                ++overworld;
            if (!world.IsRoom(sx, sy))
                continue;
            ++rooms;
            const ScreenInfo& info = map.screens[size_t(sy * kScreenGridWidth + sx)];
            // Doorways once, from their south or east side.
            if (info.doors[DOOR_NORTH] >= 0 && info.doors[DOOR_NORTH] <= 4)
                ++doorways[info.doors[DOOR_NORTH]];
            if (info.doors[DOOR_WEST] >= 0 && info.doors[DOOR_WEST] <= 4)
                ++doorways[info.doors[DOOR_WEST]];
            // Rooms joined by doors form one dungeon: flood from each new room.
            size_t index = size_t(sy * kScreenGridWidth + sx);
            if (dungeonOf[index] >= 0)
                continue;
            int id = int(index);
            std::vector<std::pair<int, int>> stack{{sx, sy}};
            dungeonOf[index] = id;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                ++dungeonRooms[id];
                const ScreenInfo& here = map.screens[size_t(cy * kScreenGridWidth + cx)];
                const int step[4][2] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}};
                for (int d = 0; d < 4; ++d) {
                    int nx = cx + step[d][0], ny = cy + step[d][1];
                    if (here.doors[d] <= 0 || !world.IsRoom(nx, ny))
                        continue;
                    int& mark = dungeonOf[size_t(ny * kScreenGridWidth + nx)];
                    if (mark < 0) {
                        mark = id;
                        stack.push_back({nx, ny});
                    }
                }
            }
        }
    }
    out << "overworld screens: " << overworld << "\n";
    out << "dungeons: " << dungeonRooms.size() << " (rooms:";
    for (const auto& d : dungeonRooms)
        out << " " << d.second << " from " << d.first % kScreenGridWidth << "," << d.first / kScreenGridWidth;
    out << "), " << rooms << " rooms in all\n";
    out << "doorways: open " << doorways[1] << ", push " << doorways[2] << ", clear " << doorways[3]
        << ", locked " << doorways[4] << "\n";
    out << "stairs tiles: " << stairs << ", push-blocks: " << blocks << "\n";
    for (int t = 0; t < kSpawnTypes; ++t) {
        int screens = 0, lo = 0, hi = 0;
        for (const ScreenInfo& info : map.screens) {
            if (info.SpawnMax(t) <= 0)
                continue;
            ++screens;
            lo += info.SpawnMin(t);
            hi += info.SpawnMax(t);
        }
        if (screens > 0)
            out << ScreenProperties::SpawnPropertyName(t) << ": " << screens << " screens, " << lo << " to "
                << hi << " in all\n";
    }
    return out.str();
}

}  // namespace ktool
