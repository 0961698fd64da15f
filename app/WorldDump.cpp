#include "app/WorldDump.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/QuillLogger.h"
#include "entity/Entity.h"
#include "world/EntityList.h"

bool WriteWorldDump(const EntityList& entities, const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        Quill::Logger()->Log("world dump: cannot write %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
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
    // A full disk shows only when the buffered lines are flushed.
    const bool written = !std::ferror(file);
    if (std::fclose(file) != 0 || !written) {
        Quill::Logger()->Log("world dump: writing %s failed", path.c_str());
        return false;
    }
    Quill::Logger()->Log("world dump: %d entities written to %s", entities.Count(), path.c_str());
    return true;
}
