#include "app/WorldDump.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/QuillLogger.h"
#include "entity/Entity.h"
#include "world/EntityList.h"
#include "world/KarskRenderer.h"
#include "world/MapFormat.h"

namespace {

void WriteEntities(std::FILE* file, const EntityList& entities)
{
    std::fputs("# uid\tx\ty\tstate\thealth\tname\n", file);
    for (int i = 0; i < entities.Count(); ++i) {
        Entity* entity = entities.Get(i);
        if (!entity) {
            continue;
        }
        std::string name = entity->GetName();
        for (char& c : name) {
            if (c == '\t' || c == '\n' || c == '\r') {
                c = ' ';
            }
        }
        const Vec2 position = entity->GetPosition();
        std::fprintf(file, "%u\t%.2f\t%.2f\t%d\t%.2f\t%s\n", unsigned(entity->GetUID()), double(position.x),
                     double(position.y), entity->GetState(), double(entity->GetHealth()), name.c_str());
    }
}

const char* DoorStateName(int state)
{
    switch (state) {
        case MapFormat::DOOR_OPEN:
            return "open";
        case MapFormat::DOOR_PUSH:
            return "push";
        case MapFormat::DOOR_CLEAR:
            return "clear";
        case MapFormat::DOOR_LOCKED:
            return "locked";
        default:
            return nullptr;
    }
}

void WriteDoors(std::FILE* file, MapFormat::MapData& map)
{
    static const char* const kSides[4] = {"north", "south", "east", "west"};  // record order
    std::fputs("# door\tscreen x\tscreen y\tside\tstate\n", file);
    for (int sy = 0; sy < MapFormat::kScreenGridHeight; ++sy) {
        for (int sx = 0; sx < MapFormat::kScreenGridWidth; ++sx) {
            const ScreenInfo& info = map.Screen(sx, sy);
            for (int side = 0; side < 4; ++side) {
                if (info.doors[side] == MapFormat::DOOR_NONE) {
                    continue;
                }
                const char* state = DoorStateName(info.doors[side]);
                if (state) {
                    std::fprintf(file, "door\t%d\t%d\t%s\t%s\n", sx, sy, kSides[side], state);
                } else {
                    std::fprintf(file, "door\t%d\t%d\t%s\t%d\n", sx, sy, kSides[side], int(info.doors[side]));
                }
            }
        }
    }
}

// Opens the file, lets `write` fill it and reports the outcome.
template <typename Write>
bool WriteDumpFile(const std::string& path, int entityCount, Write write)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        Quill::Logger()->Log("world dump: cannot write %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    write(file);
    // A full disk shows only when the buffered lines are flushed.
    const bool written = !std::ferror(file);
    if (std::fclose(file) != 0 || !written) {
        Quill::Logger()->Log("world dump: writing %s failed", path.c_str());
        return false;
    }
    Quill::Logger()->Log("world dump: %d entities written to %s", entityCount, path.c_str());
    return true;
}

}  // namespace

bool WriteWorldDump(const EntityList& entities, const std::string& path)
{
    return WriteDumpFile(path, entities.Count(), [&](std::FILE* file) { WriteEntities(file, entities); });
}

bool WriteWorldDump(KarskRenderer& world, const std::string& path)
{
    const EntityList& entities = world.GetEntityList();
    return WriteDumpFile(path, entities.Count(), [&](std::FILE* file) {
        WriteEntities(file, entities);
        WriteDoors(file, world.Map());
    });
}
