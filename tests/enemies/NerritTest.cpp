#include <cmath>
#include <set>

#include "enemies/Nerrit.h"
#include "items/EnergyBall.h"
#include "tests/enemies/EnemyTestSupport.h"

namespace {

class NerritTest : public EnemyTest {
protected:
    // One water tile (48) on the hero's screen, so that it always rises there.
    Nerrit* Risen()
    {
        SetTile(116, 80, 48);
        auto* n = static_cast<Nerrit*>(Add(NERRIT, 113, 78));
        FramesIn(n, 4, 2000);
        return n;
    }
};

}  // namespace

TEST_F(NerritTest, RisesTwoSecondsShootsAfterHalfASecondDivesAfterOneMoreAndHealsAsItDives)
{
    AddHero();
    Nerrit* n = Risen();
    ASSERT_EQ(n->GetState(), 5);
    EXPECT_EQ(n->GetPosition(), Vec2(116.0f * 32.0f, 80.0f * 32.0f));
    EXPECT_FALSE(n->IsInvulnerable());  // until its first dive, even while rising
    EXPECT_NEAR(FramesIn(n, 5, 200), 120, 1);
    ASSERT_EQ(n->GetState(), 8);
    n->TakeDamage(1.0f, -1, nullptr);
    EXPECT_FLOAT_EQ(n->health, 1.0f);
    int frames = 0;
    for (; Live<EnergyBall>().empty() && frames < 60; ++frames) RunFrames(1);
    EXPECT_NEAR(frames, 31, 1);
    ASSERT_EQ(Live<EnergyBall>().size(), 1u);
    // The hero stands 4 tiles right and 3 down.
    const EnergyBall* ball = Live<EnergyBall>()[0];
    EXPECT_NEAR(ball->velocity.x, 0.8f, 1e-4f);
    EXPECT_NEAR(ball->velocity.y, 0.6f, 1e-4f);
    EXPECT_FLOAT_EQ(ball->speed, 225.0f);
    EXPECT_FLOAT_EQ(ball->power, 2.0f);
    ASSERT_EQ(host.sent.size(), 1u);  // message 9: its uid, then direction 0
    EXPECT_EQ(Sent(host, 9),
              (std::vector<std::vector<uint8_t>>{{uint8_t(n->GetUID()), 0, 0, 0, 0, 0, 0, 0}}));

    EXPECT_NEAR(FramesIn(n, 8, 200), 61, 1);
    ASSERT_EQ(n->GetState(), 3);
    EXPECT_FLOAT_EQ(n->health, 2.0f);
    EXPECT_NEAR(FramesIn(n, 3, 200), 90, 1);
    // From now on only a Nerrit that is up can be hurt. The pool is dry for
    // a while, so that it waits under water.
    SetTile(116, 80, 0);
    std::set<int> held;
    for (int f = 0, previous = n->GetState(); f < 600 && held.size() < 4; ++f) {
        if (f == 100)
            SetTile(116, 80, 48);
        RunFrames(1);
        if (n->GetState() == previous) {
            held.insert(previous);
            EXPECT_EQ(n->IsInvulnerable(), previous != 8) << previous;
            EXPECT_EQ(n->IsVisible(), previous != 4) << previous;
            EXPECT_TRUE(n->frameBase == 0 || previous == 4 || previous == 8) << previous;  // rising, diving
        }
        previous = n->GetState();
    }
    EXPECT_EQ(held, (std::set<int>{3, 4, 5, 8}));
}

TEST_F(NerritTest, WithoutWaterItStaysHiddenAndWithoutAHeroItHoldsItsFire)
{
    Enemy* dry = Add(NERRIT, 100, 80);  // screen (6, 7) has no water
    const Vec2 at = dry->GetPosition();
    Nerrit* n = Risen();
    EXPECT_NEAR(FramesIn(n, 5, 200), 120, 1);
    RunFrames(45);
    EXPECT_EQ(n->GetState(), 8);
    EXPECT_TRUE(Live<EnergyBall>().empty());
    FramesIn(n, 8, 100);
    EXPECT_EQ(n->GetState(), 3);
    EXPECT_EQ(dry->GetState(), 4);
    EXPECT_FALSE(dry->IsVisible());
    EXPECT_EQ(dry->GetPosition(), at);
}

TEST_F(NerritTest, ItAimsAtTheHostsHeroOnItsScreenElseTheJoiningOne)
{
    Tavin* first = AddHero();
    Tavin* second = AddHero(nullptr, 116, 84);
    second->SetUID(1);
    auto* n = static_cast<Nerrit*>(Add(NERRIT, 116, 80));
    const struct {
        Vec2 first, second, aim;
    } cases[] = {
        {{120, 83}, {116, 84}, {0.8f, 0.6f}},  // the host's hero wins although the other is nearer
        {{116, 70}, {116, 84}, {0.0f, 1.0f}},  // the host's hero is above; its swords (uid 0) stay here
    };
    for (const auto& c : cases) {
        first->SetPosition(c.first * 32.0f);
        second->SetPosition(c.second * 32.0f);
        EXPECT_NEAR(n->AimAtPlayer().x, c.aim.x, 1e-4f);
        EXPECT_NEAR(n->AimAtPlayer().y, c.aim.y, 1e-4f);
    }
    second->SetPosition(n->GetPosition());
    const Vec2 aim = n->AimAtPlayer();
    EXPECT_TRUE(std::isfinite(aim.x) && std::isfinite(aim.y));
}
