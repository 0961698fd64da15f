#include <memory>

#include "items/Sword.h"
#include "net/GameMessages.h"
#include "net/NetStream.h"
#include "player/Tavin.h"
#include "tests/support/TestSupport.h"

namespace {

// Something a sword can strike; it records the blows and may start
// flashing like a real enemy.
class Target : public TestEntity {
public:
    explicit Target(bool flashesWhenHit = true) : flashesWhenHit(flashesWhenHit) {}
    void TakeDamage(float amount, int dir, Entity* source) override
    {
        Entity::TakeDamage(amount, dir, source);
        amounts.push_back(amount);
        directions.push_back(dir);
        if (flashesWhenHit)
            StartFlashing(0.5f);
    }
    bool flashesWhenHit;
    std::vector<float> amounts;
    std::vector<int> directions;
};

// Stands in for the hero that carries the sword.
class Holder : public TestEntity {
public:
    Holder() { isPlayer = true; }
};

struct HitMessage {
    uint32_t uid = 0;
    Vec2 position;
    float amount = 0, flashTime = 0;
    int32_t direction = 0, pushDistance = 0;
};

HitMessage DecodeHit(const RecordingSession::Sent& sent)
{
    HitMessage hit;
    EXPECT_EQ(sent.type, MSG_HIT);
    EXPECT_EQ(sent.bytes.size(), 28u);
    NetStream s(64);
    s.Write(sent.bytes.data(), uint8_t(sent.bytes.size()));
    EXPECT_TRUE(s.ReadU32(hit.uid) && s.ReadF32(hit.position.x) && s.ReadF32(hit.position.y) &&
                s.ReadF32(hit.amount) && s.ReadF32(hit.flashTime) && s.ReadI32(hit.direction) &&
                s.ReadI32(hit.pushDistance));
    return hit;
}

class SwordTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        holder = new Holder();
        world->AddEntity(holder, false);
        holder->SetPosition(Vec2(3840.0f, 2656.0f));
    }

    Sword* AddSword(int grade, NetSession* session = nullptr)
    {
        Sword* sword = new Sword(session, grade, holder);
        world->AddEntity(sword, true);
        return sword;
    }

    template <class T>
    T* Add(T* e, Vec2 at)
    {
        world->AddEntity(e, false);
        e->SetPosition(at);
        return e;
    }

    Holder* holder = nullptr;
};

}  // namespace

TEST_F(SwordTest, ASwordWaitsHiddenAndNamesItselfSword)
{
    for (int grade : {0, 1, 2, 3, -1}) {
        EntityRef<Sword> sword = new Sword(nullptr, grade, holder);
        EXPECT_STREQ(sword->GetName(), "Sword");
        EXPECT_EQ(sword->swordType, grade);
        EXPECT_FALSE(sword->IsVisible());
        EXPECT_TRUE(sword->IsTransient());
        EXPECT_TRUE(sword->IsLocalOnly());
        EXPECT_EQ(sword->frameBase, 0);
        EXPECT_EQ(sword->GetOwner(), holder);
        EXPECT_EQ(sword->GetState(), 1);
    }
    EXPECT_STREQ(SwordSpriteName(0), "WoodSword");
    EXPECT_STREQ(SwordSpriteName(1), "SteelSword");
    EXPECT_STREQ(SwordSpriteName(2), "MagicSword");
    EXPECT_EQ(SwordSpriteName(3), nullptr);
    EXPECT_EQ(SwordSpriteName(-1), nullptr);

    // It ignores every event.
    Sword* sword = AddSword(0);
    int column = 3, row = 4;
    sword->SendEvent(11, &column, &row);
    EXPECT_EQ(sword->GetPosition(), Vec2(0.0f, 0.0f));
}

TEST_F(SwordTest, ASwingStandsOutThenRetractsInThreeTicks)
{
    Sword* sword = AddSword(0);
    const Vec2 from = holder->GetPosition();
    sword->Swing(from, DIR_DOWN);
    EXPECT_TRUE(sword->IsVisible());
    EXPECT_TRUE(sword->IsExtended());
    EXPECT_EQ(sword->frameBase, DIR_DOWN);
    EXPECT_EQ(sword->GetDirection(), DIR_DOWN);
    EXPECT_FLOAT_EQ(sword->reach, 27.0f);
    EXPECT_EQ(sword->GetPosition(), from + Vec2(0.0f, 27.0f));

    // 0.08 s fully out: five ticks at 1/60 s, the last one ending it.
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_GT(sword->swingTime, 0.0f);
        RunFrames(1);
        EXPECT_FLOAT_EQ(sword->reach, 27.0f);
    }
    EXPECT_FLOAT_EQ(sword->swingTime, 0.0f);
    EXPECT_TRUE(sword->IsVisible());

    const float reaches[3] = {17.0f, 7.0f, 0.0f};
    for (float reach : reaches) {
        RunFrames(1);
        EXPECT_FLOAT_EQ(sword->reach, reach);
        EXPECT_EQ(sword->GetPosition(), from + Vec2(0.0f, reach));
    }
    EXPECT_FALSE(sword->IsVisible());
    RunFrames(3);
    EXPECT_FLOAT_EQ(sword->reach, 0.0f);
    EXPECT_FALSE(sword->IsVisible());

    // Each facing has its own frame and offset; an unknown one stays on the hero.
    const Vec2 offsets[4] = {{0.0f, -27.0f}, {0.0f, 27.0f}, {-27.0f, 0.0f}, {27.0f, 0.0f}};
    for (int d = DIR_UP; d <= DIR_RIGHT; ++d) {
        sword->Swing(from, d);
        EXPECT_EQ(sword->frameBase, d);
        EXPECT_EQ(sword->GetPosition(), from + offsets[d]);
    }
    sword->Swing(from, 6);
    EXPECT_EQ(sword->GetPosition(), from);
    EXPECT_EQ(sword->frameBase, 0);
    RunFrames(8);
    EXPECT_EQ(sword->GetPosition(), from);
    EXPECT_FALSE(sword->IsVisible());
}

TEST_F(SwordTest, OnlyARetractingSwordFollowsItsOwner)
{
    Sword* sword = AddSword(1);
    sword->Swing(holder->GetPosition(), DIR_RIGHT);
    const Vec2 out = sword->GetPosition();
    for (int tick = 0; tick < 5; ++tick) {
        holder->Move(Vec2(0.0f, 3.0f));
        RunFrames(1);
        EXPECT_EQ(sword->GetPosition(), out);
    }
    holder->Move(Vec2(0.0f, 3.0f));
    RunFrames(1);
    EXPECT_EQ(sword->GetPosition(), holder->GetPosition() + Vec2(17.0f, 0.0f));
    holder->Move(Vec2(-5.0f, 0.0f));
    RunFrames(1);
    EXPECT_EQ(sword->GetPosition(), holder->GetPosition() + Vec2(7.0f, 0.0f));

    // A new swing restarts the extended phase wherever the sword was.
    sword->Swing(holder->GetPosition(), DIR_UP);
    RunFrames(1);
    EXPECT_FLOAT_EQ(sword->reach, 27.0f);
    EXPECT_EQ(sword->GetPosition(), holder->GetPosition() + Vec2(0.0f, -27.0f));
}

TEST_F(SwordTest, TheHostStrikesWhatTheShrunkenBoxesOverlapAndTellsThePeer)
{
    RecordingSession session(true);
    Sword* sword = AddSword(1, &session);
    const Vec2 tip = holder->GetPosition() + Vec2(27.0f, 0.0f);
    // Shrunk by 7 on each side the boxes are 18 wide: 18 apart they only touch.
    Target* missed = Add(new Target(), tip + Vec2(18.0f, 0.0f));
    Target* struck = Add(new Target(), tip + Vec2(17.0f, 5.0f));
    struck->SetUID(42);
    sword->Swing(holder->GetPosition(), DIR_RIGHT);
    RunFrames(1);

    EXPECT_TRUE(missed->amounts.empty());
    ASSERT_EQ(struck->amounts.size(), 1u);
    EXPECT_FLOAT_EQ(struck->amounts[0], 2.0f);
    EXPECT_EQ(struck->directions[0], DIR_RIGHT);
    ASSERT_EQ(session.sent.size(), 1u);
    HitMessage hit = DecodeHit(session.sent[0]);
    EXPECT_EQ(hit.uid, 42u);
    EXPECT_EQ(hit.position, struck->GetPosition());
    EXPECT_FLOAT_EQ(hit.amount, 2.0f);
    EXPECT_FLOAT_EQ(hit.flashTime, 0.5f);
    EXPECT_EQ(hit.direction, DIR_RIGHT);
    EXPECT_EQ(hit.pushDistance, 0);

    // Flashing after the blow, it is not struck again.
    RunFrames(3);
    EXPECT_EQ(struck->amounts.size(), 1u);
    EXPECT_EQ(session.sent.size(), 1u);
}

TEST_F(SwordTest, AnEntityThatDoesNotFlashIsStruckEveryTick)
{
    RecordingSession session(true);
    Sword* sword = AddSword(2, &session);
    Target* stubborn = Add(new Target(false), holder->GetPosition() + Vec2(0.0f, -27.0f));
    sword->Swing(holder->GetPosition(), DIR_UP);
    RunFrames(3);
    ASSERT_EQ(stubborn->amounts.size(), 3u);
    EXPECT_FLOAT_EQ(stubborn->amounts[2], 3.0f);
    EXPECT_EQ(session.sent.size(), 3u);
    EXPECT_FLOAT_EQ(stubborn->health, -9.0f);
}

TEST_F(SwordTest, PlayersAndShieldedEntitiesAreNeverStruck)
{
    RecordingSession session(true);
    Sword* sword = AddSword(0, &session);
    const Vec2 tip = holder->GetPosition() + Vec2(-27.0f, 0.0f);
    Target* flashing = Add(new Target(), tip);
    flashing->StartFlashing(-1.0f);
    Target* invulnerable = Add(new Target(), tip);
    invulnerable->invulnerable = true;
    Target* untargetable = Add(new Target(), tip);
    untargetable->untargetable = true;
    EntityRef<Tavin> otherHero = new Tavin("other", nullptr, &session);
    Add(otherHero.get(), tip);

    sword->Swing(holder->GetPosition(), DIR_LEFT);
    RunFrames(8);
    EXPECT_TRUE(flashing->amounts.empty());
    EXPECT_TRUE(invulnerable->amounts.empty());
    EXPECT_TRUE(untargetable->amounts.empty());
    EXPECT_FLOAT_EQ(otherHero->health, 3.0f);
    EXPECT_FALSE(otherHero->flashing);
    // The owner stands inside the retracting sword and is not struck either.
    EXPECT_TRUE(session.sent.empty());
}

TEST_F(SwordTest, AClientSwordMovesButStrikesNothing)
{
    RecordingSession client(false);
    Sword* sword = AddSword(0, &client);
    Target* enemy = Add(new Target(), holder->GetPosition() + Vec2(27.0f, 0.0f));
    sword->Swing(holder->GetPosition(), DIR_RIGHT);
    RunFrames(8);
    EXPECT_TRUE(enemy->amounts.empty());
    EXPECT_TRUE(client.sent.empty());
    EXPECT_FLOAT_EQ(sword->reach, 0.0f);
    EXPECT_EQ(sword->GetPosition(), holder->GetPosition());

    // Without a session the game is its own host.
    Sword* alone = AddSword(0);
    alone->Swing(holder->GetPosition(), DIR_RIGHT);
    RunFrames(1);
    EXPECT_EQ(enemy->amounts.size(), 1u);
}

TEST_F(SwordTest, AHiddenSwordDoesNothing)
{
    RecordingSession session(true);
    Sword* sword = AddSword(0, &session);
    Target* enemy = Add(new Target(), Vec2(0.0f, 0.0f));
    sword->SetPosition(Vec2(0.0f, 0.0f));
    RunFrames(5);
    EXPECT_TRUE(enemy->amounts.empty());
    EXPECT_TRUE(session.sent.empty());
    EXPECT_EQ(sword->GetPosition(), Vec2(0.0f, 0.0f));
}

TEST_F(SwordTest, TheHerosSwordStrikesOnlyOnTheHost)
{
    for (bool host : {true, false}) {
        SCOPED_TRACE(host);
        RecordingSession session(host);
        EntityRef<Tavin> hero = new Tavin("hero", nullptr, &session);
        world->AddEntity(hero.get(), false);
        int column = 120, row = 83;
        hero->SendEvent(Tavin::EVENT_PLACE, &column, &row);
        hero->pendingCurrency = 0;
        Target* enemy = Add(new Target(), hero->GetPosition() + Vec2(0.0f, -30.0f));
        enemy->SetUID(77);
        hero->SendEvent(Tavin::EVENT_SWORD, nullptr, nullptr);
        RunFrames(1);
        EXPECT_EQ(enemy->amounts.size(), host ? 1u : 0u);
        EXPECT_EQ(session.sent.size(), host ? 1u : 0u);
        world->GetEntityList().Clear();
        hero.reset();
    }
}
