#include <cmath>

#include "enemies/Snake.h"
#include "items/Pickup.h"
#include "tests/enemies/EnemyTestSupport.h"

using SkeletonSnakeTest = EnemyTest;

TEST_F(SkeletonSnakeTest, SkeletonDeathsWithoutADropFeedTheCounterThatForcesTheNextDrop)
{
    // roll: the draw against 35 %; kindRoll: the draw of the 70/15/15 table (-1: none). A Nerrit
    // always drops a heart, where the common table would give a coin, and on either machine after
    // a drought; it never counts one.
    const struct {
        Kind kind;
        bool onHost;
        int times, drought, roll, kindRoll, dropKind, droughtAfter;
    } kills[] = {
        {SKELETON, true, 5, 0, 35, -1, 0, 5},    {SKELETON, true, 1, 5, 35, -1, 0, 6},
        {SKELETON, true, 1, 5, 34, 69, 1, 0},    {SKELETON, true, 1, 6, 99, 70, 2, 0},
        {RED_KRILLOP, true, 1, 6, 99, 84, 2, 0}, {RED_KRILLOP, true, 1, 3, 35, -1, 0, 3},
        {RED_KRILLOP, true, 1, 0, 34, 85, 4, 0}, {SKELETON, false, 1, 2, -1, -1, 0, 3},
        {SKELETON, false, 1, 6, -1, -1, 0, 7},   {NERRIT, true, 1, 0, 34, 0, 4, 0},
        {NERRIT, true, 1, 3, 35, -1, 0, 3},      {NERRIT, false, 1, 0, 0, -1, 0, 0},
        {NERRIT, false, 1, 6, -1, 0, 4, 0},
    };
    for (const auto& k : kills) {
        SCOPED_TRACE(::testing::Message() << KindName(k.kind) << " " << k.onHost << " " << k.drought);
        RecordingSession& session = k.onHost ? host : client;
        session.sent.clear();
        g_killsWithoutDrop = k.drought;
        for (int i = 0; i < k.times; ++i) {
            Enemy* e = Add(k.kind, 116, 80, &session);
            SeedSoThat([&] {
                return (k.roll < 0 || Draw(100) == k.roll) && (k.kindRoll < 0 || Draw(100) == k.kindRoll);
            });
            const size_t pickups = Live<Pickup>().size();
            if (k.onHost || k.kind == NERRIT)
                e->TakeDamage(2.0f, -1, nullptr);
            else
                e->Dead();  // the peer's copy of a walker dies when the host says so
            EXPECT_EQ(e->GetState(), 0);
            EXPECT_EQ(Live<Pickup>().size(), pickups + (k.dropKind != 0));
        }
        EXPECT_EQ(g_killsWithoutDrop, k.droughtAfter);
        const auto drops = Sent(session, 11);
        ASSERT_EQ(drops.size(), k.dropKind ? 1u : 0u);
        EXPECT_EQ(Sent(session, 8).size(), k.onHost ? size_t(k.times) : 0u);
        for (const auto& d : drops)
            EXPECT_TRUE(Field<int32_t>(d, 0) == k.dropKind && Field<float>(d, 12) == 10.0f);
    }
}

TEST_F(SkeletonSnakeTest, ASnakeRushesAtAHeroInLineOnItsScreenOnlyTheHostsHeroFirst)
{
    AddHero(nullptr, 114, 80)->SetUID(1);  // the joining hero, first in the world list
    Tavin* hero = AddHero();
    const struct {
        Vec2 offset;
        int rush;  // -1: none
    } cases[] = {
        {{0, -96}, 1},  // in line with both heroes
        {{7, 96}, 0},  {{-128, 0}, 3}, {{96, -7}, 2},
        {{8, 96}, -1}, {{-96, 8}, -1}, {{-640, 0}, -1},  // on the screen to the left
    };
    std::vector<Snake*> snakes;
    for (const auto& c : cases) snakes.push_back(Put(new Snake(&host), hero->GetPosition() + c.offset));
    RunFrames(1);
    for (size_t i = 0; i < snakes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(snakes[i]->IsCharging(), cases[i].rush >= 0);
        EXPECT_FLOAT_EQ(snakes[i]->speed, cases[i].rush >= 0 ? 240.0f : 60.0f);
        EXPECT_TRUE(cases[i].rush < 0 || snakes[i]->GetDirection() == cases[i].rush);
    }
}

TEST_F(SkeletonSnakeTest, ARushRunsUntilBlockedThenTheSnakeWandersSlowly)
{
    AddHero();
    SetTile(118, 83, 1);
    auto* snake = static_cast<Snake*>(Add(SNAKE, 113, 83));
    int previous = snake->GetState(), frames = 0;
    Vec2 before = snake->GetPosition();
    do {
        RunFrames(1);
        ASSERT_LT(++frames, 200);
        const Vec2 moved = snake->GetPosition() - before;
        ASSERT_TRUE(moved.y == 0.0f &&
                    (previous != 5 || snake->GetState() != 5 || std::fabs(moved.x - 4.0f) < 1e-3f));
        previous = snake->GetState();
        before = snake->GetPosition();
    } while (snake->IsCharging());
    EXPECT_EQ(before, Vec2(117.0f * 32.0f, 83.0f * 32.0f));
    EXPECT_FLOAT_EQ(snake->speed, 60.0f);
    EXPECT_EQ(snake->GetState(), 5);
    RunFrames(1);
    const Vec2 moved = snake->GetPosition() - before;
    EXPECT_NEAR(std::fabs(moved.x) + std::fabs(moved.y), 1.0f, 1e-3f);
}
