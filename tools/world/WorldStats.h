#pragma once

#include <string>

#include "world/MapFormat.h"

namespace ktool {

// The world in numbers, for its documentation: screens, dungeons and rooms,
// doorways per state, push-blocks and stairs, and the spawn ranges per type.
class WorldStats {
public:
    static std::string Describe(const MapFormat::MapData& map);
};

}  // namespace ktool
