#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "world/MapFormat.h"

namespace ktool {

// A screen record as Tiled custom properties: one property per field that is
// not zero, in readable forms ("7,21:7,7" for a stairs target, "1-3" for a
// spawn range, "locked" for a door state).
class ScreenProperties {
public:
    // The properties of a record in a fixed order; an empty array for an
    // all-zero record. Throws SourceError for a door state or stairs target
    // the source cannot express.
    static nlohmann::json ToJson(const ScreenInfo& info);
    // Applies one property object to the record. Returns "" or the reason the
    // property is rejected (unknown name, wrong type, value out of range).
    static std::string Apply(const nlohmann::json& property, ScreenInfo& info);
    static bool IsZero(const ScreenInfo& info);

    // "spawn.skeleton" for types with a name, "spawn.7" for the others.
    static std::string SpawnPropertyName(int type);
    // The spawn type a property name stands for, or -1.
    static int SpawnTypeOf(const std::string& name);
    // "none", "open", "push", "clear", "locked".
    static const char* DoorStateName(int state);
    static const char* const kDoorProperty[4];  // north, south, east, west
};

}  // namespace ktool
