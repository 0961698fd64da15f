#include "items/Heart.h"
#include "items/Jessel.h"
#include "items/Key.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class PickupTest : public TavinTest {
protected:
    template <class T>
    T* Drop(T* pickup, Vec2 at, float lifetime = -1.0f)
    {
        pickup->Place(at, lifetime);
        world->AddEntity(pickup, false);
        return pickup;
    }
    // Lies out of reach for a frame, so that the world marks it as in view
    // and its sound may play, then is put under the hero.
    void DropOnHero(Pickup* pickup, Tavin* hero)
    {
        Drop(pickup, hero->GetPosition() + Vec2(64.0f, 0.0f));
        RunFrames(1);
        pickup->SetPosition(hero->GetPosition());
        RunFrames(1);
    }
};

TEST_F(PickupTest, LifetimeRunsOutOnlyWhenOneIsGiven)
{
    AddHero();
    EntityRef<Key> brief = Drop(new Key(nullptr, world), Vec2(3700.0f, 2600.0f), 10.0f);
    EntityRef<Key> lasting = Drop(new Key(nullptr, world), Vec2(3700.0f, 2700.0f));
    RunFrames(595);
    EXPECT_FALSE(brief->IsDead());
    RunFrames(10);
    EXPECT_TRUE(brief->IsDead());
    EXPECT_EQ(brief->RefCount(), 1);  // the world let go of it
    RunFrames(600);
    EXPECT_FALSE(lasting->IsDead());
}

TEST_F(PickupTest, CollectingCreditsTheHeroWithinItsCaps)
{
    Tavin* hero = AddHero();
    hero->keys = 998;
    DropOnHero(new Key(nullptr, world), hero);
    EXPECT_EQ(hero->keys, 999);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_KEY));
    DropOnHero(new Key(nullptr, world), hero);
    EXPECT_EQ(hero->keys, 999);

    hero->health = 1.5f;
    DropOnHero(new Heart(nullptr, world), hero);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_GET_HEART));
    DropOnHero(new Heart(nullptr, world), hero);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);

    // The hero counts the pieces into its purse one per tick.
    hero->pendingCurrency = hero->currency = 0;
    DropOnHero(new Jessel(5, nullptr, world), hero);
    EXPECT_EQ(hero->pendingCurrency + hero->currency, 5);

    // Shrunk by 4 pixels each, boxes 24 apart only touch.
    hero->keys = 3;
    EntityRef<Key> near = Drop(new Key(nullptr, world), hero->GetPosition() + Vec2(24.0f, 0.0f));
    RunFrames(1);
    EXPECT_EQ(hero->keys, 3);
    near->Move(Vec2(-1.0f, 0.0f));
    RunFrames(1);
    EXPECT_EQ(hero->keys, 4);
}

TEST_F(PickupTest, EveryTouchInOneTickCreditsAndABoomerangFetchesFromAfar)
{
    Tavin* hero = AddHero();
    hero->GetBoomerang(0)->Throw(DIR_RIGHT, 0.0f);  // hovers on the hero
    hero->keys = 2;
    Drop(new Key(nullptr, world), hero->GetPosition());
    RunFrames(1);
    EXPECT_EQ(hero->keys, 4);  // body and boomerang

    // A thrown boomerang fetches a heart far from the thrower.
    hero->health = 1.0f;
    EntityRef<Heart> heart = Drop(new Heart(nullptr, world), hero->GetPosition() + Vec2(100.0f, 0.0f));
    hero->GetBoomerang(0)->Throw(DIR_RIGHT, 330.0f);
    RunFrames(10);
    EXPECT_FALSE(heart->IsDead());
    RunFrames(10);
    EXPECT_TRUE(heart->IsDead());
    EXPECT_FLOAT_EQ(hero->health, 2.0f);

    // Without a boomerang in hand only bodies collect, of both heroes.
    hero->boomerangIndex = -1;
    Tavin* second = AddHero(nullptr, 100, 80);
    second->SetUID(1);
    second->boomerangIndex = -1;
    second->keys = 0;
    second->SetPosition(hero->GetPosition());
    Drop(new Key(nullptr, world), hero->GetPosition());
    RunFrames(1);
    EXPECT_EQ(hero->keys, 5);
    EXPECT_EQ(second->keys, 1);
}

TEST_F(PickupTest, AHeroThatLeftTheWorldCollectsNothing)
{
    EntityRef<Jessel> coin;
    {
        EntityRef<Tavin> hero = AddHero();
        coin = Drop(new Jessel(1, nullptr, world), hero->GetPosition());
        world->GetEntityList().Remove(hero.get());
        world->SetPlayer(nullptr);
        RunFrames(2);
        EXPECT_FALSE(coin->IsDead());
    }
    RunFrames(2);
    EXPECT_FALSE(coin->IsDead());
    // Only a hero can be credited.
    TestEntity* other = new TestEntity();
    world->AddEntity(other, false);
    coin->Collect(other);
    coin->Collect(nullptr);
    EXPECT_FALSE(coin->IsDead());
}

TEST_F(PickupTest, DropKindsMakeTheirPickupsWithTheirAnimations)
{
    TestEntity* dropper = new TestEntity();
    world->AddEntity(dropper, false);
    struct Row {
        int kind;
        const char* name;
        int value;  // currency pieces, 0 for the others
        int frameBase;
        bool animates;
    };
    const Row rows[] = {{1, "Jessel", 1, 0, true}, {2, "Jessel", 5, 1, false}, {3, "Jessel", 1, 0, true},
                        {4, "Heart", 0, 0, true},  {8, "Key", 0, 0, false},    {-7, "Jessel", 1, 0, true}};
    for (const Row& row : rows) {
        Pickup* made = dropper->SpawnPickup(row.kind);
        ASSERT_TRUE(made) << row.kind;
        EXPECT_EQ(made->RefCount(), 0);  // not in the world yet
        Drop(made, Vec2(3700.0f, 2600.0f));
        EXPECT_STREQ(made->GetName(), row.name) << row.kind;
        EXPECT_TRUE(made->IsPickup() && made->IsLocalOnly() && made->IsVisible());
        auto* coin = dynamic_cast<Jessel*>(made);
        EXPECT_EQ(coin ? coin->GetValue() : 0, row.value) << row.kind;
        bool moved = false;
        for (int i = 0; i < 12; ++i) {
            RunFrames(1);
            moved = moved || made->frame != 0.0f;
        }
        EXPECT_EQ(moved, row.animates) << row.kind;
        EXPECT_EQ(made->frameBase, row.frameBase) << row.kind;
    }
}

}  // namespace
