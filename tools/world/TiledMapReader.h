#pragma once

#include <string>

#include "world/MapFormat.h"

namespace ktool {

// Reads the world from a Tiled JSON map: tile layers "terrain" and "markers"
// of 256 × 330 cells drawn with the one map tileset, and an object layer
// "screens" holding one rectangle per screen record with its fields as custom
// properties. Every fault throws SourceError naming the file and the layer,
// cell, object or property.
class TiledMapReader {
public:
    static MapFormat::MapData ReadFile(const std::string& path);
    // `label` stands for the file in messages.
    static MapFormat::MapData Parse(const std::string& text, const std::string& label);

    // Layer and object layer names of the source.
    static constexpr const char* kTerrainLayer = "terrain";
    static constexpr const char* kMarkerLayer = "markers";
    static constexpr const char* kScreenLayer = "screens";
};

}  // namespace ktool
