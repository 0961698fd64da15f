#pragma once

#include <string>

#include "world/MapFormat.h"

namespace ktool {

// Writes a map as the Tiled JSON source that TiledMapReader reads back to the
// same bytes. Screens that hold nothing at all are left empty in the terrain
// layer so that the editor shows only the designed world.
class TiledMapWriter {
public:
    // `tilesetImage` is the tile sheet's path as the editor should find it,
    // relative to the JSON file. Throws SourceError for a record the source
    // cannot express.
    static std::string Write(const MapFormat::MapData& map, const std::string& tilesetImage);
    static void WriteFile(const std::string& path, const MapFormat::MapData& map,
                          const std::string& tilesetImage);
};

}  // namespace ktool
