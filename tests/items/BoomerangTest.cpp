#include <cmath>

#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

struct Flight {
    float farthest = 0.0f;       // furthest offset from the throw along x
    float turnDistance = -1.0f;  // outbound distance when it turned
    float turnOffset = -1.0f;
};

class BoomerangTest : public TavinTest {
protected:
    // An enemy that records the amounts it is hit with, without flashing.
    Target* Enemy(uint32_t uid, Vec2 at)
    {
        Target* e = Put(new Target(Target::ENEMY, false), at);
        e->SetUID(uid);
        return e;
    }
    // Runs frames while the boomerang flies, at most five seconds.
    Flight FlyOut(Boomerang* b, float fromX)
    {
        Flight f;
        for (int i = 0; b->IsFlying() && i < 300; ++i) {
            RunFrames(1);
            const float offset = b->GetPosition().x - fromX;
            f.farthest = std::max(f.farthest, offset);
            if (b->IsReturning() && f.turnDistance < 0.0f) {
                f.turnDistance = b->GetDistance();
                f.turnOffset = offset;
            }
        }
        return f;
    }
};

TEST_F(BoomerangTest, APlainBoomerangTurnsPastItsRangeOvershootsAndIsCaught)
{
    Tavin* hero = AddHero();
    Boomerang* b = hero->GetBoomerang(0);
    const Vec2 from = hero->GetPosition();
    hero->itemReady = false;
    b->Throw(DIR_RIGHT, 330.0f);
    const Flight f = FlyOut(b, from.x);
    EXPECT_TRUE(hero->itemReady);
    EXPECT_GT(f.turnDistance, 150.0f);
    EXPECT_LE(f.turnDistance, 150.0f + 5.6f);
    // Braking from full speed carries it about 25 pixels further.
    EXPECT_GT(f.farthest, f.turnDistance + 20.0f);
    EXPECT_LT(f.farthest, f.turnDistance + 30.0f);
    EXPECT_LT(std::fabs(b->GetPosition().x - from.x), 16.0f);
    EXPECT_EQ(b->GetPosition().y, from.y);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_BOOMERANG));
    // Caught, it lies hidden where it was caught.
    const Vec2 caught = b->GetPosition();
    RunFrames(30);
    EXPECT_EQ(b->GetPosition(), caught);
    EXPECT_FALSE(b->IsVisible());
}

TEST_F(BoomerangTest, AMagicBoomerangHasNoRangeAndTurnsAtTheScreenEdge)
{
    // The hero stands 256 pixels into its screen; the edge zone starts at 480.
    Tavin* hero = AddHero();
    Boomerang* b = hero->GetBoomerang(1);
    const Vec2 from = hero->GetPosition();
    b->Throw(DIR_RIGHT, 330.0f);
    const Flight f = FlyOut(b, from.x);
    EXPECT_FALSE(b->IsFlying());
    EXPECT_GT(f.farthest, 480.0f - 256.0f);
    EXPECT_LE(f.farthest, 480.0f - 256.0f + 5.6f);
    EXPECT_LT(f.farthest - f.turnOffset, 1.0f);  // no coasting past the edge

    // Diagonals fly at the same speed as straight throws.
    b->Throw(5, 330.0f);
    RunFrames(1);
    const Vec2 step = b->GetPosition() - from;
    EXPECT_NEAR(step.x, -5.5f / std::sqrt(2.0f), 0.01f);
    EXPECT_NEAR(step.y, step.x, 0.01f);
}

TEST_F(BoomerangTest, EnemiesInItsWayAreStunnedAndTurnIt)
{
    RecordingSession session(true);
    Tavin* hero = AddHero(&session);
    const Vec2 from = hero->GetPosition();
    const Vec2 at = from + Vec2(64.0f, 0.0f);
    Target* first = Enemy(50, at);
    Target* second = Enemy(51, at);
    Target* local = Enemy(52, at);
    local->localOnly = true;  // the peer's uid 52 is someone else
    Target* bystander = Put(new Target(Target::OTHER), at);
    Target* aside = Enemy(53, from + Vec2(0.0f, 96.0f));  // not in its way
    Boomerang* b = hero->GetBoomerang(0);
    b->Throw(DIR_RIGHT, 330.0f);
    for (int i = 0; !b->IsReturning() && i < 60; ++i) RunFrames(1);
    // All touched in the same tick, each stunned once, and the peer told of
    // those it has.
    for (Target* e : {first, second, local}) EXPECT_EQ(e->amounts, std::vector<float>{-1.0f});
    EXPECT_TRUE(bystander->amounts.empty());
    ASSERT_EQ(Sent(session, MSG_HIT).size(), 2u);
    EXPECT_EQ(DecodeHit(session.sent.back()), (HitMessage{51, at, -1.0f, 0.0f, DIR_RIGHT, 0}));
    EXPECT_LT(b->GetDistance(), 150.0f);
    EXPECT_LE(b->speed, 0.0f);  // turned at once

    // Hidden in the hero's hand it touches nobody.
    FlyOut(b, from.x);
    first->amounts.clear();
    first->SetPosition(b->GetPosition());
    const size_t sent = Sent(session, MSG_HIT).size();
    RunFrames(10);
    EXPECT_TRUE(first->amounts.empty());
    EXPECT_EQ(Sent(session, MSG_HIT).size(), sent);
    EXPECT_TRUE(aside->amounts.empty());
}

TEST_F(BoomerangTest, AClientCopyMovesButDecidesNothing)
{
    RecordingSession client(false);
    Tavin* hero = AddHero(&client);
    hero->itemReady = false;
    Target* enemy = Enemy(60, hero->GetPosition() + Vec2(64.0f, 0.0f));
    Boomerang* b = hero->GetBoomerang(0);
    b->Throw(DIR_RIGHT, 330.0f);
    RunFrames(60);
    // Past its range, past the screen edge and through an enemy, still outbound.
    EXPECT_FALSE(b->IsReturning());
    EXPECT_NEAR(b->GetPosition().x - hero->GetPosition().x, 330.0f, 0.5f);
    EXPECT_TRUE(enemy->amounts.empty());
    EXPECT_EQ(Sent(client, MSG_HIT).size(), 0u);
    // Sent home, it hovers at its owner: only the host catches it.
    b->Return();
    RunFrames(120);
    EXPECT_TRUE(b->IsVisible());
    EXPECT_LT(std::fabs(b->GetPosition().x - hero->GetPosition().x), 16.0f);
    EXPECT_FALSE(hero->itemReady);
}

TEST_F(BoomerangTest, DirectionlessFlightsStayFiniteAndComeHome)
{
    Tavin* hero = AddHero();
    Boomerang* b = hero->GetBoomerang(0);
    hero->itemReady = false;
    b->Throw(9, 330.0f);
    RunFrames(1);
    EXPECT_TRUE(std::isfinite(b->GetPosition().x) && std::isfinite(b->GetPosition().y));
    EXPECT_FALSE(b->IsVisible());
    EXPECT_TRUE(hero->itemReady);
    // Sent home from exactly the owner's place.
    hero->itemReady = false;
    b->Throw(DIR_UP, 0.0f);
    b->Return();
    RunFrames(1);
    EXPECT_EQ(b->GetPosition(), hero->GetPosition());
    EXPECT_TRUE(hero->itemReady);
    // Dying hands the item back, once.
    for (bool handsBack : {true, false}) {
        hero->itemReady = false;
        b->Dead();
        EXPECT_EQ(hero->itemReady, handsBack);
    }
}

}  // namespace
