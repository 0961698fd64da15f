#include "tools/world/TiledMapReader.h"

#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "tools/common/SourceText.h"
#include "tools/world/ScreenProperties.h"

using nlohmann::json;

namespace ktool {
namespace {

using namespace MapFormat;

constexpr int kTileSize = 32;
constexpr int kScreenWidthPx = kScreenColumns * kTileSize;
constexpr int kScreenHeightPx = kScreenRows * kTileSize;
constexpr uint32_t kFlipBits = 0xF0000000u;  // Tiled's flip and rotation flags
// The tileset's 256 ids must stay below the flip flags.
constexpr uint32_t kMaxFirstGid = kFlipBits - 256;

class Reader {
public:
    explicit Reader(const std::string& label) : label(label) {}

    [[noreturn]] void Fail(const std::string& message) const { throw SourceError(label + ": " + message); }

    MapData Read(const std::string& text)
    {
        json root;
        try {
            root = json::parse(text);
        } catch (const json::parse_error& e) {
            Fail(std::string("not valid JSON: ") + e.what());
        }
        if (!root.is_object())
            Fail("not a Tiled map: the top level is not an object");
        CheckMapShape(root);
        firstGid = TilesetFirstGid(root);
        const json& layers = Member(root, "layers", "the map");
        if (!layers.is_array())
            Fail("\"layers\" is not an array");
        MapData map;
        ReadTileLayer(FindLayer(layers, TiledMapReader::kTerrainLayer, "tilelayer"), 0, map);
        ReadTileLayer(FindLayer(layers, TiledMapReader::kMarkerLayer, "tilelayer"), 1, map);
        ReadScreens(FindLayer(layers, TiledMapReader::kScreenLayer, "objectgroup"), map);
        return map;
    }

private:
    const json& Member(const json& object, const char* key, const std::string& owner) const
    {
        auto found = object.find(key);
        if (found == object.end())
            Fail(owner + " has no \"" + key + "\"");
        return *found;
    }

    int64_t WholeNumber(const json& object, const char* key, const std::string& owner) const
    {
        const json& v = Member(object, key, owner);
        if (!v.is_number_integer() && !v.is_number_unsigned())
            Fail(owner + ": \"" + key + "\" is not a whole number");
        return v.get<int64_t>();
    }

    // Members that may be left out (empty, false); when given, of the right type.
    std::string OptionalText(const json& object, const char* key, const std::string& owner) const
    {
        auto found = object.find(key);
        if (found == object.end())
            return "";
        if (!found->is_string())
            Fail(owner + ": \"" + key + "\" is not a string");
        return found->get<std::string>();
    }

    bool OptionalFlag(const json& object, const char* key, const std::string& owner) const
    {
        auto found = object.find(key);
        if (found == object.end())
            return false;
        if (!found->is_boolean())
            Fail(owner + ": \"" + key + "\" is neither true nor false");
        return found->get<bool>();
    }

    void CheckMapShape(const json& root) const
    {
        int64_t w = WholeNumber(root, "width", "the map"), h = WholeNumber(root, "height", "the map");
        if (w != kColumns || h != kRows)
            Fail("the map is " + std::to_string(w) + " x " + std::to_string(h) + " tiles, it must be " +
                 std::to_string(kColumns) + " x " + std::to_string(kRows));
        int64_t tw = WholeNumber(root, "tilewidth", "the map"),
                th = WholeNumber(root, "tileheight", "the map");
        if (tw != kTileSize || th != kTileSize)
            Fail("the map's tiles are " + std::to_string(tw) + " x " + std::to_string(th) +
                 " pixels, they must be 32 x 32");
        if (OptionalFlag(root, "infinite", "the map"))
            Fail("the map is infinite; the world is a fixed 256 x 330 map");
        const std::string orientation = OptionalText(root, "orientation", "the map");
        if (!orientation.empty() && orientation != "orthogonal")
            Fail("the map is not orthogonal");
    }

    int64_t TilesetFirstGid(const json& root) const
    {
        const json& tilesets = Member(root, "tilesets", "the map");
        if (!tilesets.is_array() || tilesets.size() != 1)
            Fail("the map must have exactly one tileset, the map tile sheet");
        const json& set = tilesets[0];
        int64_t first = WholeNumber(set, "firstgid", "the tileset");
        if (first < 1 || first > int64_t(kMaxFirstGid))
            Fail("the tileset's firstgid must be 1 to " + std::to_string(kMaxFirstGid));
        if (set.contains("tilecount") && set["tilecount"] != 256)
            Fail("the tileset must hold 256 tiles (16 x 16 tiles of 32 x 32)");
        return first;
    }

    const json& FindLayer(const json& layers, const char* name, const char* type) const
    {
        const json* found = nullptr;
        for (const json& layer : layers) {
            if (!layer.is_object() || OptionalText(layer, "name", "a layer") != name)
                continue;
            if (found)
                Fail(std::string("two layers are named '") + name + "'");
            found = &layer;
        }
        if (!found)
            Fail(std::string("missing layer '") + name + "'");
        if (OptionalText(*found, "type", std::string("layer '") + name + "'") != type)
            Fail(std::string("layer '") + name + "' must be a " +
                 (std::string(type) == "tilelayer" ? "tile layer" : "object layer"));
        return *found;
    }

    std::string CellName(const std::string& layer, size_t index) const
    {
        int c = int(index % kColumns), r = int(index / kColumns);
        return "layer '" + layer + "' cell (" + std::to_string(c) + "," + std::to_string(r) + ") (screen " +
               std::to_string(c / kScreenColumns) + "," + std::to_string(r / kScreenRows) + " cell " +
               std::to_string(c % kScreenColumns) + "," + std::to_string(r % kScreenRows) + ")";
    }

    std::vector<uint32_t> Base64Cells(const std::string& layer, const std::string& text) const
    {
        auto value = [](char ch) -> int {
            if (ch >= 'A' && ch <= 'Z')
                return ch - 'A';
            if (ch >= 'a' && ch <= 'z')
                return ch - 'a' + 26;
            if (ch >= '0' && ch <= '9')
                return ch - '0' + 52;
            return ch == '+' ? 62 : ch == '/' ? 63 : -1;
        };
        std::vector<uint8_t> bytes;
        uint32_t bits = 0;
        int count = 0;
        for (char ch : text) {
            if (ch == '=' || ch == '\n' || ch == '\r' || ch == ' ')
                continue;
            int v = value(ch);
            if (v < 0)
                Fail("layer '" + layer + "': its data is not base64");
            bits = bits << 6 | uint32_t(v);
            if (++count == 4) {
                bytes.push_back(uint8_t(bits >> 16));
                bytes.push_back(uint8_t(bits >> 8));
                bytes.push_back(uint8_t(bits));
                bits = 0;
                count = 0;
            }
        }
        if (count == 2)
            bytes.push_back(uint8_t(bits >> 4));
        else if (count == 3) {
            bytes.push_back(uint8_t(bits >> 10));
            bytes.push_back(uint8_t(bits >> 2));
        }
        if (bytes.size() % 4 != 0)
            Fail("layer '" + layer + "': its base64 data is not whole 32-bit cells");
        std::vector<uint32_t> cells(bytes.size() / 4);
        for (size_t i = 0; i < cells.size(); ++i)
            cells[i] = uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 |
                       uint32_t(bytes[4 * i + 2]) << 16 | uint32_t(bytes[4 * i + 3]) << 24;
        return cells;
    }

    std::vector<uint32_t> LayerCells(const json& layer, const std::string& name) const
    {
        const std::string owner = "layer '" + name + "'";
        int64_t w = WholeNumber(layer, "width", owner), h = WholeNumber(layer, "height", owner);
        if (w != kColumns || h != kRows)
            Fail(owner + " is " + std::to_string(w) + " x " + std::to_string(h) + " cells, it must be " +
                 std::to_string(kColumns) + " x " + std::to_string(kRows));
        if (layer.contains("chunks"))
            Fail(owner + " is stored in chunks; the world is a fixed 256 x 330 map");
        const json& data = Member(layer, "data", owner);
        std::vector<uint32_t> cells;
        if (data.is_string()) {
            if (!OptionalText(layer, "compression", owner).empty())
                Fail(owner + " is compressed; save tile layers as CSV or uncompressed base64");
            cells = Base64Cells(name, data.get<std::string>());
        } else if (data.is_array()) {
            cells.reserve(data.size());
            for (size_t i = 0; i < data.size(); ++i) {
                const json& v = data[i];
                if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<int64_t>() >= 0))
                    Fail(CellName(name, i) + " is not a tile id");
                uint64_t id = v.get<uint64_t>();
                if (id > 0xFFFFFFFFull)
                    Fail(CellName(name, i) + " holds tile id " + std::to_string(id) + ", out of range");
                cells.push_back(uint32_t(id));
            }
        } else {
            Fail(owner + ": \"data\" is neither an array nor a string");
        }
        if (cells.size() != size_t(kLayerBytes))
            Fail(owner + " holds " + std::to_string(cells.size()) + " cells, it must hold " +
                 std::to_string(kLayerBytes) + " (256 x 330)");
        return cells;
    }

    void ReadTileLayer(const json& layer, int index, MapData& map) const
    {
        const std::string name = index == 0 ? TiledMapReader::kTerrainLayer : TiledMapReader::kMarkerLayer;
        std::vector<uint32_t> cells = LayerCells(layer, name);
        for (size_t i = 0; i < cells.size(); ++i) {
            uint32_t id = cells[i];
            if (id & kFlipBits)
                Fail(CellName(name, i) + " holds a flipped or rotated tile");
            // An empty cell is tile 0 on the terrain and no marker on the markers.
            int value = 0;
            if (id != 0) {
                if (id < firstGid || id >= firstGid + 256)
                    Fail(CellName(name, i) + " holds tile id " + std::to_string(id) +
                         ", which is not in the map tileset (ids " + std::to_string(firstGid) + " to " +
                         std::to_string(firstGid + 255) + ")");
                value = int(id - firstGid);
            }
            map.tiles[size_t(index) * kLayerBytes + i] = uint8_t(value);
        }
    }

    void ReadScreens(const json& layer, MapData& map) const
    {
        const json& objects = Member(layer, "objects", "layer 'screens'");
        if (!objects.is_array())
            Fail("layer 'screens': \"objects\" is not an array");
        std::map<int, std::string> taken;
        for (const json& object : objects) {
            if (!object.is_object())
                Fail("layer 'screens' holds something that is not an object");
            std::string who = "object " + (object.contains("id") ? object["id"].dump() : std::string("?"));
            const std::string name = OptionalText(object, "name", who);
            if (!name.empty())
                who += " '" + name + "'";
            for (const char* typeKey : {"type", "class"}) {
                std::string kind = OptionalText(object, typeKey, who);
                if (!kind.empty() && kind != "screen")
                    Fail(who + " has " + typeKey + " '" + kind +
                         "'; layer 'screens' holds only screen records");
            }
            if (!object.contains("x") || !object.contains("y") || !object["x"].is_number() ||
                !object["y"].is_number())
                Fail(who + " has no position");
            double x = object["x"].get<double>(), y = object["y"].get<double>();
            bool inside = x >= 0 && y >= 0 && x < double(kScreenGridWidth * kScreenWidthPx) &&
                          y < double(kScreenGridHeight * kScreenHeightPx);
            int sx = inside ? int(x) / kScreenWidthPx : 0, sy = inside ? int(y) / kScreenHeightPx : 0;
            if (!inside || x != double(sx * kScreenWidthPx) || y != double(sy * kScreenHeightPx))
                Fail(who + " at (" + object["x"].dump() + "," + object["y"].dump() +
                     ") is not on the top-left corner of a screen (multiples of 512, 352; 16 x 38 screens)");
            const std::string here = std::to_string(sx) + "," + std::to_string(sy);
            who += " on screen " + here;
            if (!name.empty() && name.find_first_not_of("0123456789, ") == std::string::npos && name != here)
                Fail(who + " is named as another screen; rename it or move it");
            auto previous = taken.find(sy * kScreenGridWidth + sx);
            if (previous != taken.end())
                Fail(who + " repeats " + previous->second + " for the same screen");
            taken[sy * kScreenGridWidth + sx] = who;
            ScreenInfo& info = map.Screen(sx, sy);
            if (!object.contains("properties"))
                continue;
            const json& properties = object["properties"];
            if (!properties.is_array())
                Fail(who + ": \"properties\" is not an array");
            std::set<std::string> seen;
            for (const json& property : properties) {
                std::string propertyName =
                    property.is_object() && property.contains("name") && property["name"].is_string()
                        ? property["name"].get<std::string>()
                        : "";
                if (!seen.insert(propertyName).second)
                    Fail(who + ": property '" + propertyName + "' is given twice");
                std::string problem = ScreenProperties::Apply(property, info);
                if (!problem.empty())
                    Fail(who + ": " + problem);
            }
        }
    }

    std::string label;
    int64_t firstGid = 1;
};

}  // namespace

MapData TiledMapReader::Parse(const std::string& text, const std::string& label)
{
    // Every member is checked before use; this only keeps a missed one from
    // ending the compiler.
    try {
        return Reader(label).Read(text);
    } catch (const json::exception& e) {
        throw SourceError(label + ": not a map this compiler reads: " + e.what());
    }
}

MapData TiledMapReader::ReadFile(const std::string& path)
{
    return Parse(ReadTextFile(path), path);
}

}  // namespace ktool
