// What one frame of the real game costs: the application's update and the
// world's frame (ticking, hit tests, drawing into SDL's dummy video driver),
// on a typical screen and on a crowded one.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/TestApp.h"
#include "bench/BenchApp.h"
#include "engine/RunOptions.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace {

// Spawn types: red and blue Krillops, both Gorlaks, a Skeleton, a Snake and both Bats.
constexpr int kMix[] = {0, 2, 9, 10, 11, 18, 12, 13, 0, 2};

void RunGameFrames(benchmark::State& state, int enemies)
{
    if (!Quill::EnterDataDirectory(KARSK_DATA_DIR)) {
        state.SkipWithError("no game data");
        return;
    }
    Quill::RunOptions options;
    options.headless = options.fixedStep = options.fastClock = true;
    options.frames = 1;
    options.logFile = "";
    options.seed = 7u;
    BenchApp app;
    app.SetRunOptions(options);
    int entities = 0;
    app.inside = [&] {
        KarskRenderer* world = app.World();
        Tavin* hero = app.LocalPlayer();
        // The hero keeps flashing and is put back each frame, so that rocks
        // cannot knock him off the screen and end the crowd.
        hero->flashing = true;
        hero->flashTime = -1.0f;
        const Vec2 stand = hero->GetPosition();
        auto frame = [&] {
            hero->SetPosition(stand);
            hero->pushDistance = 0;
            app.CTestApp::Update();
            world->RenderFrame();
        };
        for (int i = 0; i < enemies; ++i) {
            const Vec2 tile = app.RandomFreeTile(7, 7);
            if (tile.x >= 0.0f)
                app.Spawn(kMix[i % 10], tile, -1);
        }
        // Past the spawn clouds: walking and shooting.
        for (int i = 0; i < 90; ++i) frame();
        for (auto _ : state) frame();
        entities = world->GetEntityList().Count();
    };
    Quill::LaunchContext context;
    std::memset(&context, 0, sizeof context);
    std::strncpy(context.title, "QUILL App", sizeof context.title - 1);
    context.width = context.height = 512;
    if (!app.Launch(&context))
        state.SkipWithError("the game did not start");
    state.counters["entities"] = entities;
}

void BM_TypicalScreen(benchmark::State& state)
{
    RunGameFrames(state, 10);
}
BENCHMARK(BM_TypicalScreen)->Unit(benchmark::kMillisecond)->Iterations(2000);

void BM_CrowdedScreen(benchmark::State& state)
{
    RunGameFrames(state, 1000);
}
BENCHMARK(BM_CrowdedScreen)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
