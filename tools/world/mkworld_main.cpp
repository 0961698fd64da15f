#include <cstdio>
#include <string>

#include "tools/world/WorldSource.h"

// karsk-mkworld <top source> <output map>
int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: karsk-mkworld <world.txt> <output.kmap>\n");
        return 2;
    }
    try {
        MapFormat::MapData map = ktool::CompileWorldFile(argv[1]);
        std::string error;
        if (!MapFormat::WriteFile(argv[2], map, error)) {
            std::fprintf(stderr, "karsk-mkworld: %s\n", error.c_str());
            std::remove(argv[2]);
            return 1;
        }
    } catch (const ktool::SourceError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        // A stale map must not pass for a fresh one.
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
