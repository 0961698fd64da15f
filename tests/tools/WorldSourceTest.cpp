#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>

#include "tests/support/TestSupport.h"
#include "tests/tools/SmallWorld.h"
#include "tools/common/SourceText.h"
#include "tools/world/ScreenProperties.h"
#include "tools/world/TiledMapReader.h"
#include "tools/world/TiledMapWriter.h"

using namespace MapFormat;
using nlohmann::json;

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string Source(const MapData& map)
{
    return ktool::TiledMapWriter::Write(map, "map.bmp");
}

// The reader's message for a source, or "" when it is accepted.
std::string Rejection(const std::string& text)
{
    try {
        ktool::TiledMapReader::Parse(text, "world.json");
    } catch (const ktool::SourceError& e) {
        return e.what();
    }
    return "";
}

json& LayerNamed(json& root, const std::string& name)
{
    for (json& layer : root["layers"]) {
        if (layer["name"] == name)
            return layer;
    }
    throw std::runtime_error("no layer " + name);
}

// The object of screen "sx,sy", made when the screen has none.
json& ScreenObject(json& root, const std::string& name)
{
    json& objects = LayerNamed(root, "screens")["objects"];
    for (json& object : objects) {
        if (object["name"] == name)
            return object;
    }
    const size_t comma = name.find(',');
    objects.push_back({{"id", 50},
                       {"name", name},
                       {"x", std::stoi(name.substr(0, comma)) * 512},
                       {"y", std::stoi(name.substr(comma + 1)) * 352},
                       {"properties", json::array()}});
    return objects.back();
}

// A screen object's properties by name.
std::map<std::string, json> Properties(const json& object)
{
    std::map<std::string, json> out;
    for (const json& p : object["properties"]) out[p["name"]] = p["value"];
    return out;
}

json Property(const char* name, json value)
{
    return {{"name", name}, {"type", value.is_number() ? "int" : "string"}, {"value", value}};
}

}  // namespace

TEST(WorldSource, TheShippedSourceCompilesToTheBuiltMapAndBackByteForByte)
{
    const MapData map = ktool::TiledMapReader::ReadFile(KARSK_WORLD_SOURCE);
    const std::vector<uint8_t> bytes = Encode(map);
    ASSERT_EQ(bytes.size(), size_t(275968));
    EXPECT_EQ(bytes, ReadBytes(std::string(KARSK_TEST_DATA_DIR) + "/overworld1.kmap"));
    EXPECT_EQ(Encode(ktool::TiledMapReader::Parse(Source(map), "again")), bytes);
}

TEST(WorldSource, EveryRecordFieldAndReservedByteSurvivesARoundTripAndAnEmptyWorldHasNoScreenObjects)
{
    MapData map = smallworld::Make();
    ScreenInfo& odd = map.Screen(3, 5);
    odd.stairsTarget = smallworld::TargetOf(15, 29, 15, 10);
    odd.reserved0[2] = 0xAB;
    odd.reserved1 = 7;
    odd.reserved2[19] = 0xFF;
    odd.isDungeonRoom = 9;
    odd.exitSouthReturns = 200;
    odd.spawnRange[63][0] = -128;
    odd.spawnRange[63][1] = 127;
    odd.spawnRange[50][1] = 3;
    odd.doors[3] = DOOR_LOCKED;
    map.Cell(0, 255, 329) = 255;
    map.Cell(1, 0, 0) = 16;
    EXPECT_EQ(Encode(ktool::TiledMapReader::Parse(Source(map), "odd")), Encode(map));

    const MapData empty;
    json root = json::parse(Source(empty));
    EXPECT_TRUE(LayerNamed(root, "screens")["objects"].empty());
    EXPECT_EQ(Encode(ktool::TiledMapReader::Parse(root.dump(), "empty")), Encode(empty));
}

TEST(WorldSource, ScreensAreObjectsWithFriendlyProperties)
{
    json root = json::parse(ktool::TiledMapWriter::Write(smallworld::Make(), "tiles/map.bmp"));
    EXPECT_EQ(root["tilesets"][0]["image"], "tiles/map.bmp");
    EXPECT_EQ(root["tilesets"][0]["tilecount"], 256);
    // The field with stairs and the three rooms; the start screen's record is all zero.
    const json& screens = LayerNamed(root, "screens")["objects"];
    ASSERT_EQ(screens.size(), 4u);
    EXPECT_EQ(screens[0]["name"], "8,7");
    EXPECT_EQ(screens[0]["x"], 8 * 512);
    EXPECT_EQ(screens[0]["y"], 7 * 352);
    EXPECT_EQ(Properties(screens[0])["stairsTarget"], "7,20:7,7");
    EXPECT_EQ(Properties(screens[0])["spawn.krillopRed"], "1-2");
    EXPECT_EQ(screens[1]["name"], "7,18");
    EXPECT_EQ(Properties(screens[2])["doorNorth"], "push");
    EXPECT_EQ(Properties(screens[2])["doorSouth"], "open");
    EXPECT_EQ(Properties(screens[3])["isDungeonRoom"], true);
    EXPECT_EQ(Properties(screens[3])["exitSouthReturns"], true);
    EXPECT_EQ(Properties(screens[3])["spawn.skeleton"], "1-1");
}

TEST(WorldSource, TiledsBase64LayersAndPlainNumbersAreRead)
{
    const MapData small = smallworld::Make();
    json source = json::parse(Source(small));
    json& markers = LayerNamed(source, "markers");
    std::string bytes;
    for (const json& cell : markers["data"]) {
        uint32_t v = cell.get<uint32_t>();
        for (int i = 0; i < 4; ++i) bytes.push_back(char(v >> (8 * i)));
    }
    static const char* const kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t v =
            uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
        for (int k = 3; k >= 0; --k) text.push_back(kDigits[(v >> (6 * k)) & 63]);
    }
    markers["data"] = text;
    markers["encoding"] = "base64";
    ScreenObject(source, "7,20")["properties"] =
        json::array({Property("doorNorth", 1),
                     Property("isDungeonRoom", 1),
                     {{"name", "exitSouthReturns"}, {"type", "bool"}, {"value", true}},
                     Property("spawn.skeleton", "1")});
    ScreenObject(source, "8,7")["properties"][0]["value"] = smallworld::TargetOf(7, 20, 7, 7);
    EXPECT_EQ(Encode(ktool::TiledMapReader::Parse(source.dump(), "b64")), Encode(small));
}

TEST(WorldSource, BadSourcesAreRejectedNamingLayerCellObjectOrProperty)
{
    auto add = [](const char* screen, json property) {
        return [=](json& root) { ScreenObject(root, screen)["properties"].push_back(property); };
    };
    const struct {
        std::function<void(json&)> change;
        const char* message;  // the whole message when it names the file, else a part of it
    } kCases[] = {
        {[](json& r) { LayerNamed(r, "terrain")["width"] = 255; },
         "world.json: layer 'terrain' is 255 x 330 cells, it must be 256 x 330"},
        {[](json& r) { LayerNamed(r, "markers")["data"].erase(0); },
         "world.json: layer 'markers' holds 84479 cells, it must hold 84480 (256 x 330)"},
        {[](json& r) { r["layers"].erase(1); }, "world.json: missing layer 'markers'"},
        {[](json& r) { r["height"] = 331; }, "world.json: the map is 256 x 331 tiles, it must be 256 x 330"},
        {[](json& r) { LayerNamed(r, "terrain")["data"][83 * 256 + 120] = 300; },
         "world.json: layer 'terrain' cell (120,83) (screen 7,7 cell 8,6) holds tile id 300, which is not "
         "in the map tileset (ids 1 to 256)"},
        {[](json& r) { LayerNamed(r, "terrain")["data"][83 * 256 + 120] = 0x80000001u; },
         "world.json: layer 'terrain' cell (120,83) (screen 7,7 cell 8,6) holds a flipped or rotated tile"},
        {add("8,7", Property("spawn.dragon", "1")), " '8,7' on screen 8,7: unknown property 'spawn.dragon'"},
        {add("8,7", Property("spawn.6", "1")),
         "unknown property 'spawn.6' (spawn type 6 is written spawn.nerrit)"},
        {add("7,20", Property("doorWest", 9)), "on screen 7,20: doorWest 9 is out of range (0 to 4)"},
        {add("7,20", Property("doorEast", "ajar")),
         "on screen 7,20: doorEast must be none, open, push, clear or locked"},
        {add("7,20", Property("spawn.batRed", "1-300")),
         "on screen 7,20: spawn.batRed 1-300 is out of range (-128 to 127)"},
        {add("7,20", Property("isDungeonRoom", 256)),
         "on screen 7,20: property 'isDungeonRoom' is given twice"},
        {add("7,7", Property("isDungeonRoom", 256)),
         "on screen 7,7: isDungeonRoom 256 is out of range (0 to 255)"},
        {add("7,7", Property("stairsTarget", "7,30:1,1")),
         "on screen 7,7: stairsTarget '7,30:1,1' is out of range"},
        {add("7,7", Property("stairsTarget", -5)),
         "on screen 7,7: stairsTarget -5 is out of range (0 to 84479)"},
        {[](json& r) { ScreenObject(r, "8,7")["x"] = 8 * 512 + 3; },
         " '8,7' at (4099,2464) is not on the top-left corner of a screen"},
        {[](json& r) {
             json copy = ScreenObject(r, "8,7");
             copy["id"] = 99;
             LayerNamed(r, "screens")["objects"].push_back(copy);
         },
         "object 99 '8,7' on screen 8,7 repeats object"},
    };
    const json small = json::parse(Source(smallworld::Make()));
    ASSERT_EQ(small["layers"][1]["name"], "markers");
    for (const auto& c : kCases) {
        json source = small;
        c.change(source);
        const std::string message = Rejection(source.dump());
        if (std::string(c.message).rfind("world.json:", 0) == 0) {
            EXPECT_EQ(message, c.message);
        } else {
            EXPECT_NE(message.find(c.message), std::string::npos)
                << "expected: " << c.message << "\ngot: " << message;
        }
    }
    EXPECT_NE(Rejection("{ \"width\": 256, ").find("world.json: not valid JSON"), std::string::npos);
}

TEST(WorldSource, TheCompilerLeavesNoMapForABadSourceOrABrokenWorld)
{
    json source = json::parse(Source(smallworld::Make()));
    const std::string input = TempPath("world") + ".json", output = TempPath("world") + ".kmap";
    // Its exit status, with everything it printed.
    auto compile = [&](std::string& printed) {
        std::ofstream(input, std::ios::binary) << source.dump();
        std::ofstream(output) << "stale";
        FILE* pipe = popen(
            (std::string(KARSK_MKWORLD) + " compile '" + input + "' '" + output + "' 2>&1").c_str(), "r");
        if (!pipe)
            return -1;
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) printed.append(buffer, n);
        return pclose(pipe);
    };
    LayerNamed(source, "terrain")["height"] = 329;
    std::string printed;
    EXPECT_NE(compile(printed), 0);
    EXPECT_NE(printed.find(input + ": layer 'terrain' is 256 x 329 cells"), std::string::npos) << printed;
    EXPECT_FALSE(std::ifstream(output).good());

    LayerNamed(source, "terrain")["height"] = 330;
    LayerNamed(source, "terrain")["data"][83 * 256 + 120] = 2;  // a tree where the host starts
    printed.clear();
    EXPECT_NE(compile(printed), 0);
    EXPECT_NE(printed.find(input + ": screen 7,7 cell 8,6: the host hero starts here"), std::string::npos)
        << printed;
    EXPECT_FALSE(std::ifstream(output).good());
    std::remove(input.c_str());
}

TEST(WorldSource, StairsTargetsAndSpawnRangesAreReadInTheirFriendlyForms)
{
    ScreenInfo info;
    auto apply = [&](const char* name, const char* value) {
        return ktool::ScreenProperties::Apply(Property(name, value), info);
    };
    EXPECT_EQ(apply("stairsTarget", " 7, 20 : 7 ,7 "), "");
    EXPECT_EQ(info.stairsTarget, smallworld::TargetOf(7, 20, 7, 7));
    const struct {
        const char* text;
        int min, max;
    } kRanges[] = {{" 1 - 3 ", 1, 3}, {"-2--1", -2, -1}, {"4", 4, 4}};
    for (const auto& r : kRanges) {
        EXPECT_EQ(apply("spawn.snake", r.text), "");
        EXPECT_EQ(info.SpawnMin(18), r.min) << r.text;
        EXPECT_EQ(info.SpawnMax(18), r.max) << r.text;
    }
    for (const char* bad : {"1-", "two", "1-3x", "1234567", ""})
        EXPECT_EQ(apply("spawn.snake", bad),
                  std::string("spawn.snake '") + bad + "' is not a count or a range \"min-max\"");
    for (const char* bad : {"7,20:7", "7;20:7,7", "-1,20:7,7", "7,20:7,7,1"})
        EXPECT_EQ(apply("stairsTarget", bad),
                  std::string("stairsTarget '") + bad + "' is not \"sx,sy:x,y\" (screen and cell)");
    EXPECT_EQ(info.stairsTarget, smallworld::TargetOf(7, 20, 7, 7));
}
