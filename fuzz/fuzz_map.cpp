// Arbitrary bytes as the world map file: the game's map decoder, then a lone
// game on the decoded world that draws every screen with its doors,
// populates the start screen and its four neighbours from their records and
// lets the hero walk, swing and take the stairs for a few frames.
#include <cstdlib>
#include <memory>
#include <string>

#include "app/SpawnTable.h"
#include "engine/InputSystem.h"
#include "engine/Keys.h"
#include "fuzz/FuzzLog.h"
#include "fuzz/NetFuzzGame.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"
#include "world/MapFormat.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EchoGameLogWhenAsked();
    RegisterGameSpawns();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MapFormat::MapData map;
    std::string error;
    if (!MapFormat::Decode(data, size, map, error))
        return 0;

    std::srand(1);
    std::unique_ptr<FuzzApp> app = FuzzApp::OverQuietWorld();
    KarskRenderer* world = app->world;
    world->Map() = std::move(map);
    app->CreateLocalPlayer();
    world->SetPlayer(app->localPlayer.get());

    for (int sy = 0; sy < MapFormat::kScreenGridHeight; ++sy) {
        for (int sx = 0; sx < MapFormat::kScreenGridWidth; ++sx) {
            world->SetView(sx, sy, 0.0f, 0.0f);
            world->DrawMap(sx, sy, 0.0f, 0.0f);
            world->DrawDoors();
        }
    }
    world->SetView(7, 7, 0.0f, 0.0f);
    const int around[][2] = {{7, 7}, {6, 7}, {8, 7}, {7, 6}, {7, 8}};
    for (const auto& screen : around) app->PopulateScreen(screen[0], screen[1], false);

    Quill::InputSystem* input = app->GetInputSystem();
    const int keys[] = {Quill::Key::Right, Quill::Key::Space, Quill::Key::Up, Quill::Key::D};
    for (int frame = 0; frame < 16; ++frame) {
        input->SetKey(keys[(frame / 4) % 4], true);
        app->Update();
        world->RenderFrame();
        app->WaitUntil(app->GetPreciseTicks() + 1000.0 / 60.0);
        input->SetKey(keys[(frame / 4) % 4], false);
    }
    world->GetEntityList().Clear();
    return 0;
}
