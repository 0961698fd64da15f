#include "tests/support/TestSupport.h"

#include <unistd.h>

#include <atomic>

#include "engine/QuillLogger.h"

void WorldTest::SetUp()
{
    Quill::Logger()->ClearRecent();
    engine = std::make_unique<TestEngine>();
    auto recording = std::make_unique<RecordingRenderer>();
    world = recording.get();
    engine->SetRenderer(std::move(recording));
    engine->SetTimeKey(1.0f / 60.0f);
    world->InitTileFlags();
}

void WorldTest::TearDown()
{
    world->GetEntityList().Clear();
    engine.reset();
}

void WorldTest::RunFrames(int n)
{
    for (int i = 0; i < n; ++i)
        world->RenderFrame();
}

std::string TempPath(const std::string& stem)
{
    static std::atomic<int> counter{0};
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/karsk_" + stem + "_" + std::to_string(getpid()) + "_" +
           std::to_string(counter++);
}

bool LogContains(const std::string& text) { return Quill::Logger()->Contains(text); }
