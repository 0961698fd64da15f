#include "items/Sword.h"
#include "net/GameMessages.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class SwordTest : public TavinTest {
protected:
    void SetUp() override
    {
        TavinTest::SetUp();
        holder = new TestEntity();
        holder->isPlayer = true;
        world->AddEntity(holder, false);
        holder->SetPosition(Vec2(3840.0f, 2656.0f));
    }

    Sword* AddSword(int grade, NetSession* session = nullptr)
    {
        Sword* sword = new Sword(session, grade, holder);
        world->AddEntity(sword, true);
        return sword;
    }

    TestEntity* holder = nullptr;
};

}  // namespace

// A swing stands 27 pixels out for 0.08 s where it was made, whichever way
// the owner walks; then it slides back 10 pixels a tick after the owner.
TEST_F(SwordTest, ASwingStandsOutThenRetractsAfterItsOwnerInThreeTicks)
{
    Sword* sword = AddSword(0);
    const Vec2 from = holder->GetPosition();
    sword->Swing(from, DIR_DOWN);
    EXPECT_TRUE(sword->IsExtended());
    // Five ticks at 1/60 s, the last one ending it.
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_GT(sword->swingTime, 0.0f);
        holder->Move(Vec2(3.0f, 0.0f));
        RunFrames(1);
        EXPECT_FLOAT_EQ(sword->reach, 27.0f);
        EXPECT_EQ(sword->GetPosition(), from + Vec2(0.0f, 27.0f));
    }
    EXPECT_FLOAT_EQ(sword->swingTime, 0.0f);
    EXPECT_TRUE(sword->IsVisible());
    for (float reach : {17.0f, 7.0f, 0.0f}) {
        holder->Move(Vec2(-5.0f, 0.0f));
        RunFrames(1);
        EXPECT_FLOAT_EQ(sword->reach, reach);
        EXPECT_EQ(sword->GetPosition(), holder->GetPosition() + Vec2(0.0f, reach));
    }
    EXPECT_FALSE(sword->IsVisible());

    // Each facing has its own frame and offset, and a new swing restarts the
    // extended phase; an unknown facing stays on the owner.
    const Vec2 offsets[4] = {{0.0f, -27.0f}, {0.0f, 27.0f}, {-27.0f, 0.0f}, {27.0f, 0.0f}};
    for (int d = DIR_UP; d <= DIR_RIGHT; ++d) {
        sword->Swing(holder->GetPosition(), d);
        RunFrames(1);
        EXPECT_EQ(sword->frameBase, d);
        EXPECT_EQ(sword->GetPosition(), holder->GetPosition() + offsets[d]);
        EXPECT_FLOAT_EQ(sword->reach, 27.0f);
    }
    sword->Swing(holder->GetPosition(), 6);
    RunFrames(8);
    EXPECT_EQ(sword->GetPosition(), holder->GetPosition());
}

TEST_F(SwordTest, TheHostStrikesWhatTheShrunkenBoxesOverlapAndTellsThePeer)
{
    RecordingSession session(true);
    Sword* sword = AddSword(1, &session);
    const Vec2 tip = holder->GetPosition() + Vec2(27.0f, 0.0f);
    // Shrunk by 7 on each side the boxes are 18 wide: 18 apart they only touch.
    Target* missed = Put(new Target(), tip + Vec2(18.0f, 0.0f));
    Target* struck = Put(new Target(), tip + Vec2(17.0f, 5.0f));
    struck->SetUID(42);
    sword->Swing(holder->GetPosition(), DIR_RIGHT);
    RunFrames(1);
    EXPECT_TRUE(missed->amounts.empty());
    EXPECT_EQ(struck->amounts, std::vector<float>{2.0f});
    EXPECT_EQ(struck->directions, std::vector<int>{DIR_RIGHT});

    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(DecodeHit(session.sent[0]), (HitMessage{42, struck->GetPosition(), 2.0f, 0.5f, DIR_RIGHT, 0}));

    // Flashing after the blow, it is not struck again; something that does
    // not flash is struck every tick. What lives on this machine only is
    // struck but not announced: its uid names another entity on the peer.
    Target* stubborn = Put(new Target(Target::ENEMY, false), tip);
    Target* local = Put(new Target(Target::ENEMY, false), tip);
    local->localOnly = true;
    RunFrames(3);
    EXPECT_EQ(struck->amounts.size(), 1u);
    EXPECT_EQ(stubborn->amounts.size(), 3u);
    EXPECT_EQ(local->amounts.size(), 3u);
    EXPECT_FLOAT_EQ(stubborn->health, -6.0f);
    EXPECT_EQ(session.sent.size(), 4u);
}

TEST_F(SwordTest, AnIdleSwordIgnoresEventsAndPlayersAndShieldedEntitiesAreNeverStruck)
{
    RecordingSession session(true);
    Sword* sword = AddSword(0, &session);
    EXPECT_STREQ(sword->GetName(), "Sword");
    EXPECT_TRUE(!sword->IsVisible() && sword->IsTransient() && sword->IsLocalOnly());
    EXPECT_EQ(AddSword(3)->sprite, nullptr);
    EXPECT_STREQ(SwordSpriteName(2), "MagicSword");
    EXPECT_EQ(SwordSpriteName(3), nullptr);
    int column = 3, row = 4;
    sword->SendEvent(11, &column, &row);
    RunFrames(1);
    EXPECT_EQ(sword->GetPosition(), Vec2(0.0f, 0.0f));

    const Vec2 tip = holder->GetPosition() + Vec2(-27.0f, 0.0f);
    Put(new Target(), tip)->StartFlashing(-1.0f);
    Put(new Target(), tip)->invulnerable = true;
    Put(new Target(), tip)->untargetable = true;
    EntityRef<Tavin> otherHero = new Tavin("other", nullptr, &session);
    Put(otherHero.get(), tip);
    sword->Swing(holder->GetPosition(), DIR_LEFT);
    RunFrames(8);
    EXPECT_FLOAT_EQ(otherHero->health, 3.0f);
    // The owner stands inside the retracting sword and is not struck either.
    EXPECT_TRUE(session.sent.empty());
}

// Only the host strikes, and only with a sword that is out: a hidden one lying
// on an enemy does nothing. On a client the sword still swings and retracts.
TEST_F(SwordTest, OnlyTheHostStrikesAndOnlyWithASwordThatIsOut)
{
    for (bool isHost : {true, false}) {
        RecordingSession session(isHost);
        EntityRef<Tavin> hero = new Tavin("hero", nullptr, &session);
        world->AddEntity(hero.get(), false);
        hero->SetPosition(Vec2(3840.0f, 2656.0f));
        Target* enemy = Put(new Target(Target::OTHER), hero->GetPosition() + Vec2(0.0f, -30.0f));
        hero->GetSword(0)->SetPosition(enemy->GetPosition());
        RunFrames(3);
        EXPECT_TRUE(enemy->amounts.empty());
        hero->SendEvent(5, nullptr, nullptr);  // the sword button
        RunFrames(8);
        EXPECT_EQ(enemy->amounts.size(), isHost ? 1u : 0u);
        EXPECT_EQ(session.sent.size(), isHost ? 1u : 0u);
        EXPECT_EQ(hero->GetSword(0)->GetPosition(), hero->GetPosition());
        world->GetEntityList().Clear();
    }
}
