#include <cstdio>
#include <fstream>
#include <string>

#include "tools/art/ArtBook.h"
#include "tools/art/BmpWriter.h"

// karsk-mkart <top art source> <data dir>: writes every picture and sprite.def.
int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: karsk-mkart <art.txt> <data dir>\n");
        return 2;
    }
    std::string outDir = argv[2];
    std::string error;
    try {
        ktool::ArtBook book([](const std::string& path) { return ktool::ReadTextFile(path); });
        book.RunFile(argv[1]);
        for (const ktool::OutputImage& image : book.Images()) {
            if (image.path == ktool::kScratchPath)
                continue;
            const std::string path = outDir + "/" + image.path;
            if (image.maxColors > 0 ? !ktool::SavePaletteBmp(path, image.image, error)
                                    : !ktool::SaveBmp(path, image.image, error))
                break;
        }
        if (error.empty()) {
            std::string defPath = outDir + "/sprite.def";
            std::ofstream def(defPath);
            def << book.SpriteDefText();
            def.close();
            if (!def)
                error = defPath + ": write failed";
        }
    } catch (const ktool::SourceError& e) {
        error = e.what();
    }
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        // Without sprite.def the build sees the art as out of date and retries.
        std::remove((outDir + "/sprite.def").c_str());
        return 1;
    }
    return 0;
}
