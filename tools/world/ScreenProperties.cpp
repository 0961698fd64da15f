#include "tools/world/ScreenProperties.h"

#include <cstdio>
#include <cstring>

#include "tools/common/SourceText.h"

using nlohmann::json;

namespace ktool {
namespace {

using MapFormat::kColumns;
using MapFormat::kRows;
using MapFormat::kScreenColumns;
using MapFormat::kScreenRows;

struct SpawnName {
    int type;
    const char* name;
};

// The types the game creates something particular for; the rest make red Krillops.
const SpawnName kSpawnNames[] = {
    {0, "krillopRed"},  {2, "krillopBlue"}, {6, "nerrit"},   {9, "gorlakRed"},
    {10, "gorlakBlue"}, {11, "skeleton"},   {12, "batBlue"}, {13, "batRed"},
    {18, "snake"},      {30, "pushBlock"},  {50, "nothing"},
};

const char* const kDoorStates[5] = {"none", "open", "push", "clear", "locked"};
constexpr int kReservedBytes = 5 + 1 + 20;

json Property(const std::string& name, const char* type, json value)
{
    return json{{"name", name}, {"type", type}, {"value", std::move(value)}};
}

// Reserved bytes in file order, for records copied from maps made elsewhere.
void ReservedBytes(const ScreenInfo& info, uint8_t (&out)[kReservedBytes])
{
    std::memcpy(out, info.reserved0, 5);
    out[5] = info.reserved1;
    std::memcpy(out + 6, info.reserved2, 20);
}

std::string StairsText(int32_t target)
{
    int column = target % kColumns, row = target / kColumns;
    return std::to_string(column / kScreenColumns) + "," + std::to_string(row / kScreenRows) + ":" +
           std::to_string(column % kScreenColumns) + "," + std::to_string(row % kScreenRows);
}

// Whole numbers and separators of a short text, spaces skipped.
class Scanner {
public:
    explicit Scanner(const std::string& text) : text(text) {}

    // At most six digits, so that any number read fits a long.
    bool Number(long& out, bool signAllowed)
    {
        Skip();
        bool negative = signAllowed && pos < text.size() && text[pos] == '-';
        size_t start = negative ? pos + 1 : pos, end = start;
        long v = 0;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9' && end - start < 7)
            v = v * 10 + (text[end++] - '0');
        if (end == start || end - start > 6)
            return false;
        pos = end;
        out = negative ? -v : v;
        return true;
    }
    bool Symbol(char c)
    {
        Skip();
        if (pos >= text.size() || text[pos] != c)
            return false;
        ++pos;
        return true;
    }
    bool AtEnd()
    {
        Skip();
        return pos == text.size();
    }

private:
    void Skip()
    {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    }

    const std::string& text;
    size_t pos = 0;
};

bool IsWholeNumber(const json& v)
{
    return v.is_number_integer() || v.is_number_unsigned();
}

std::string ApplyStairs(const json& value, ScreenInfo& info)
{
    constexpr int64_t kCells = int64_t(kColumns) * kRows;
    if (IsWholeNumber(value)) {
        int64_t v = value.get<int64_t>();
        if (v < 0 || v >= kCells)
            return "stairsTarget " + std::to_string(v) + " is out of range (0 to " +
                   std::to_string(kCells - 1) + ")";
        info.stairsTarget = int32_t(v);
        return "";
    }
    if (!value.is_string())
        return "stairsTarget must be \"sx,sy:x,y\" (screen and cell) or a tile index";
    const std::string text = value.get<std::string>();
    Scanner scan(text);
    long sx = 0, sy = 0, x = 0, y = 0;
    if (!scan.Number(sx, false) || !scan.Symbol(',') || !scan.Number(sy, false) || !scan.Symbol(':') ||
        !scan.Number(x, false) || !scan.Symbol(',') || !scan.Number(y, false) || !scan.AtEnd())
        return "stairsTarget '" + text + "' is not \"sx,sy:x,y\" (screen and cell)";
    if (sx >= kColumns / kScreenColumns || sy >= kRows / kScreenRows || x >= kScreenColumns ||
        y >= kScreenRows)
        return "stairsTarget '" + text + "' is out of range (screens 0-15,0-29, cells 0-15,0-10)";
    info.stairsTarget = int32_t((sy * kScreenRows + y) * kColumns + sx * kScreenColumns + x);
    return "";
}

std::string ApplyFlag(const std::string& name, const json& value, uint8_t& field)
{
    if (value.is_boolean()) {
        field = value.get<bool>() ? 1 : 0;
        return "";
    }
    if (!IsWholeNumber(value))
        return name + " must be true, false or a number from 0 to 255";
    int64_t v = value.get<int64_t>();
    if (v < 0 || v > 255)
        return name + " " + std::to_string(v) + " is out of range (0 to 255)";
    field = uint8_t(v);
    return "";
}

std::string ApplyDoor(const std::string& name, const json& value, int32_t& field)
{
    if (IsWholeNumber(value)) {
        int64_t v = value.get<int64_t>();
        if (v < 0 || v > 4)
            return name + " " + std::to_string(v) + " is out of range (0 to 4)";
        field = int32_t(v);
        return "";
    }
    if (value.is_string()) {
        for (int s = 0; s < 5; ++s) {
            if (value.get<std::string>() == kDoorStates[s]) {
                field = s;
                return "";
            }
        }
    }
    return name + " must be none, open, push, clear or locked";
}

std::string ApplySpawn(const std::string& name, const json& value, int8_t (&range)[2])
{
    long lo = 0, hi = 0;
    if (IsWholeNumber(value)) {
        lo = hi = long(value.get<int64_t>());
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        Scanner scan(text);
        bool ok = scan.Number(lo, true);
        hi = lo;
        if (ok && scan.Symbol('-'))
            ok = scan.Number(hi, true);
        if (!ok || !scan.AtEnd())
            return name + " '" + text + "' is not a count or a range \"min-max\"";
    } else {
        return name + " must be a count or a range \"min-max\"";
    }
    if (lo < -128 || lo > 127 || hi < -128 || hi > 127)
        return name + " " + std::to_string(lo) + "-" + std::to_string(hi) + " is out of range (-128 to 127)";
    range[0] = int8_t(lo);
    range[1] = int8_t(hi);
    return "";
}

std::string ApplyReserved(const json& value, ScreenInfo& info)
{
    if (!value.is_string() || value.get<std::string>().size() != 2 * kReservedBytes)
        return "reserved must be " + std::to_string(2 * kReservedBytes) + " hexadecimal digits";
    uint8_t bytes[kReservedBytes];
    const std::string text = value.get<std::string>();
    for (int i = 0; i < kReservedBytes; ++i) {
        unsigned v;
        char tail;
        if (std::sscanf(text.substr(size_t(2 * i), 2).c_str(), "%2x%c", &v, &tail) != 1)
            return "reserved must be " + std::to_string(2 * kReservedBytes) + " hexadecimal digits";
        bytes[i] = uint8_t(v);
    }
    std::memcpy(info.reserved0, bytes, 5);
    info.reserved1 = bytes[5];
    std::memcpy(info.reserved2, bytes + 6, 20);
    return "";
}

}  // namespace

const char* const ScreenProperties::kDoorProperty[4] = {"doorNorth", "doorSouth", "doorEast", "doorWest"};

const char* ScreenProperties::DoorStateName(int state)
{
    return state >= 0 && state <= 4 ? kDoorStates[state] : "?";
}

std::string ScreenProperties::SpawnPropertyName(int type)
{
    for (const SpawnName& s : kSpawnNames) {
        if (s.type == type)
            return std::string("spawn.") + s.name;
    }
    return "spawn." + std::to_string(type);
}

int ScreenProperties::SpawnTypeOf(const std::string& name)
{
    if (name.compare(0, 6, "spawn.") != 0)
        return -1;
    const std::string rest = name.substr(6);
    for (const SpawnName& s : kSpawnNames) {
        if (rest == s.name)
            return s.type;
    }
    if (rest.empty() || rest.size() > 2 || rest.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    int type = std::stoi(rest);
    // A named type has one spelling only.
    return type < MapFormat::kSpawnTypes && SpawnPropertyName(type) == name ? type : -1;
}

bool ScreenProperties::IsZero(const ScreenInfo& info)
{
    uint8_t bytes[MapFormat::kScreenRecordBytes];
    MapFormat::EncodeScreenInfo(info, bytes);
    for (uint8_t b : bytes) {
        if (b != 0)
            return false;
    }
    return true;
}

json ScreenProperties::ToJson(const ScreenInfo& info)
{
    json out = json::array();
    if (info.stairsTarget < 0 || info.stairsTarget >= kColumns * kRows)
        throw SourceError("stairsTarget " + std::to_string(info.stairsTarget) + " is not a cell of the map");
    if (info.stairsTarget != 0)
        out.push_back(Property("stairsTarget", "string", StairsText(info.stairsTarget)));
    if (info.isDungeonRoom)
        out.push_back(info.isDungeonRoom == 1 ? Property("isDungeonRoom", "bool", true)
                                              : Property("isDungeonRoom", "int", info.isDungeonRoom));
    if (info.exitSouthReturns)
        out.push_back(info.exitSouthReturns == 1
                          ? Property("exitSouthReturns", "bool", true)
                          : Property("exitSouthReturns", "int", info.exitSouthReturns));
    for (int d = 0; d < 4; ++d) {
        int state = info.doors[d];
        if (state < 0 || state > 4)
            throw SourceError(std::string(kDoorProperty[d]) + " " + std::to_string(state) +
                              " is not a door state (0 to 4)");
        if (state != 0)
            out.push_back(Property(kDoorProperty[d], "string", kDoorStates[state]));
    }
    for (int t = 0; t < MapFormat::kSpawnTypes; ++t) {
        int lo = info.SpawnMin(t), hi = info.SpawnMax(t);
        if (lo != 0 || hi != 0)
            out.push_back(
                Property(SpawnPropertyName(t), "string", std::to_string(lo) + "-" + std::to_string(hi)));
    }
    uint8_t reserved[kReservedBytes];
    ReservedBytes(info, reserved);
    std::string hex;
    bool any = false;
    for (uint8_t b : reserved) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", b);
        hex += digits;
        any = any || b != 0;
    }
    if (any)
        out.push_back(Property("reserved", "string", hex));
    return out;
}

std::string ScreenProperties::Apply(const json& property, ScreenInfo& info)
{
    if (!property.is_object() || !property.contains("name") || !property["name"].is_string() ||
        !property.contains("value"))
        return "a property needs a name and a value";
    const std::string name = property["name"].get<std::string>();
    const json& value = property["value"];
    if (name == "stairsTarget")
        return ApplyStairs(value, info);
    if (name == "isDungeonRoom")
        return ApplyFlag(name, value, info.isDungeonRoom);
    if (name == "exitSouthReturns")
        return ApplyFlag(name, value, info.exitSouthReturns);
    for (int d = 0; d < 4; ++d) {
        if (name == kDoorProperty[d])
            return ApplyDoor(name, value, info.doors[d]);
    }
    int type = SpawnTypeOf(name);
    if (type >= 0)
        return ApplySpawn(name, value, info.spawnRange[type]);
    if (name == "reserved")
        return ApplyReserved(value, info);
    const std::string rest = name.compare(0, 6, "spawn.") == 0 ? name.substr(6) : "";
    if (!rest.empty() && rest.size() <= 2 && rest.find_first_not_of("0123456789") == std::string::npos &&
        std::stoi(rest) < MapFormat::kSpawnTypes)
        return "unknown property '" + name + "' (spawn type " + rest + " is written " +
               SpawnPropertyName(std::stoi(rest)) + ")";
    return "unknown property '" + name +
           "' (stairsTarget, isDungeonRoom, exitSouthReturns, doorNorth, doorSouth, doorEast, doorWest, "
           "spawn.<type>)";
}

}  // namespace ktool
