#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TestSupport.h"

namespace {

class RenderFrameTest : public WorldTest {
protected:
    TestEntity* Add(Vec2 position)
    {
        auto* e = new TestEntity;
        e->SetPosition(position);
        e->sprite = &sprite;
        world->AddEntity(e, false);
        return e;
    }
    // The tile drawn at a pixel place, or -1.
    int TileAt(int x, int y)
    {
        for (auto& c : world->drawnTiles)
            if (c.x == x && c.y == y)
                return c.tile;
        return -1;
    }
    Quill::SpriteType sprite;
};

}  // namespace

TEST_F(RenderFrameTest, DeadEntitiesLeaveBeforeTheyAreTickedTheNextOneStillRunsAndNewOnesJoin)
{
    TestEntity* first = Add(Vec2(0, 0));
    TestEntity* doomed = Add(Vec2(40, 0));
    EntityRef<TestEntity> after = Add(Vec2(80, 0));
    doomed->state = 0;
    RunFrames(1);
    EXPECT_EQ(world->GetEntityList().Count(), 2);
    EXPECT_EQ(first->ticks, 1);
    EXPECT_EQ(after->ticks, 1);
    EXPECT_EQ(world->drawnSprites.size(), 2u);

    // Entities added during the frame join the walk.
    class Spawner : public TestEntity {
    public:
        void Tick(float dt) override
        {
            TestEntity::Tick(dt);
            if (ticks == 1)
                g_renderer->AddEntity(new TestEntity, false);
        }
    };
    world->AddEntity(new Spawner, false);
    RunFrames(1);
    ASSERT_EQ(world->GetEntityList().Count(), 4);
    EXPECT_EQ(static_cast<TestEntity*>(world->GetEntityList().Get(3))->ticks, 1);
}

TEST_F(RenderFrameTest, DrawsInLayersAndMarksWhatTheHeroCanSee)
{
    world->SetView(1, 1, 0.0f, 0.0f);
    TestEntity* hero = Add(Vec2(600, 400));  // screen (1, 1)
    world->SetPlayer(hero);
    TestEntity* near = Add(Vec2(700, 500));
    TestEntity* far = Add(Vec2(100, 100));
    RunFrames(1);
    EXPECT_TRUE(near->inView);
    EXPECT_FALSE(far->inView);
    EXPECT_TRUE(hero->inView);

    EXPECT_EQ(world->drawnTiles.size(), 18u * 13u);  // a plain screen: no doors
    ASSERT_EQ(world->drawnSprites.size(), 3u);
    EXPECT_EQ(world->drawnSprites[0].x, 600 - 512);
    EXPECT_EQ(world->drawnSprites[0].y, 400 - 352 + 128);
    ASSERT_EQ(world->drawnImages.size(), 2u);
    EXPECT_EQ(world->drawnImages[0].y, 0);
    EXPECT_EQ(world->drawnImages[1].y, 480);
    EXPECT_EQ(engine->overlayCalls, 1);

    world->ClearCalls();
    Screen(1, 1).isDungeonRoom = 1;
    Screen(1, 1).doors[MapFormat::DOOR_EAST] = MapFormat::DOOR_OPEN;
    RunFrames(1);
    EXPECT_EQ(world->drawnTiles.size(), 18u * 13u + 1u);
    EXPECT_EQ(world->drawnTiles.back().tile, 120);
}

TEST_F(RenderFrameTest, TheMapDrawsEveryVisibleCellOnceInPlaceShiftedByTheScroll)
{
    // Each cell of screen (7, 6) gets a distinct tile number from its place.
    for (int c = 0; c < 16; ++c)
        for (int r = 0; r < 11; ++r) SetTile(7 * 16 + c, 6 * 11 + r, uint8_t(c + 16 * (r % 8)));
    world->DrawMap(7, 6, 0.0f, 0.0f);
    EXPECT_EQ(world->drawnTiles.size(), 18u * 13u);
    for (auto& call : world->drawnTiles) EXPECT_EQ(call.sheetOrFrame, 0);
    EXPECT_EQ(TileAt(0, 128), 0);
    EXPECT_EQ(TileAt(5 * 32, 128 + 3 * 32), 5 + 16 * 3);
    EXPECT_EQ(TileAt(15 * 32, 128 + 10 * 32), 15 + 16 * 2);
    // The border ring lies under the bands and past the edges.
    EXPECT_NE(TileAt(-32, 96), -1);
    EXPECT_NE(TileAt(512, 480), -1);

    // Scroll fractions shift the view.
    SetTile(7 * 16, 6 * 11, 77);      // top-left cell of screen (7, 6)
    SetTile(6 * 16 + 8, 6 * 11, 66);  // middle of screen (6, 6)
    world->drawnTiles.clear();
    world->DrawMap(6, 6, 1.0f, 0.0f);
    EXPECT_EQ(TileAt(0, 128), 77);
    world->drawnTiles.clear();
    world->DrawMap(6, 6, 0.5f, 0.0f);
    EXPECT_EQ(TileAt(0, 128), 66);
    EXPECT_EQ(TileAt(256, 128), 77);

    // A fraction between tiles leaves a pixel remainder.
    world->drawnTiles.clear();
    world->DrawMap(6, 6, 1.0f / 64.0f, 0.0f);
    auto leftmost = std::min_element(world->drawnTiles.begin(), world->drawnTiles.end(),
                                     [](auto& a, auto& b) { return a.x < b.x; });
    EXPECT_EQ(leftmost->x, -32 - 8);
}

TEST_F(RenderFrameTest, OutOfRangeViewsDrawNothing)
{
    world->DrawMap(7, 6, 1.5f, 0.0f);
    world->DrawMap(16, 6, 0.0f, 0.0f);
    world->DrawMap(7, -1, 0.0f, 0.0f);
    world->DrawMap(7, 6, 0.0f, -1.01f);
    EXPECT_TRUE(world->drawnTiles.empty());

    // Screen rows past the terrain show the marker layer; cells before the
    // whole block are skipped.
    SetTile(0, 0, 5, 1);
    world->DrawMap(0, 30, 0.0f, 0.0f);
    EXPECT_EQ(TileAt(0, 128), 5);
    world->drawnTiles.clear();
    world->DrawMap(0, 0, 0.0f, 0.0f);
    EXPECT_EQ(world->drawnTiles.size(),
              18u * 13u - 18u - 1u);  // row −1 and one cell of column −1 precede the block
}
