#include "tests/support/TestSupport.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

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
    for (int i = 0; i < n; ++i) world->RenderFrame();
}

std::string TempPath(const std::string& stem)
{
    static std::atomic<int> counter{0};
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/karsk_" + stem + "_" + std::to_string(getpid()) + "_" +
           std::to_string(counter++);
}

TempDir::TempDir()
{
    std::string pattern = TempPath("dir") + "_XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed for " + pattern);
    // Canonical, so that it compares equal to paths the engine resolves.
    char real[PATH_MAX];
    path = realpath(pattern.c_str(), real) ? real : pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const
{
    const std::string full = File(name);
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool LogContains(const std::string& text)
{
    return Quill::Logger()->Contains(text);
}

void TestEntity::SendEvent(int event, void* arg1, void* arg2)
{
    events.push_back(event);
    if (event == 11 && arg1 && arg2)
        SetPosition(Vec2(float(*static_cast<int*>(arg1) * 32), float(*static_cast<int*>(arg2) * 32)));
}

bool RecordingSession::SendMessage(NetMessage* message)
{
    const uint8_t* data = message->payload.GetData();
    sent.push_back({message->type, std::vector<uint8_t>(data, data + message->payload.GetLength())});
    return true;
}
