#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

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

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path)
{
    return std::ifstream(path).good();
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

json& ScreenObject(json& root, const std::string& name)
{
    for (json& object : LayerNamed(root, "screens")["objects"]) {
        if (object["name"] == name)
            return object;
    }
    throw std::runtime_error("no screen object " + name);
}

// Runs the compiler; its exit status, with everything it printed.
int RunCompiler(const std::string& source, const std::string& output, std::string& printed)
{
    const std::string command =
        std::string(KARSK_MKWORLD) + " compile '" + source + "' '" + output + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) printed.append(buffer, n);
    return pclose(pipe);
}

class WorldSourceTest : public ::testing::Test {
protected:
    MapData small = smallworld::Make();
    json source = json::parse(ktool::TiledMapWriter::Write(small, "map.bmp"));

    std::string Mutated() const { return source.dump(); }
};

}  // namespace

// Round trips.

TEST(WorldSource, TheShippedSourceCompilesToTheBuiltMapAndBackByteForByte)
{
    const MapData map = ktool::TiledMapReader::ReadFile(KARSK_WORLD_SOURCE);
    const std::vector<uint8_t> bytes = Encode(map);
    ASSERT_EQ(bytes.size(), size_t(275968));
    EXPECT_EQ(bytes, ReadBytes(std::string(KARSK_TEST_DATA_DIR) + "/overworld1.kmap"));

    const MapData again = ktool::TiledMapReader::Parse(ktool::TiledMapWriter::Write(map, "map.bmp"), "again");
    EXPECT_EQ(Encode(again), bytes);
}

TEST(WorldSource, EveryRecordFieldAndReservedByteSurvivesARoundTrip)
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
    const std::string text = ktool::TiledMapWriter::Write(map, "map.bmp");
    EXPECT_EQ(Encode(ktool::TiledMapReader::Parse(text, "odd")), Encode(map));
}

TEST(WorldSource, AnEmptyWorldRoundTripsWithNoScreenObjects)
{
    const MapData empty;
    const json root = json::parse(ktool::TiledMapWriter::Write(empty, "map.bmp"));
    for (const json& layer : root["layers"]) {
        if (layer["name"] == "screens") {
            EXPECT_TRUE(layer["objects"].empty());
        }
    }
    EXPECT_EQ(Encode(ktool::TiledMapReader::Parse(root.dump(), "empty")), Encode(empty));
}

TEST(WorldSource, ScreensAreObjectsWithFriendlyProperties)
{
    const json root = json::parse(ktool::TiledMapWriter::Write(smallworld::Make(), "tiles/map.bmp"));
    EXPECT_EQ(root["tilesets"][0]["image"], "tiles/map.bmp");
    EXPECT_EQ(root["tilesets"][0]["tilecount"], 256);
    json screens;
    for (const json& layer : root["layers"]) {
        if (layer["name"] == "screens")
            screens = layer["objects"];
    }
    // The field with stairs and the three rooms; the start screen's record is all zero.
    ASSERT_EQ(screens.size(), 4u);
    std::map<std::string, json> field;
    for (const json& p : screens[0]["properties"]) field[p["name"]] = p["value"];
    EXPECT_EQ(screens[0]["name"], "8,7");
    EXPECT_EQ(screens[0]["x"], 8 * 512);
    EXPECT_EQ(screens[0]["y"], 7 * 352);
    EXPECT_EQ(field["stairsTarget"], "7,20:7,7");
    EXPECT_EQ(field["spawn.krillopRed"], "1-2");
    EXPECT_EQ(screens[1]["name"], "7,18");
    std::map<std::string, json> middle;
    for (const json& p : screens[2]["properties"]) middle[p["name"]] = p["value"];
    EXPECT_EQ(middle["doorNorth"], "push");
    EXPECT_EQ(middle["doorSouth"], "open");
    std::map<std::string, json> entry;
    for (const json& p : screens[3]["properties"]) entry[p["name"]] = p["value"];
    EXPECT_EQ(entry["isDungeonRoom"], true);
    EXPECT_EQ(entry["exitSouthReturns"], true);
    EXPECT_EQ(entry["spawn.skeleton"], "1-1");
}

TEST_F(WorldSourceTest, TiledsBase64LayersAndPlainNumbersAreRead)
{
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
    json& room = ScreenObject(source, "7,20");
    room["properties"] = json::array({{{"name", "doorNorth"}, {"type", "int"}, {"value", 1}},
                                      {{"name", "isDungeonRoom"}, {"type", "int"}, {"value", 1}},
                                      {{"name", "exitSouthReturns"}, {"type", "bool"}, {"value", true}},
                                      {{"name", "spawn.skeleton"}, {"type", "string"}, {"value", "1"}}});
    ScreenObject(source, "8,7")["properties"][0]["value"] = smallworld::TargetOf(7, 20, 7, 7);
    EXPECT_EQ(Encode(ktool::TiledMapReader::Parse(Mutated(), "b64")), Encode(small));
}

// Bad sources are named.

TEST_F(WorldSourceTest, ALayerOfTheWrongSizeIsRejected)
{
    LayerNamed(source, "terrain")["width"] = 255;
    EXPECT_EQ(Rejection(Mutated()), "world.json: layer 'terrain' is 255 x 330 cells, it must be 256 x 330");
    LayerNamed(source, "terrain")["width"] = 256;
    LayerNamed(source, "markers")["data"].erase(0);
    EXPECT_EQ(Rejection(Mutated()),
              "world.json: layer 'markers' holds 84479 cells, it must hold 84480 (256 x 330)");
}

TEST_F(WorldSourceTest, AMissingLayerIsRejected)
{
    json& layers = source["layers"];
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layers[i]["name"] == "markers")
            layers.erase(i);
    }
    EXPECT_EQ(Rejection(Mutated()), "world.json: missing layer 'markers'");
}

TEST_F(WorldSourceTest, AMapOfTheWrongSizeIsRejected)
{
    source["height"] = 331;
    EXPECT_EQ(Rejection(Mutated()), "world.json: the map is 256 x 331 tiles, it must be 256 x 330");
}

TEST_F(WorldSourceTest, ACellOutsideTheTilesetIsNamedByCellAndScreen)
{
    LayerNamed(source, "terrain")["data"][83 * 256 + 120] = 300;
    EXPECT_EQ(Rejection(Mutated()),
              "world.json: layer 'terrain' cell (120,83) (screen 7,7 cell 8,6) holds tile id "
              "300, which is not in the map tileset (ids 1 to 256)");
    LayerNamed(source, "terrain")["data"][83 * 256 + 120] = 0x80000001u;
    EXPECT_EQ(Rejection(Mutated()),
              "world.json: layer 'terrain' cell (120,83) (screen 7,7 cell 8,6) holds a "
              "flipped or rotated tile");
}

TEST_F(WorldSourceTest, AnUnknownPropertyIsNamedWithItsObject)
{
    ScreenObject(source, "8,7")["properties"].push_back(
        {{"name", "spawn.dragon"}, {"type", "string"}, {"value", "1"}});
    const std::string message = Rejection(Mutated());
    EXPECT_NE(message.find("world.json: object "), std::string::npos) << message;
    EXPECT_NE(message.find(" '8,7' on screen 8,7: unknown property 'spawn.dragon'"), std::string::npos)
        << message;
}

TEST_F(WorldSourceTest, ASpawnTypeWithANameMustUseIt)
{
    ScreenObject(source, "8,7")["properties"].push_back(
        {{"name", "spawn.6"}, {"type", "string"}, {"value", "1"}});
    const std::string message = Rejection(Mutated());
    EXPECT_NE(message.find("unknown property 'spawn.6' (spawn type 6 is written spawn.nerrit)"),
              std::string::npos)
        << message;
}

TEST_F(WorldSourceTest, OutOfRangeValuesAreNamed)
{
    const struct {
        const char* screen;
        json property;
        const char* message;
    } cases[] = {
        {"7,20",
         {{"name", "doorWest"}, {"type", "int"}, {"value", 9}},
         "on screen 7,20: doorWest 9 is out of range (0 to 4)"},
        {"7,20",
         {{"name", "doorEast"}, {"type", "string"}, {"value", "ajar"}},
         "on screen 7,20: doorEast must be none, open, push, clear or locked"},
        {"7,20",
         {{"name", "spawn.batRed"}, {"type", "string"}, {"value", "1-300"}},
         "on screen 7,20: spawn.batRed 1-300 is out of range (-128 to 127)"},
        {"7,20",
         {{"name", "isDungeonRoom"}, {"type", "int"}, {"value", 256}},
         "on screen 7,20: property 'isDungeonRoom' is given twice"},
        {"7,7",
         {{"name", "isDungeonRoom"}, {"type", "int"}, {"value", 256}},
         "on screen 7,7: isDungeonRoom 256 is out of range (0 to 255)"},
        {"7,7",
         {{"name", "stairsTarget"}, {"type", "string"}, {"value", "7,30:1,1"}},
         "on screen 7,7: stairsTarget '7,30:1,1' is out of range"},
        {"7,7",
         {{"name", "stairsTarget"}, {"type", "int"}, {"value", -5}},
         "on screen 7,7: stairsTarget -5 is out of range (0 to 84479)"},
    };
    for (const auto& c : cases) {
        json copy = source;
        json* object = nullptr;
        for (json& o : LayerNamed(copy, "screens")["objects"]) {
            if (o["name"] == c.screen)
                object = &o;
        }
        if (!object) {
            const std::string name = c.screen;
            const size_t comma = name.find(',');
            LayerNamed(copy, "screens")["objects"].push_back({{"id", 50},
                                                              {"name", name},
                                                              {"x", std::stoi(name.substr(0, comma)) * 512},
                                                              {"y", std::stoi(name.substr(comma + 1)) * 352},
                                                              {"properties", json::array()}});
            object = &LayerNamed(copy, "screens")["objects"].back();
        }
        (*object)["properties"].push_back(c.property);
        std::string message;
        try {
            ktool::TiledMapReader::Parse(copy.dump(), "world.json");
        } catch (const ktool::SourceError& e) {
            message = e.what();
        }
        EXPECT_NE(message.find(c.message), std::string::npos)
            << "expected: " << c.message << "\ngot: " << message;
    }
}

TEST_F(WorldSourceTest, AScreenObjectOffTheScreenGridIsRejected)
{
    ScreenObject(source, "8,7")["x"] = 8 * 512 + 3;
    EXPECT_NE(Rejection(Mutated()).find(" '8,7' at (4099,2464) is not on the top-left corner of a screen"),
              std::string::npos);
}

TEST_F(WorldSourceTest, TwoObjectsForOneScreenAreRejected)
{
    json copy = ScreenObject(source, "8,7");
    copy["id"] = 99;
    LayerNamed(source, "screens")["objects"].push_back(copy);
    EXPECT_NE(Rejection(Mutated()).find("object 99 '8,7' on screen 8,7 repeats object"), std::string::npos);
}

TEST(WorldSource, TextThatIsNotJsonIsRejected)
{
    EXPECT_NE(Rejection("{ \"width\": 256, ").find("world.json: not valid JSON"), std::string::npos);
}

// The compiler itself: a broken source never leaves a map behind.

TEST_F(WorldSourceTest, TheCompilerWritesTheMapOfAGoodSource)
{
    const std::string input = TempPath("world") + ".json", output = TempPath("world") + ".kmap";
    WriteText(input, Mutated());
    std::string printed;
    EXPECT_EQ(RunCompiler(input, output, printed), 0) << printed;
    EXPECT_EQ(ReadBytes(output), Encode(small));
    std::remove(input.c_str());
    std::remove(output.c_str());
}

TEST_F(WorldSourceTest, TheCompilerLeavesNoMapForABadSourceOrABrokenWorld)
{
    const std::string input = TempPath("world") + ".json", output = TempPath("world") + ".kmap";
    LayerNamed(source, "terrain")["height"] = 329;
    WriteText(input, Mutated());
    WriteText(output, "stale");
    std::string printed;
    EXPECT_NE(RunCompiler(input, output, printed), 0);
    EXPECT_NE(printed.find(input + ": layer 'terrain' is 256 x 329 cells"), std::string::npos) << printed;
    EXPECT_FALSE(Exists(output));

    LayerNamed(source, "terrain")["height"] = 330;
    LayerNamed(source, "terrain")["data"][83 * 256 + 120] = 2;  // a tree where the host starts
    WriteText(input, Mutated());
    printed.clear();
    EXPECT_NE(RunCompiler(input, output, printed), 0);
    EXPECT_NE(printed.find(input + ": screen 7,7 cell 8,6: the host hero starts here"), std::string::npos)
        << printed;
    EXPECT_FALSE(Exists(output));
    std::remove(input.c_str());
}

TEST(WorldSource, StairsTargetsAndSpawnRangesAreReadInTheirFriendlyForms)
{
    auto apply = [](const char* name, json value, ScreenInfo& info) {
        return ktool::ScreenProperties::Apply({{"name", name}, {"type", "string"}, {"value", value}}, info);
    };
    ScreenInfo info;
    EXPECT_EQ(apply("stairsTarget", " 7, 20 : 7 ,7 ", info), "");
    EXPECT_EQ(info.stairsTarget, smallworld::TargetOf(7, 20, 7, 7));
    EXPECT_EQ(apply("spawn.snake", " 1 - 3 ", info), "");
    EXPECT_EQ(info.SpawnMin(18), 1);
    EXPECT_EQ(info.SpawnMax(18), 3);
    EXPECT_EQ(apply("spawn.snake", "-2--1", info), "");
    EXPECT_EQ(info.SpawnMin(18), -2);
    EXPECT_EQ(info.SpawnMax(18), -1);
    EXPECT_EQ(apply("spawn.snake", "4", info), "");
    EXPECT_EQ(info.SpawnMin(18), 4);
    EXPECT_EQ(info.SpawnMax(18), 4);
    for (const char* bad : {"1-", "two", "1-3x", "1234567", ""})
        EXPECT_EQ(apply("spawn.snake", bad, info),
                  std::string("spawn.snake '") + bad + "' is not a count or a range \"min-max\"");
    for (const char* bad : {"7,20:7", "7;20:7,7", "-1,20:7,7", "7,20:7,7,1"})
        EXPECT_EQ(apply("stairsTarget", bad, info),
                  std::string("stairsTarget '") + bad + "' is not \"sx,sy:x,y\" (screen and cell)");
    EXPECT_EQ(info.stairsTarget, smallworld::TargetOf(7, 20, 7, 7));
}
