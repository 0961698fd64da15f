#include "tools/world/TiledMapWriter.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tools/common/SourceText.h"
#include "tools/world/ScreenProperties.h"
#include "tools/world/TiledMapReader.h"

using nlohmann::json;

namespace ktool {
namespace {

using namespace MapFormat;

constexpr int kFirstGid = 1;

bool ScreenIsBlank(const MapData& map, int sx, int sy)
{
    if (!ScreenProperties::IsZero(map.screens[size_t(sy * kScreenGridWidth + sx)]))
        return false;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int r = 0; r < kScreenRows; ++r) {
            for (int c = 0; c < kScreenColumns; ++c) {
                size_t at = size_t(layer) * kLayerBytes + size_t(sy * kScreenRows + r) * kColumns +
                            size_t(sx * kScreenColumns + c);
                if (map.tiles[at] != 0)
                    return false;
            }
        }
    }
    return true;
}

// One row of cells per line keeps the file readable and its diffs small.
void WriteTileLayer(std::ostream& out, const MapData& map, int layer, int id, const char* name, bool last)
{
    out << "    {\n"
        << "      \"id\": " << id << ",\n"
        << "      \"name\": \"" << name << "\",\n"
        << "      \"type\": \"tilelayer\",\n"
        << "      \"width\": " << kColumns << ",\n"
        << "      \"height\": " << kRows << ",\n"
        << "      \"x\": 0,\n      \"y\": 0,\n"
        << "      \"opacity\": 1,\n      \"visible\": true,\n"
        << "      \"data\": [\n";
    std::vector<bool> blank(size_t(kScreenGridWidth) * (kRows / kScreenRows));
    for (int sy = 0; sy < kRows / kScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx)
            blank[size_t(sy * kScreenGridWidth + sx)] = ScreenIsBlank(map, sx, sy);
    }
    for (int r = 0; r < kRows; ++r) {
        out << "        ";
        for (int c = 0; c < kColumns; ++c) {
            int value = map.tiles[size_t(layer) * kLayerBytes + size_t(r) * kColumns + size_t(c)];
            // Terrain tile 0 is drawn as tile 0 except where a whole screen is unused.
            bool empty = layer == 1 ? value == 0
                                    : blank[size_t(r / kScreenRows * kScreenGridWidth + c / kScreenColumns)];
            out << (empty ? 0 : value + kFirstGid);
            if (c + 1 < kColumns || r + 1 < kRows)
                out << ",";
        }
        out << "\n";
    }
    out << "      ]\n    }" << (last ? "\n" : ",\n");
}

void WriteScreens(std::ostream& out, const MapData& map, int& nextObject)
{
    out << "    {\n"
        << "      \"id\": 3,\n"
        << "      \"name\": \"" << TiledMapReader::kScreenLayer << "\",\n"
        << "      \"type\": \"objectgroup\",\n"
        << "      \"draworder\": \"topdown\",\n"
        << "      \"x\": 0,\n      \"y\": 0,\n"
        << "      \"opacity\": 0.6,\n      \"visible\": true,\n"
        << "      \"objects\": [";
    bool first = true;
    for (int sy = 0; sy < kScreenGridHeight; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            const ScreenInfo& info = map.screens[size_t(sy * kScreenGridWidth + sx)];
            json properties;
            try {
                properties = ScreenProperties::ToJson(info);
            } catch (const SourceError& e) {
                throw SourceError("screen " + std::to_string(sx) + "," + std::to_string(sy) + ": " +
                                  e.what());
            }
            if (properties.empty())
                continue;
            out << (first ? "\n" : ",\n");
            first = false;
            out << "        {\"id\": " << nextObject++ << ", \"name\": \"" << sx << "," << sy
                << "\", \"type\": \"screen\", \"x\": " << sx * kScreenColumns * 32
                << ", \"y\": " << sy * kScreenRows * 32
                << ", \"width\": 512, \"height\": 352, \"rotation\": 0, \"visible\": true,\n"
                << "         \"properties\": [\n";
            for (size_t i = 0; i < properties.size(); ++i)
                out << "           " << properties[i].dump() << (i + 1 < properties.size() ? ",\n" : "\n");
            out << "         ]}";
        }
    }
    out << (first ? "]\n" : "\n      ]\n") << "    }\n";
}

}  // namespace

std::string TiledMapWriter::Write(const MapData& map, const std::string& tilesetImage)
{
    std::ostringstream layers;
    WriteTileLayer(layers, map, 0, 1, TiledMapReader::kTerrainLayer, false);
    WriteTileLayer(layers, map, 1, 2, TiledMapReader::kMarkerLayer, false);
    int nextObject = 1;
    WriteScreens(layers, map, nextObject);

    json tileset = {{"firstgid", kFirstGid}, {"name", "map"},   {"image", tilesetImage}, {"imagewidth", 512},
                    {"imageheight", 512},    {"tilewidth", 32}, {"tileheight", 32},      {"tilecount", 256},
                    {"columns", 16},         {"margin", 0},     {"spacing", 0}};
    std::ostringstream out;
    out << "{\n"
        << "  \"type\": \"map\",\n"
        << "  \"version\": \"1.8\",\n"
        << "  \"tiledversion\": \"1.8.2\",\n"
        << "  \"orientation\": \"orthogonal\",\n"
        << "  \"renderorder\": \"right-down\",\n"
        << "  \"width\": " << kColumns << ",\n"
        << "  \"height\": " << kRows << ",\n"
        << "  \"tilewidth\": 32,\n"
        << "  \"tileheight\": 32,\n"
        << "  \"infinite\": false,\n"
        << "  \"compressionlevel\": -1,\n"
        << "  \"nextlayerid\": 4,\n"
        << "  \"nextobjectid\": " << nextObject << ",\n"
        << "  \"tilesets\": [\n    " << tileset.dump() << "\n  ],\n"
        << "  \"layers\": [\n"
        << layers.str() << "  ]\n"
        << "}\n";
    return out.str();
}

void TiledMapWriter::WriteFile(const std::string& path, const MapData& map, const std::string& tilesetImage)
{
    std::string text = Write(map, tilesetImage);
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out)
        throw SourceError(path + ": write failed");
}

}  // namespace ktool
