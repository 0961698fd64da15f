#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/QuillLogger.h"
#include "tools/common/SourceText.h"
#include "tools/world/TiledMapReader.h"
#include "tools/world/TiledMapWriter.h"
#include "tools/world/WorldChecker.h"
#include "tools/world/WorldPicture.h"
#include "tools/world/WorldStats.h"

namespace {

const char* const kUsage =
    "usage: karsk-mkworld compile <world.json> <overworld1.kmap>\n"
    "       karsk-mkworld decompile <overworld1.kmap> <world.json> [tileset image, default map.bmp]\n"
    "       karsk-mkworld check <world.json | .kmap>\n"
    "       karsk-mkworld stats <world.json | .kmap>\n"
    "       karsk-mkworld picture <world.json | .kmap> <map.bmp> <out.png> [sx0 sy0 sx1 sy1] [shrink]\n"
    "         (default: every designed screen, shrink 4)\n";

bool EndsWith(const std::string& s, const char* tail)
{
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

MapFormat::MapData Load(const std::string& path)
{
    if (!EndsWith(path, ".kmap"))
        return ktool::TiledMapReader::ReadFile(path);
    MapFormat::MapData map;
    std::string error;
    if (!MapFormat::ReadFile(path, map, error))
        throw ktool::SourceError(error);
    return map;
}

// Prints every problem; true when there is none.
bool Check(const std::string& path, const MapFormat::MapData& map)
{
    std::vector<std::string> problems = ktool::WorldChecker(map).Check();
    for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", path.c_str(), p.c_str());
    return problems.empty();
}

int Number(const char* text)
{
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < -1000 || v > 1000)
        throw ktool::SourceError(std::string("'") + text + "' is not a number");
    return int(v);
}

int Picture(int argc, char** argv)
{
    const MapFormat::MapData map = Load(argv[2]);
    int sx0, sy0, sx1, sy1;
    ktool::WorldPicture::DesignedScreens(map, sx0, sy0, sx1, sy1);
    int shrink = 4;
    if (argc == 6 || argc == 10)
        shrink = Number(argv[argc - 1]);
    if (argc >= 9) {
        sx0 = Number(argv[5]);
        sy0 = Number(argv[6]);
        sx1 = Number(argv[7]);
        sy1 = Number(argv[8]);
    }
    ktool::WorldPicture picture(argv[3]);
    picture.Draw(map, sx0, sy0, sx1, sy1, shrink);
    picture.SavePng(argv[4]);
    return 0;
}

int Run(int argc, char** argv)
{
    const std::string command = argv[1];
    if (command == "compile" && argc == 4) {
        // A stale map must not pass for a fresh one.
        std::remove(argv[3]);
        MapFormat::MapData map = ktool::TiledMapReader::ReadFile(argv[2]);
        if (!Check(argv[2], map))
            return 1;
        std::string error;
        if (!MapFormat::WriteFile(argv[3], map, error)) {
            std::remove(argv[3]);
            throw ktool::SourceError(error);
        }
        return 0;
    }
    if (command == "decompile" && (argc == 4 || argc == 5)) {
        MapFormat::MapData map = Load(argv[2]);
        ktool::TiledMapWriter::WriteFile(argv[3], map, argc == 5 ? argv[4] : "map.bmp");
        return 0;
    }
    if (command == "check" && argc == 3)
        return Check(argv[2], Load(argv[2])) ? 0 : 1;
    if (command == "stats" && argc == 3) {
        std::fputs(ktool::WorldStats(Load(argv[2])).Describe().c_str(), stdout);
        return 0;
    }
    if (command == "picture" && (argc == 5 || argc == 6 || argc == 9 || argc == 10))
        return Picture(argc, argv);
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // The game's world logs to standard error; the tool speaks for itself.
    Quill::Logger()->SetEchoToStderr(false);
    try {
        return Run(argc, argv);
    } catch (const ktool::SourceError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        if (std::string(argv[1]) == "compile" && argc == 4)
            std::remove(argv[3]);
        return 1;
    }
}
