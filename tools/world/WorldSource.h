#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/common/SourceText.h"
#include "world/MapFormat.h"

// Compiles the readable world sources (ASCII screens, a legend per file and a
// screen table) into the game's map file.
namespace ktool {

// Returns a source file's text; throws SourceError when it cannot.
using SourceLoader = std::function<std::string(const std::string& path)>;

// Compiles the world whose top file is `path`. Throws SourceError naming the
// file and line of the first fault.
MapFormat::MapData CompileWorld(const std::string& path, const SourceLoader& load);
MapFormat::MapData CompileWorldFile(const std::string& path);

// What the parser collects before the checks run.
struct ScreenBlock {
    int sx = 0, sy = 0;
    SourceLine header;
    std::array<SourceLine, MapFormat::kScreenRows> rows;
    std::array<std::array<char, MapFormat::kScreenColumns>, MapFormat::kScreenRows> doorMarks{};
    bool hasInfo = false;
    SourceLine info;
};

struct WorldSource {
    MapFormat::MapData map;
    std::map<int, ScreenBlock> screens;  // key sy * grid width + sx
};

void ParseWorld(const std::string& path, const SourceLoader& load, WorldSource& world, int depth);
// Resolves door cells from the door states and checks the rules the game
// relies on (walls, doors, stairs, screen edges).
void CheckWorld(WorldSource& world);

}  // namespace ktool
