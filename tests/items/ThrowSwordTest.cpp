#include "items/ThrowSword.h"
#include "net/GameMessages.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class ThrowSwordTest : public TavinTest {
protected:
    ThrowSword* Throw(NetSession* session, Entity* owner, Vec2 from, int dir, float damage)
    {
        ThrowSword* beam = Put(new ThrowSword(session, world, owner), from);
        beam->Launch(dir, 350.0f, damage);
        return beam;
    }
};

}  // namespace

TEST_F(ThrowSwordTest, ABeamStrikesEveryEnemyItReachesInOneTickAndTellsThePeer)
{
    RecordingSession session(true);
    Tavin* hero = AddHero(&session);
    Target* first = Put(new Target(), hero->GetPosition() + Vec2(40.0f, -4.0f));
    Target* second = Put(new Target(), hero->GetPosition() + Vec2(40.0f, 4.0f));
    Target* beyond = Put(new Target(), hero->GetPosition() + Vec2(90.0f, 0.0f));
    Target* bystander = Put(new Target(Target::OTHER), hero->GetPosition() + Vec2(40.0f, 0.0f));
    first->SetUID(31);
    ThrowSword* beam = Throw(&session, hero, hero->GetPosition(), DIR_RIGHT, 3.0f);
    EXPECT_EQ(beam->frameBase, 6);
    EXPECT_FLOAT_EQ(beam->frameRate, 30.0f);
    EXPECT_LT(RunUntilDead(beam, 30), 30);
    EXPECT_EQ(first->amounts, std::vector<float>{3.0f});
    EXPECT_EQ(first->sources, std::vector<Entity*>{nullptr});
    EXPECT_EQ(second->directions, std::vector<int>{DIR_RIGHT});
    EXPECT_TRUE(beyond->amounts.empty() && bystander->amounts.empty());

    ASSERT_EQ(session.sent.size(), 2u);
    EXPECT_EQ(DecodeHit(session.sent[0]), (HitMessage{31, first->GetPosition(), 3.0f, 0.5f, DIR_RIGHT, 0}));
}

TEST_F(ThrowSwordTest, ABeamNeverHurtsAHeroAndOnAClientOnlyDies)
{
    Tavin* hero = AddHero();
    // An enemy's beam flies straight through the hero.
    ThrowSword* enemyBeam = Throw(nullptr, nullptr, hero->GetPosition() + Vec2(0.0f, -60.0f), DIR_DOWN, 1.0f);
    EXPECT_EQ(enemyBeam->frameBase, 3);
    RunFrames(20);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    EXPECT_NE(enemyBeam->GetState(), 0);
    EXPECT_GT(enemyBeam->GetPosition().y, hero->GetPosition().y + 20.0f);

    // Thrown by a client, it is spent on the enemy but the host deals the blow.
    RecordingSession client(false);
    Target* enemy = Put(new Target(), hero->GetPosition() + Vec2(-40.0f, 0.0f));
    ThrowSword* beam = Throw(&client, hero, hero->GetPosition(), DIR_LEFT, 1.0f);
    EXPECT_EQ(beam->frameBase, 9);
    EXPECT_LT(RunUntilDead(beam, 30), 30);
    EXPECT_TRUE(enemy->amounts.empty());
    EXPECT_TRUE(client.sent.empty());

    // It leaves the inner screen 32 pixels from the edge.
    ThrowSword* high = Throw(nullptr, nullptr, At(100.0f, 31.0f), DIR_UP, 1.0f);
    ThrowSword* low = Throw(nullptr, nullptr, At(100.0f, 32.0f), DIR_RIGHT, 1.0f);
    RunFrames(1);
    EXPECT_EQ(high->GetState(), 0);
    EXPECT_NE(low->GetState(), 0);
}
