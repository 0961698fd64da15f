#include <cmath>
#include <set>

#include "enemies/Bat.h"
#include "items/Pickup.h"
#include "tests/enemies/EnemyTestSupport.h"

using BatTest = EnemyTest;

TEST_F(BatTest, ItSlowsDownOverFourSecondsHoversOneSecondAndSpeedsUpAgain)
{
    auto* bat = static_cast<Bat*>(Add(BAT, 120, 82));
    for (int f = 0; !bat->resting && f < 5000; ++f) {
        RunFrames(1);
        ASSERT_FLOAT_EQ(bat->speed, 85.0f);
    }
    ASSERT_TRUE(bat->resting);
    int frames = 0;
    for (; bat->throttle > 0.0f && frames < 400; ++frames) {
        RunFrames(1);
        ASSERT_FLOAT_EQ(bat->speed, bat->throttle * 85.0f);
        ASSERT_FLOAT_EQ(bat->frameRate, bat->throttle * 25.0f);
    }
    EXPECT_NEAR(frames, 240, 1);
    const Vec2 still = bat->GetPosition();
    const float wings = bat->frame;
    int hovering = 1;  // the frame that reached 0 counts
    for (; bat->resting && hovering < 100; ++hovering) {
        RunFrames(1);
        EXPECT_EQ(bat->GetPosition(), still);
        EXPECT_FLOAT_EQ(bat->frame, wings);
    }
    EXPECT_NEAR(hovering, 60, 1);
    RunFrames(120);
    EXPECT_NEAR(bat->throttle, 0.5f, 0.01f);
    EXPECT_NE(bat->GetPosition(), still);
}

TEST_F(BatTest, ItFliesHalfTileStepsInEightDirectionsInsideTheScreen)
{
    const Vec2 unit[8] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}};
    const Vec2 corner(112.0f * 32.0f, 77.0f * 32.0f);
    Enemy* bat = Add(BAT, 120, 82);
    std::set<int> directions;
    int previous = bat->GetState(), decisions = 0, kept = 0, lastDir = bat->GetDirection();
    Vec2 before = bat->GetPosition(), target;
    for (int f = 0; f < 3600; ++f) {
        RunFrames(1);
        const Vec2 p = bat->GetPosition(), centre = p + Vec2(16.0f, 16.0f), moved = p - before;
        const int state = bat->GetState(), dir = bat->GetDirection();
        ASSERT_TRUE(centre.x >= corner.x + 30 && centre.x <= corner.x + 478 && centre.y >= corner.y + 16 &&
                    centre.y <= corner.y + 304);
        if (previous == 4 && state == 5) {
            directions.insert(dir);
            ++decisions;
            kept += dir == lastDir;
            lastDir = dir;
            ASSERT_EQ(bat->destination, p + unit[dir] * 16.0f) << dir;
            target = bat->destination;
        }
        // Each axis the direction involves moves by the step, and the last one stops on the spot.
        const Vec2 step = unit[dir] * (bat->speed / 60.0f);
        const float most = 85.0f / 60.0f + 1e-3f;
        ASSERT_TRUE(previous != 5 ||
                    (state == 5 && std::fabs(moved.x - step.x) + std::fabs(moved.y - step.y) < 1e-3f) ||
                    (state == 4 && p == target && std::fabs(moved.x) < most && std::fabs(moved.y) < most))
            << dir;
        previous = state;
        before = p;
    }
    EXPECT_EQ(directions.size(), 8u);
    // It keeps its way two times in three, plus a random draw of the same way.
    EXPECT_GT(decisions, 150);
    EXPECT_NEAR(double(kept) / decisions, 0.71, 0.1);
}

TEST_F(BatTest, ItCrossesTiles162To164ThatStopTheWalkers)
{
    for (int tile : {162, 163, 164, 1}) {
        SCOPED_TRACE(tile);
        for (int c = 112; c < 128; ++c)
            for (int r = 77; r < 88; ++r) SetTile(c, r, uint8_t(tile));
        Enemy* bat = Add(BAT, 118, 80);
        Enemy* walker = Add(SKELETON, 122, 84);
        const Vec2 batAt = bat->GetPosition(), walkerAt = walker->GetPosition();
        RunFrames(120);
        EXPECT_EQ(bat->GetPosition() != batAt, tile != 1);
        EXPECT_EQ(walker->GetPosition(), walkerAt);
        world->GetEntityList().Clear();
    }
}

TEST_F(BatTest, AnyHitKillsItAndItNeverDropsNorCountsTowardADrop)
{
    const struct {
        float amount;
        bool flashing;
    } hits[] = {{-1.0f, false}, {0.0f, false}, {1.0f, true}, {3.0f, false}};
    for (const auto& hit : hits) {
        SCOPED_TRACE(hit.amount);
        host.sent.clear();
        g_killsWithoutDrop = 6;
        Enemy* bat = Add(BAT, 118, 80);
        if (hit.flashing)
            bat->StartFlashing(0.5f);
        bat->TakeDamage(hit.amount, 3, nullptr);
        EXPECT_EQ(bat->GetState(), 0);
        EXPECT_EQ(g_killsWithoutDrop, 6);
        EXPECT_TRUE(Live<Pickup>().empty());
        EXPECT_EQ(Sent(host, 8).size(), 1u);
        EXPECT_TRUE(Sent(host, 11).empty());
    }
}
