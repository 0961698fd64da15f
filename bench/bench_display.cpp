// What showing the 512 × 512 frame enlarged costs per frame: the
// nearest-neighbour copy into the window's surface at 1×, 2× and 3×, and a
// fullscreen 1920 × 1080 letterbox at 2×. (The copy to the screen that SDL
// does on flipping is measured by running the game: --frame-stats.)
#include <SDL.h>
#include <benchmark/benchmark.h>

#include "engine/FrameScaler.h"

namespace {

SDL_Surface* MakeSurface(int w, int h)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
}

void Scale(benchmark::State& state, int targetWidth, int targetHeight, int scale)
{
    SDL_Surface* frame = MakeSurface(Quill::kFrameWidth, Quill::kFrameHeight);
    SDL_Surface* window = MakeSurface(targetWidth, targetHeight);
    auto* pixels = static_cast<Uint32*>(frame->pixels);
    for (int i = 0; i < Quill::kFrameWidth * Quill::kFrameHeight; ++i) {
        pixels[i] = static_cast<Uint32>(i * 2654435761u) & 0xFFFFFF;
    }
    const Quill::FramePlacement place =
        Quill::PlaceFrame(targetWidth, targetHeight, Quill::kFrameWidth, Quill::kFrameHeight, scale);
    for (auto _ : state) {
        Quill::ScaleFrame(frame, window, place);
        benchmark::DoNotOptimize(window->pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(window->pitch) * Quill::kFrameHeight * scale);
    SDL_FreeSurface(window);
    SDL_FreeSurface(frame);
}

void BM_ScaleWindow(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Scale(state, Quill::kFrameWidth * n, Quill::kFrameHeight * n, n);
}
BENCHMARK(BM_ScaleWindow)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_ScaleFullscreen1080(benchmark::State& state)
{
    Scale(state, 1920, 1080, Quill::ChooseFullscreenScale(1920, 1080));
}
BENCHMARK(BM_ScaleFullscreen1080)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
