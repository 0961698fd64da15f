#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

int g_destroyed = 0;

class CountedEntity : public TestEntity {
public:
    ~CountedEntity() override { ++g_destroyed; }
};

class EntityLifetimeTest : public WorldTest {};

}  // namespace

TEST_F(EntityLifetimeTest, AnEntityLeavingTheWorldLivesOnWhileReferenced)
{
    g_destroyed = 0;
    EntityRef<Entity> kept;
    {
        auto* e = new CountedEntity;
        e->SetUID(30);
        world->AddEntity(e, false);
        kept = e;
    }
    EXPECT_EQ(kept->RefCount(), 2);
    kept->state = 0;
    RunFrames(1);  // the world drops entities whose state is 0
    EXPECT_EQ(world->GetEntityList().Count(), 0);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(kept->GetUID(), 30u);
    kept.reset();
    EXPECT_EQ(g_destroyed, 1);
}

TEST_F(EntityLifetimeTest, ListRemovalByUidAndClearingReleaseEverything)
{
    g_destroyed = 0;
    for (uint32_t id = 10; id < 15; ++id) {
        auto* e = new CountedEntity;
        e->SetUID(id);
        world->AddEntity(e, id % 2 == 0);
    }
    EntityList& list = world->GetEntityList();
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Get(0)->GetUID(), 14u);  // front insertions lead
    EXPECT_EQ(list.Get(4)->GetUID(), 13u);
    EXPECT_EQ(list.Get(5), nullptr);
    list.RemoveAt(5);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_TRUE(world->RemoveEntity(12));
    EXPECT_FALSE(world->RemoveEntity(12));
    EXPECT_EQ(world->FindEntity(12), nullptr);
    EXPECT_NE(world->FindEntity(13), nullptr);
    EXPECT_EQ(g_destroyed, 1);
    list.Clear();
    EXPECT_EQ(g_destroyed, 5);
}

TEST_F(EntityLifetimeTest, CopiesAndMovesOfReferencesCountCorrectly)
{
    g_destroyed = 0;
    EntityRef<CountedEntity> a = new CountedEntity;
    EntityRef<Entity> b = a;
    EntityRef<Entity> c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(a->RefCount(), 2);
    EntityRef<Entity>& same = c;
    c = same;  // self-assignment keeps the entity
    EXPECT_EQ(a->RefCount(), 2);
    a.reset();
    EXPECT_EQ(g_destroyed, 0);
    c = EntityRef<Entity>();
    EXPECT_EQ(g_destroyed, 1);
}
