#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/QuillApp.h"
#include "net/NetSession.h"
#include "world/KarskRenderer.h"

// A bare engine application: provides the global engine pointer, the frame
// time and the world to code under test, and records the events it gets.
class TestEngine : public Quill::CQuillApp {
public:
    void Update() override {}
    void RenderOverlay() override { ++overlayCalls; }
    void OnEvent(int event, int param) override { events.push_back({event, param}); }
    bool Initialize() override { return true; }

    std::vector<std::pair<int, int>> events;
    int overlayCalls = 0;
};

// Records what the world draws instead of drawing it.
class RecordingRenderer : public KarskRenderer {
public:
    struct Call {
        int sheetOrFrame;
        int tile;
        int x;
        int y;
        int extra;
    };
    void DrawTile(int sheet, int tile, int x, int y) override
    {
        drawnTiles.push_back({sheet, tile, x, y, 0});
    }
    void DrawSprite(Quill::SpriteType* s, int frame, int x, int y, int h, int w) override
    {
        (void)w;
        if (SpritesEnabled())
            drawnSprites.push_back({frame, s ? 1 : 0, x, y, h});
    }
    void DrawImage(Quill::Image* image, int x, int y) override
    {
        drawnImages.push_back({0, image ? 1 : 0, x, y, 0});
    }
    void DrawGlyph(int glyph, int x, int y) override { drawnGlyphs.push_back({0, glyph, x, y, 0}); }
    void SetFakeFont() { fontImage = &fakeFont; }
    void ClearCalls()
    {
        drawnTiles.clear();
        drawnSprites.clear();
        drawnImages.clear();
        drawnGlyphs.clear();
    }

    std::vector<Call> drawnTiles, drawnSprites, drawnImages, drawnGlyphs;
    Quill::Image fakeFont;
};

// A world of free grass tiles (tile 0) with a recording renderer, installed
// in a test engine with a fixed 1/60 s frame time.
class WorldTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void SetTile(int column, int row, uint8_t tile, int layer = 0)
    {
        world->Map().Cell(layer, column, row) = tile;
    }
    ScreenInfo& Screen(int sx, int sy) { return world->Map().Screen(sx, sy); }
    // Runs the world's frame `n` times.
    void RunFrames(int n);

    std::unique_ptr<TestEngine> engine;
    RecordingRenderer* world = nullptr;
};

// A unique path in the system's temporary directory.
std::string TempPath(const std::string& stem);

// A fresh directory (canonical path) in the system's temporary directory,
// removed with its contents at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }
    // Writes `bytes` to `name` inside the directory; returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path;
};

std::string ReadWholeFile(const std::string& path);
// True when a recent engine log line contains the text.
bool LogContains(const std::string& text);

// A plain entity: places itself on event 11 and records the other events.
class TestEntity : public Entity {
public:
    explicit TestEntity(NetSession* session = nullptr) : Entity(session) {}
    void SendEvent(int event, void* arg1, void* arg2) override;
    std::vector<int> events;
    int ticks = 0;
    void Tick(float dt) override
    {
        ++ticks;
        Entity::Tick(dt);
    }
};

// Keeps every message it is asked to send.
class RecordingSession : public NetSession {
public:
    explicit RecordingSession(bool server = true) : server(server) {}
    bool IsServer() const override { return server; }
    bool IsConnected() const override { return true; }
    bool SendMessage(NetMessage* message) override;

    struct Sent {
        int type;
        std::vector<uint8_t> bytes;
    };
    std::vector<Sent> sent;
    bool server;
};
