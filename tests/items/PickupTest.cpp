#include "items/Heart.h"
#include "items/Jessel.h"
#include "items/Key.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class PickupTest : public TavinTest {
protected:
    // A pickup added to the world at `at` with the lifetime.
    template <class T>
    T* Drop(T* pickup, Vec2 at, float lifetime = Pickup::kForever)
    {
        pickup->Place(at, lifetime);
        world->AddEntity(pickup, false);
        return pickup;
    }
    bool InWorld(Entity* e)
    {
        for (int i = 0; i < world->GetEntityList().Count(); ++i)
            if (world->GetEntityList().Get(i) == e)
                return true;
        return false;
    }
};

TEST_F(PickupTest, LifetimeRunsOutOnlyWhenOneIsGiven)
{
    AddHero();
    EntityRef<Key> brief = Drop(new Key(nullptr, world), Vec2(3700.0f, 2600.0f), 10.0f);
    EntityRef<Key> lasting = Drop(new Key(nullptr, world), Vec2(3700.0f, 2700.0f));
    EXPECT_FLOAT_EQ(brief->GetLifetime(), 10.0f);
    EXPECT_EQ(brief->GetPosition(), Vec2(3700.0f, 2600.0f));
    EXPECT_EQ(brief->GetTile(), Vec2(116.0f, 81.0f));
    RunFrames(595);
    EXPECT_FALSE(brief->IsDead());
    RunFrames(10);
    EXPECT_TRUE(brief->IsDead());
    EXPECT_FALSE(InWorld(brief.get()));
    RunFrames(600);
    EXPECT_FALSE(lasting->IsDead());
    EXPECT_TRUE(InWorld(lasting.get()));
    EXPECT_FLOAT_EQ(lasting->GetLifetime(), Pickup::kForever);
}

TEST_F(PickupTest, CollectingCreditsTheHeroWithinItsCaps)
{
    Tavin* hero = AddHero();
    const Vec2 at = hero->GetPosition();

    // Each lies out of reach for a frame first, so that the world marks it
    // as in view and its sound may play.
    hero->keys = Tavin::kMaxKeys - 1;
    EntityRef<Key> first = Drop(new Key(nullptr, world), at + Vec2(64.0f, 0.0f));
    RunFrames(1);
    first->SetPosition(at);
    RunFrames(1);
    EXPECT_EQ(hero->keys, Tavin::kMaxKeys);
    EXPECT_TRUE(first->IsDead());
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_KEY));
    Drop(new Key(nullptr, world), at);
    RunFrames(1);
    EXPECT_EQ(hero->keys, Tavin::kMaxKeys);

    hero->health = 1.5f;
    EntityRef<Heart> heart = Drop(new Heart(nullptr, world), at + Vec2(64.0f, 0.0f));
    RunFrames(1);
    heart->SetPosition(at);
    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->health, 2.5f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_GET_HEART));
    Drop(new Heart(nullptr, world), at);
    RunFrames(1);
    EXPECT_FLOAT_EQ(hero->health, hero->maxHealth);

    // The hero counts the pieces into its purse one per tick.
    hero->pendingCurrency = 0;
    hero->currency = 0;
    Drop(new Jessel(5, nullptr, world), at);
    RunFrames(1);
    EXPECT_EQ(hero->pendingCurrency + hero->currency, 5);

    // Shrunk by 4 pixels each, boxes 24 apart only touch.
    const int keys = hero->keys = 3;
    EntityRef<Key> near = Drop(new Key(nullptr, world), at + Vec2(24.0f, 0.0f));
    RunFrames(1);
    EXPECT_EQ(hero->keys, keys);
    near->SetPosition(at + Vec2(23.0f, 0.0f));
    RunFrames(1);
    EXPECT_EQ(hero->keys, keys + 1);
}

TEST_F(PickupTest, BodyAndBoomerangInOneTickBothCredit)
{
    Tavin* hero = AddHero();
    hero->boomerangIndex = 0;
    hero->GetBoomerang(0)->Throw(DIR_RIGHT, 0.0f);
    hero->keys = 2;
    Drop(new Key(nullptr, world), hero->GetPosition());
    RunFrames(1);
    EXPECT_EQ(hero->keys, 4);

    // Without a boomerang in hand only the body collects.
    hero->boomerangIndex = -1;
    Drop(new Key(nullptr, world), hero->GetPosition());
    RunFrames(1);
    EXPECT_EQ(hero->keys, 5);

    // The second hero is tested too; both collect the same pickup.
    Tavin* second = AddHero(nullptr, 100, 80);
    second->SetUID(1);
    second->boomerangIndex = -1;
    second->keys = 0;
    Drop(new Key(nullptr, world), hero->GetPosition());
    second->SetPosition(hero->GetPosition());
    RunFrames(1);
    EXPECT_EQ(hero->keys, 6);
    EXPECT_EQ(second->keys, 1);
}

TEST_F(PickupTest, AThrownBoomerangFetchesAPickupFarFromTheThrower)
{
    Tavin* hero = AddHero();
    hero->health = 1.0f;
    EntityRef<Heart> heart = Drop(new Heart(nullptr, world), hero->GetPosition() + Vec2(100.0f, 0.0f));
    hero->GetBoomerang(0)->Throw(DIR_RIGHT, Boomerang::kThrowSpeed);
    int frames = 0;
    while (!heart->IsDead() && frames < 60) {
        RunFrames(1);
        ++frames;
    }
    EXPECT_TRUE(heart->IsDead());
    EXPECT_FLOAT_EQ(hero->health, 2.0f);
    EXPECT_GT(frames, 10);  // the boomerang had to fly there
}

TEST_F(PickupTest, AHeroThatLeftTheWorldCollectsNothing)
{
    EntityRef<Jessel> coin;
    {
        EntityRef<Tavin> hero = AddHero();
        coin = Drop(new Jessel(1, nullptr, world), hero->GetPosition());
        world->GetEntityList().Remove(hero.get());
        world->SetPlayer(nullptr);
        hero->pendingCurrency = 0;
        RunFrames(2);
        EXPECT_EQ(hero->pendingCurrency, 0);
        EXPECT_FALSE(coin->IsDead());
    }
    // The hero is gone for good now; the coin lies on untouched.
    RunFrames(2);
    EXPECT_FALSE(coin->IsDead());
    // A collector that is no hero is not credited, and the coin stays.
    TestEntity* other = new TestEntity();
    world->AddEntity(other, false);
    coin->Collect(other);
    coin->Collect(nullptr);
    EXPECT_FALSE(coin->IsDead());
}

TEST_F(PickupTest, EachKindShowsItsOwnAnimation)
{
    EntityRef<Jessel> single = Drop(new Jessel(1, nullptr, world), Vec2(3700.0f, 2600.0f));
    EntityRef<Jessel> five = Drop(new Jessel(5, nullptr, world), Vec2(3700.0f, 2700.0f));
    EntityRef<Heart> heart = Drop(new Heart(nullptr, world), Vec2(3800.0f, 2700.0f));
    EntityRef<Key> key = Drop(new Key(nullptr, world), Vec2(3800.0f, 2600.0f));
    EXPECT_STREQ(single->GetName(), "Jessel");
    EXPECT_STREQ(heart->GetName(), "Heart");
    EXPECT_STREQ(key->GetName(), "Key");
    EXPECT_TRUE(single->IsPickup() && single->IsLocalOnly() && single->IsVisible());
    EXPECT_EQ(five->frameBase, 1);
    EXPECT_EQ(single->frameBase, 0);
    bool singleMoved = false, heartMoved = false;
    for (int i = 0; i < 12; ++i) {
        RunFrames(1);
        singleMoved = singleMoved || single->frame != 0.0f;
        heartMoved = heartMoved || heart->frame != 0.0f;
        EXPECT_EQ(five->frame, 0.0f);
        EXPECT_EQ(key->frame, 0.0f);
    }
    EXPECT_TRUE(singleMoved);
    EXPECT_TRUE(heartMoved);
    EXPECT_EQ(five->frameBase, 1);
}

TEST_F(PickupTest, DropKindsMakeTheirPickups)
{
    TestEntity* dropper = new TestEntity();
    world->AddEntity(dropper, false);
    struct Row {
        int kind;
        const char* name;
        int value;  // currency pieces, 0 for the others
    };
    const Row rows[] = {{1, "Jessel", 1}, {2, "Jessel", 5}, {3, "Jessel", 1},
                        {4, "Heart", 0},  {8, "Key", 0},    {-7, "Jessel", 1}};
    for (const Row& row : rows) {
        EntityRef<Pickup> made = dropper->SpawnPickup(row.kind);
        ASSERT_TRUE(made) << row.kind;
        EXPECT_STREQ(made->GetName(), row.name) << row.kind;
        EXPECT_FLOAT_EQ(made->GetLifetime(), Pickup::kForever);
        EXPECT_EQ(made->world, world);
        EXPECT_FALSE(InWorld(made.get()));
        auto* coin = dynamic_cast<Jessel*>(made.get());
        EXPECT_EQ(coin ? coin->GetValue() : 0, row.value) << row.kind;
    }
}

}  // namespace
