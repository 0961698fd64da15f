#include "tools/world/WorldSource.h"

#include "tools/common/TileRules.h"

namespace ktool {
namespace {

struct LegendEntry {
    int tile = 0;
    int marker = 0;
    char door = 0;  // 'N', 'S', 'E' or 'W' for a door cell whose tile follows the door state
};

using Legend = std::map<char, LegendEntry>;

int ScreenKey(int sx, int sy)
{
    return sy * MapFormat::kScreenGridWidth + sx;
}

void ParseLegend(const SourceLine& line, Legend& legend)
{
    if (line.words.size() == 1 && line.raw.find('#') != std::string::npos)
        line.Fail("'#' starts a comment and cannot be a legend character");
    if (line.words.size() < 3)
        line.Fail("legend needs a character and a tile: legend <char> <tile> [marker=<n>]");
    const std::string& key = line.words[1];
    if (key.size() != 1)
        line.Fail("legend character must be a single character, not '" + key + "'");
    if (legend.count(key[0]))
        line.Fail(std::string("legend character '") + key + "' is defined twice");
    LegendEntry entry;
    if (line.words[2] == "door") {
        if (line.words.size() < 4)
            line.Fail("door legend needs one side: legend <char> door north|south|east|west");
        const std::string& side = line.words[3];
        if (side == "north")
            entry.door = 'N';
        else if (side == "south")
            entry.door = 'S';
        else if (side == "east")
            entry.door = 'E';
        else if (side == "west")
            entry.door = 'W';
        else
            line.Fail("unknown door side '" + side + "'");
    } else {
        entry.tile = ParseInt(line, line.words[2], 0, 255, "tile");
        // Options come first; any words after them only describe the tile.
        for (size_t i = 3; i < line.words.size() && line.words[i].find('=') != std::string::npos; ++i) {
            std::string k, v;
            SplitKeyValue(line, line.words[i], k, v);
            if (k != "marker")
                line.Fail("unknown legend option '" + k + "'");
            entry.marker = ParseInt(line, v, 0, 255, "marker");
        }
    }
    legend[key[0]] = entry;
}

int ParseDoorState(const SourceLine& line, const std::string& word)
{
    static const char* const kNames[] = {"none", "open", "push", "clear", "locked"};
    for (int i = 0; i < 5; ++i) {
        if (word == kNames[i])
            return i;
    }
    line.Fail("unknown door state '" + word + "' (none, open, push, clear or locked)");
}

void ParsePair(const SourceLine& line, const std::string& text, int hiA, int hiB, int& a, int& b,
               const char* what)
{
    std::vector<std::string> parts = SplitOn(text, ',');
    if (parts.size() != 2)
        line.Fail(std::string(what) + " must be two numbers joined by ',', not '" + text + "'");
    a = ParseInt(line, parts[0], 0, hiA, what);
    b = ParseInt(line, parts[1], 0, hiB, what);
}

void ParseInfo(const SourceLine& line, WorldSource& world)
{
    if (line.words.size() < 3)
        line.Fail("info needs a screen: info <sx> <sy> [options]");
    int sx = ParseInt(line, line.words[1], 0, MapFormat::kScreenGridWidth - 1, "screen x");
    int sy = ParseInt(line, line.words[2], 0, MapFormat::kScreenGridHeight - 1, "screen y");
    auto found = world.screens.find(ScreenKey(sx, sy));
    if (found == world.screens.end())
        line.Fail("info for screen " + line.words[1] + "," + line.words[2] + " which has no screen block");
    ScreenBlock& block = found->second;
    if (block.hasInfo)
        line.Fail("second info for screen " + line.words[1] + "," + line.words[2] + " (first at line " +
                  std::to_string(block.info.number) + ")");
    block.hasInfo = true;
    block.info = line;
    ScreenInfo& info = world.map.Screen(sx, sy);
    for (size_t i = 3; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        if (word == "dungeon") {
            info.isDungeonRoom = 1;
            continue;
        }
        if (word == "exit-south") {
            info.exitSouthReturns = 1;
            continue;
        }
        std::string key, value;
        SplitKeyValue(line, word, key, value);
        if (key == "doors") {
            std::vector<std::string> parts = SplitOn(value, ',');
            if (parts.size() != 4)
                line.Fail("doors needs four states: north,south,east,west");
            for (int d = 0; d < 4; ++d) info.doors[d] = ParseDoorState(line, parts[size_t(d)]);
        } else if (key == "stairs") {
            std::vector<std::string> parts = SplitOn(value, ':');
            if (parts.size() != 2)
                line.Fail("stairs must be <sx>,<sy>:<x>,<y>, not '" + value + "'");
            int tsx, tsy, x, y;
            ParsePair(line, parts[0], MapFormat::kScreenGridWidth - 1, MapFormat::kScreenGridHeight - 1, tsx,
                      tsy, "stairs screen");
            ParsePair(line, parts[1], MapFormat::kScreenColumns - 1, MapFormat::kScreenRows - 1, x, y,
                      "stairs cell");
            int column = tsx * MapFormat::kScreenColumns + x;
            int row = tsy * MapFormat::kScreenRows + y;
            info.stairsTarget = row * MapFormat::kColumns + column;
        } else if (key == "spawn") {
            for (const std::string& part : SplitOn(value, ',')) {
                size_t colon = part.find(':');
                size_t dash = part.find('-', colon == std::string::npos ? 0 : colon);
                if (colon == std::string::npos || dash == std::string::npos)
                    line.Fail("spawn entries are <type>:<min>-<max>, not '" + part + "'");
                int type = ParseInt(line, part.substr(0, colon), 0, MapFormat::kSpawnTypes - 1, "spawn type");
                int lo = ParseInt(line, part.substr(colon + 1, dash - colon - 1), 0, 127, "spawn minimum");
                int hi = ParseInt(line, part.substr(dash + 1), 0, 127, "spawn maximum");
                if (lo > hi)
                    line.Fail("spawn minimum is above its maximum in '" + part + "'");
                info.spawnRange[type][0] = int8_t(lo);
                info.spawnRange[type][1] = int8_t(hi);
            }
        } else {
            line.Fail("unknown screen option '" + key + "'");
        }
    }
}

}  // namespace

void ParseWorld(const std::string& path, const SourceLoader& load, WorldSource& world, int depth)
{
    std::vector<SourceLine> lines = SplitSource(load(path), path);
    Legend legend;
    for (size_t i = 0; i < lines.size(); ++i) {
        const SourceLine& line = lines[i];
        if (line.Empty())
            continue;
        const std::string& command = line.words[0];
        if (command == "include") {
            if (line.words.size() != 2)
                line.Fail("include needs one file name");
            if (depth > 8)
                line.Fail("includes nest too deeply");
            std::string included = JoinPath(DirectoryOf(path), line.words[1]);
            try {
                load(included);
            } catch (const SourceError& e) {
                line.Fail(std::string("cannot include: ") + e.what());
            }
            ParseWorld(included, load, world, depth + 1);
        } else if (command == "legend") {
            ParseLegend(line, legend);
        } else if (command == "info") {
            ParseInfo(line, world);
        } else if (command == "screen") {
            if (line.words.size() != 3)
                line.Fail("screen needs its position: screen <sx> <sy>");
            int sx = ParseInt(line, line.words[1], 0, MapFormat::kScreenGridWidth - 1, "screen x");
            int sy = ParseInt(line, line.words[2], 0, MapFormat::kScreenGridHeight - 1, "screen y");
            auto previous = world.screens.find(ScreenKey(sx, sy));
            if (previous != world.screens.end())
                line.Fail("screen " + line.words[1] + "," + line.words[2] + " is defined twice (first at " +
                          previous->second.header.file + ":" +
                          std::to_string(previous->second.header.number) + ")");
            ScreenBlock block;
            block.sx = sx;
            block.sy = sy;
            block.header = line;
            for (int r = 0; r < MapFormat::kScreenRows; ++r) {
                if (i + 1 >= lines.size())
                    line.Fail("screen " + line.words[1] + "," + line.words[2] + " ends after " +
                              std::to_string(r) + " of " + std::to_string(MapFormat::kScreenRows) + " rows");
                const SourceLine& row = lines[++i];
                if (row.raw.size() != size_t(MapFormat::kScreenColumns))
                    row.Fail("screen row has " + std::to_string(row.raw.size()) + " characters, expected " +
                             std::to_string(MapFormat::kScreenColumns));
                block.rows[size_t(r)] = row;
                for (int c = 0; c < MapFormat::kScreenColumns; ++c) {
                    char ch = row.raw[size_t(c)];
                    auto entry = legend.find(ch);
                    if (entry == legend.end())
                        row.Fail(std::string("unknown legend character '") + ch + "' in column " +
                                 std::to_string(c + 1));
                    int column = sx * MapFormat::kScreenColumns + c;
                    int mapRow = sy * MapFormat::kScreenRows + r;
                    world.map.Cell(0, column, mapRow) = uint8_t(entry->second.tile);
                    world.map.Cell(1, column, mapRow) = uint8_t(entry->second.marker);
                    block.doorMarks[size_t(r)][size_t(c)] = entry->second.door;
                }
            }
            world.screens[ScreenKey(sx, sy)] = block;
        } else {
            line.Fail("unknown command '" + command + "' (include, legend, screen or info)");
        }
    }
}

MapFormat::MapData CompileWorld(const std::string& path, const SourceLoader& load)
{
    WorldSource world;
    ParseWorld(path, load, world, 0);
    CheckWorld(world);
    return world.map;
}

MapFormat::MapData CompileWorldFile(const std::string& path)
{
    return CompileWorld(path, [](const std::string& p) { return ReadTextFile(p); });
}

}  // namespace ktool
