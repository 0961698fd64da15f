// Arbitrary bytes as sprite.def, loaded by the renderer as the game loads it:
// the file is parsed and every sprite and tile sheet it names is looked up
// beside it. The folder holds a few small pictures (see MakePictures), so
// that named images load and their sizes are checked against the frames.
#include <SDL/SDL.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "engine/RendererSDL.h"
#include "fuzz/FuzzLog.h"
#include "fuzz/FuzzTempDir.h"

namespace {

void MakePicture(const std::string& path, int width, int height)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!surface || SDL_SaveBMP(surface, path.c_str()) != 0) {
        std::fprintf(stderr, "fuzz_sprite_def: cannot write %s\n", path.c_str());
        std::abort();
    }
    SDL_FreeSurface(surface);
}

// The names the seeds use: a.bmp and the shipped file's first sheet and sprite.
void MakePictures(const std::string& dir)
{
    mkdir((dir + "/sprites").c_str(), 0700);
    mkdir((dir + "/tiles").c_str(), 0700);
    MakePicture(dir + "/a.bmp", 64, 32);
    MakePicture(dir + "/tiles/map.bmp", 64, 64);
    MakePicture(dir + "/sprites/Tavin.bmp", 384, 32);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EchoGameLogWhenAsked();
    MakePictures(FuzzTempDir());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzTempDir() + "/sprite.def";
    WriteFuzzFile(path, data, size);
    Quill::RendererSDL renderer;
    renderer.LoadSpriteDef(path.c_str());
    return 0;
}
