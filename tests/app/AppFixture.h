#pragma once

#include <gtest/gtest.h>

#include "app/SpawnTable.h"
#include "app/TestApp.h"
#include "player/Tavin.h"
#include "tests/support/TestSupport.h"

// The application with its protected state open to tests.
class OpenApp : public CTestApp {
public:
    using CTestApp::CreateLocalPlayer;
    using CTestApp::departedPlayer;
    using CTestApp::frameParity;
    using CTestApp::isServer;
    using CTestApp::localPlayer;
    using CTestApp::remotePlayer;
    using CTestApp::screenX;
    using CTestApp::screenY;
    using CTestApp::scrolling;
    using CTestApp::scrollX;
    using CTestApp::scrollY;
    using CTestApp::session;
    using CTestApp::StartNetwork;
    using CTestApp::world;
};

// An application over a recording world of free grass, with a hero at tile
// (120, 83) and key state the test sets directly.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Hold(int key, bool down = true) { app->GetInputSystem()->SetKey(key, down); }
    // One frame as the engine runs it: the application's update, then the world's.
    void Frame();
    void SetTile(int column, int row, uint8_t tile, int layer = 0)
    {
        world->Map().Cell(layer, column, row) = tile;
    }
    ScreenInfo& Screen(int sx, int sy) { return world->Map().Screen(sx, sy); }
    Tavin* Hero() { return app->LocalPlayer(); }
    int CountEnemies() const
    {
        int n = 0;
        for (int i = 0; i < world->GetEntityList().Count(); ++i) n += world->GetEntityList().Get(i)->isEnemy;
        return n;
    }

    std::unique_ptr<OpenApp> app;
    RecordingRenderer* world = nullptr;
};

// An entity that counts as an enemy, for spawn-table rows in tests.
class TestEnemy : public TestEntity {
public:
    explicit TestEnemy(NetSession* session) : TestEntity(session) { isEnemy = true; }
    static Entity* Make(NetSession* session) { return new TestEnemy(session); }
};
