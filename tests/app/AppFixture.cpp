#include "tests/app/AppFixture.h"

#include "engine/QuillLogger.h"

void AppTest::SetUp()
{
    Quill::Logger()->ClearRecent();
    app = std::make_unique<OpenApp>();
    auto recording = std::make_unique<RecordingRenderer>();
    world = recording.get();
    world->InitTileFlags();
    app->SetRenderer(std::move(recording));
    app->world = world;
    app->SetTimeKey(1.0f / 60.0f);
    Quill::RunOptions options;
    options.fastClock = true;
    app->SetRunOptions(options);
    app->SetInputSystem(std::make_unique<Quill::InputSystem>());
    app->localPlayer = new Tavin("hero", app->GetInputSystem(), nullptr);
    app->localPlayer->SetUID(0);
    world->AddEntity(app->localPlayer.get(), false);
    int column = 120, row = 83;
    app->localPlayer->SendEvent(11, &column, &row);
    world->SetPlayer(app->localPlayer.get());
    world->SetView(7, 7, 0.0f, 0.0f);
}

void AppTest::TearDown()
{
    world->GetEntityList().Clear();
    app.reset();
    SpawnTable::Game() = SpawnTable();
}

void AppTest::Frame()
{
    app->Update();
    world->RenderFrame();
}
