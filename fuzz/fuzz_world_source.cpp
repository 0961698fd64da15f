// Arbitrary bytes as the world source (a Tiled JSON map) given to the world
// compiler: read into a map, then checked as the compiler checks it before
// writing the world file. Every fault must come back as a SourceError.
#include <string>

#include "fuzz/FuzzLog.h"
#include "tools/common/SourceText.h"
#include "tools/world/TiledMapReader.h"
#include "tools/world/WorldChecker.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The checker runs the game's world, which logs as it goes.
    EchoGameLogWhenAsked();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MapFormat::MapData map;
    try {
        map = ktool::TiledMapReader::Parse(std::string(reinterpret_cast<const char*>(data), size),
                                           "world.json");
    } catch (const ktool::SourceError&) {
        return 0;
    }
    (void)ktool::WorldChecker(map).Check();
    return 0;
}
