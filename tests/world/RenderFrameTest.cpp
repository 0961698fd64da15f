#include <gtest/gtest.h>

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
    Quill::SpriteType sprite;
};

}  // namespace

TEST_F(RenderFrameTest, DeadEntitiesLeaveBeforeTheyAreTickedAndTheNextOneStillRuns)
{
    TestEntity* first = Add(Vec2(0, 0));
    TestEntity* doomed = Add(Vec2(40, 0));
    EntityRef<TestEntity> after = Add(Vec2(80, 0));
    doomed->state = 0;
    RunFrames(1);
    EXPECT_EQ(world->GetEntityList().Count(), 2);
    EXPECT_EQ(first->ticks, 1);
    EXPECT_EQ(after->ticks, 1);
    EXPECT_EQ(world->sprites.size(), 2u);
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

    EXPECT_EQ(world->tiles.size(), 18u * 13u);  // a plain screen: no doors
    ASSERT_EQ(world->sprites.size(), 3u);
    EXPECT_EQ(world->sprites[0].x, 600 - 512);
    EXPECT_EQ(world->sprites[0].y, 400 - 352 + 128);
    ASSERT_EQ(world->images.size(), 2u);
    EXPECT_EQ(world->images[0].y, 0);
    EXPECT_EQ(world->images[1].y, 480);
    EXPECT_EQ(engine->overlayCalls, 1);

    world->ClearCalls();
    Screen(1, 1).isDungeonRoom = 1;
    Screen(1, 1).doors[MapFormat::DOOR_EAST] = MapFormat::DOOR_OPEN;
    RunFrames(1);
    EXPECT_EQ(world->tiles.size(), 18u * 13u + 1u);
    EXPECT_EQ(world->tiles.back().tile, 120);
}

TEST_F(RenderFrameTest, EntitiesAddedDuringTheFrameJoinTheWalk)
{
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
    ASSERT_EQ(world->GetEntityList().Count(), 2);
    EXPECT_EQ(static_cast<TestEntity*>(world->GetEntityList().Get(1))->ticks, 1);
}
