#pragma once

#include <string>
#include <vector>

#include "world/MapFormat.h"

namespace ktool {

// The world in numbers, for its documentation and tests: screens, dungeons
// and rooms, doorways per state, push-blocks and stairs, and the spawn
// ranges per type.
class WorldStats {
public:
    struct Dungeon {
        int entryX = -1, entryY = -1;  // the room that leads back up, or -1
        int rooms = 0;
    };
    struct Spawns {
        int screens = 0;  // screens whose range for the type has a maximum above 0
        int least = 0;    // sum of the minimums over those screens
        int most = 0;     // sum of the maximums
    };

    explicit WorldStats(const MapFormat::MapData& map);

    int overworldScreens = 0;
    int rooms = 0;
    std::vector<Dungeon> dungeons;  // rooms joined by doorways, in screen order
    int doorways[5] = {};           // per door state, each doorway once
    int stairs = 0;
    int pushBlocks = 0;
    Spawns spawns[MapFormat::kSpawnTypes];

    std::string Describe() const;
};

}  // namespace ktool
