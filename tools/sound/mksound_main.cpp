#include <cstdio>
#include <cstring>
#include <string>

#include "tools/common/SourceText.h"
#include "tools/sound/AudioFiles.h"
#include "tools/sound/SoundScripts.h"

// karsk-mksound effects <recipes.txt> <output dir>
// karsk-mksound music <notes.txt> <output.mp3>
int main(int argc, char** argv)
{
    if (argc != 4 || (std::strcmp(argv[1], "effects") != 0 && std::strcmp(argv[1], "music") != 0)) {
        std::fprintf(stderr,
                     "usage: karsk-mksound effects <recipes.txt> <output dir>\n"
                     "       karsk-mksound music <notes.txt> <output.mp3>\n");
        return 2;
    }
    std::string error;
    try {
        std::vector<ktool::SourceLine> lines = ktool::LoadSource(argv[2]);
        if (std::strcmp(argv[1], "effects") == 0) {
            for (const ktool::SoundEffect& e : ktool::RenderEffects(lines)) {
                if (!ktool::WriteWav(std::string(argv[3]) + "/" + e.name + ".wav", e.pcm, error))
                    break;
            }
        } else {
            ktool::WriteMp3(argv[3], ktool::RenderMusic(lines), 64, error);
        }
    } catch (const ktool::SourceError& e) {
        error = e.what();
    }
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        // A stale piece must not pass for a fresh one.
        if (std::strcmp(argv[1], "music") == 0)
            std::remove(argv[3]);
        return 1;
    }
    return 0;
}
