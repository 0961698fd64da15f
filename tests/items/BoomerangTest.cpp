#include <cmath>
#include <cstring>

#include "net/GameMessages.h"
#include "net/NetStream.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

// An enemy that records the amounts it is hit with.
class StunProbe : public TestEntity {
public:
    explicit StunProbe(uint32_t id)
    {
        isEnemy = true;
        SetUID(id);
    }
    void TakeDamage(float amount, int, Entity*) override { amounts.push_back(amount); }
    std::vector<float> amounts;
};

struct Flight {
    int frames = 0;
    float farthest = 0.0f;       // furthest offset from the throw along x
    float turnDistance = -1.0f;  // outbound distance when it turned
    float turnOffset = -1.0f;
};

class BoomerangTest : public TavinTest {
protected:
    // Runs frames while the boomerang flies, at most `limit`.
    Flight FlyOut(Boomerang* b, float fromX, int limit = 300)
    {
        Flight f;
        while (b->IsFlying() && f.frames < limit) {
            RunFrames(1);
            ++f.frames;
            const float offset = b->GetPosition().x - fromX;
            f.farthest = std::max(f.farthest, offset);
            if (b->IsReturning() && f.turnDistance < 0.0f) {
                f.turnDistance = b->GetDistance();
                f.turnOffset = offset;
            }
        }
        return f;
    }
    static std::vector<RecordingSession::Sent> Hits(const RecordingSession& s)
    {
        std::vector<RecordingSession::Sent> hits;
        for (const auto& m : s.sent)
            if (m.type == MSG_HIT)
                hits.push_back(m);
        return hits;
    }
    static bool Finite(Vec2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }
};

TEST_F(BoomerangTest, AHeroBringsAPlainAndAMagicBoomerangAndTakesThemAlong)
{
    EntityRef<Boomerang> kept;
    {
        EntityRef<Tavin> hero = new Tavin("Ada", nullptr, nullptr);
        ASSERT_EQ(world->GetEntityList().Count(), Tavin::kSwordCount + Tavin::kBoomerangCount);
        for (int i = 0; i < Tavin::kBoomerangCount; ++i) {
            Boomerang* b = hero->GetBoomerang(i);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->IsMagic(), i == 1);
            EXPECT_STREQ(b->GetName(), "Boomerang");
            EXPECT_EQ(b->GetOwner(), hero.get());
            EXPECT_EQ(world->GetEntityList().Get(Tavin::kSwordCount + i), b);
            EXPECT_FALSE(b->IsVisible());
            EXPECT_TRUE(b->IsUntargetable() && b->IsTransient() && b->IsLocalOnly());
        }
        EXPECT_EQ(hero->GetBoomerang(2), nullptr);
        EXPECT_EQ(hero->GetBoomerang(-1), nullptr);
        kept = hero->GetBoomerang(1);
    }
    // The hero is gone: its boomerangs left the world and no longer point at it.
    EXPECT_EQ(world->GetEntityList().Count(), 0);
    EXPECT_EQ(kept->RefCount(), 1);
    EXPECT_EQ(kept->GetOwner(), nullptr);
    kept->Throw(DIR_RIGHT, Boomerang::kThrowSpeed);
    kept->Tick(1.0f / 60.0f);
    kept->Dead();
    EXPECT_FALSE(kept->IsVisible());
    EXPECT_EQ(kept->GetPosition(), Vec2(0.0f, 0.0f));
}

TEST_F(BoomerangTest, APlainBoomerangTurnsPastItsRangeOvershootsAndIsCaught)
{
    Tavin* hero = AddHero();
    Boomerang* b = hero->GetBoomerang(0);
    const Vec2 from = hero->GetPosition();
    hero->itemReady = false;
    b->Throw(DIR_RIGHT, Boomerang::kThrowSpeed);
    EXPECT_TRUE(b->IsVisible());
    EXPECT_EQ(b->GetPosition(), from);
    RunFrames(1);
    EXPECT_NEAR(b->GetPosition().x - from.x, 5.5f, 0.01f);
    const Flight f = FlyOut(b, from.x);
    EXPECT_FALSE(b->IsFlying());
    EXPECT_TRUE(hero->itemReady);
    // Turned a step past 150 pixels, then coasted on while braking.
    EXPECT_GT(f.turnDistance, Boomerang::kRange);
    EXPECT_LE(f.turnDistance, Boomerang::kRange + 5.6f);
    EXPECT_GT(f.farthest, f.turnDistance + 20.0f);
    EXPECT_LT(f.farthest, f.turnDistance + 30.0f);
    // Caught within 16 pixels of the hero, on the line it flew.
    EXPECT_LT(std::fabs(b->GetPosition().x - from.x), Boomerang::kCatchDistance);
    EXPECT_EQ(b->GetPosition().y, from.y);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_BOOMERANG));
    // A caught boomerang stays where it was caught.
    const Vec2 caught = b->GetPosition();
    RunFrames(30);
    EXPECT_EQ(b->GetPosition(), caught);
    EXPECT_FALSE(b->IsVisible());
}

TEST_F(BoomerangTest, AMagicBoomerangHasNoRangeAndTurnsAtTheScreenEdge)
{
    // The hero stands 256 pixels from the left of its screen; the edge zone
    // begins 480 pixels in.
    Tavin* hero = AddHero();
    Boomerang* b = hero->GetBoomerang(1);
    const Vec2 from = hero->GetPosition();
    b->Throw(DIR_RIGHT, Boomerang::kThrowSpeed);
    const Flight f = FlyOut(b, from.x);
    EXPECT_FALSE(b->IsFlying());
    EXPECT_GT(f.turnDistance, Boomerang::kRange);
    EXPECT_GT(f.farthest, 480.0f - 256.0f);
    EXPECT_LE(f.farthest, 480.0f - 256.0f + 5.6f);
    // Stopped dead and came straight back: no coasting past the edge.
    EXPECT_LT(f.farthest - f.turnOffset, 1.0f);
    EXPECT_TRUE(hero->itemReady);

    // Diagonals fly at the same speed as straight throws.
    b->Throw(5, Boomerang::kThrowSpeed);
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
    StunProbe* first = new StunProbe(50);
    StunProbe* second = new StunProbe(51);
    TestEntity* bystander = new TestEntity();
    for (TestEntity* e : {static_cast<TestEntity*>(first), static_cast<TestEntity*>(second), bystander}) {
        e->SetPosition(from + Vec2(64.0f, 0.0f));
        world->AddEntity(e, false);
    }
    Boomerang* b = hero->GetBoomerang(0);
    b->Throw(DIR_RIGHT, Boomerang::kThrowSpeed);
    int frames = 0;
    while (!b->IsReturning() && frames < 60) {
        RunFrames(1);
        ++frames;
    }
    ASSERT_TRUE(b->IsReturning());
    // Both touched in the same tick, each stunned once, and the peer told.
    EXPECT_EQ(first->amounts, std::vector<float>{-1.0f});
    EXPECT_EQ(second->amounts, std::vector<float>{-1.0f});
    const auto hits = Hits(session);
    ASSERT_EQ(hits.size(), 2u);
    uint32_t uid;
    float amount;
    std::memcpy(&uid, hits[1].bytes.data(), 4);
    std::memcpy(&amount, hits[1].bytes.data() + 12, 4);
    EXPECT_EQ(uid, 51u);
    EXPECT_FLOAT_EQ(amount, -1.0f);
    // Turned at once rather than after its range.
    EXPECT_LT(b->GetDistance(), Boomerang::kRange);
    EXPECT_LE(b->speed, 0.0f);

    FlyOut(b, from.x);
    EXPECT_FALSE(b->IsFlying());
    // Hidden in the hero's hand it touches nobody.
    first->amounts.clear();
    first->SetPosition(b->GetPosition());
    const size_t sent = Hits(session).size();
    RunFrames(10);
    EXPECT_TRUE(first->amounts.empty());
    EXPECT_EQ(Hits(session).size(), sent);
}

TEST_F(BoomerangTest, AClientCopyMovesButDecidesNothing)
{
    RecordingSession client(false);
    Tavin* hero = AddHero(&client);
    hero->itemReady = false;
    StunProbe* enemy = new StunProbe(60);
    enemy->SetPosition(hero->GetPosition() + Vec2(64.0f, 0.0f));
    world->AddEntity(enemy, false);
    Boomerang* b = hero->GetBoomerang(0);
    b->Throw(DIR_RIGHT, Boomerang::kThrowSpeed);
    RunFrames(60);
    // Past its range, past the screen edge and through an enemy, still outbound.
    EXPECT_FALSE(b->IsReturning());
    EXPECT_TRUE(b->IsVisible());
    EXPECT_NEAR(b->GetPosition().x - hero->GetPosition().x, 330.0f, 0.5f);
    EXPECT_TRUE(enemy->amounts.empty());
    EXPECT_TRUE(Hits(client).empty());
    // Told to come home it hovers at its owner: only the host catches it.
    b->Return();
    b->speed = -Boomerang::kThrowSpeed;
    RunFrames(90);
    EXPECT_TRUE(b->IsVisible());
    EXPECT_LT(std::fabs(b->GetPosition().x - hero->GetPosition().x), Boomerang::kCatchDistance);
    EXPECT_FALSE(hero->itemReady);
}

TEST_F(BoomerangTest, DirectionlessFlightsStayFiniteAndComeHome)
{
    Tavin* hero = AddHero();
    Boomerang* b = hero->GetBoomerang(0);
    // A direction without a vector comes straight back to the hand.
    hero->itemReady = false;
    b->Throw(9, Boomerang::kThrowSpeed);
    RunFrames(1);
    EXPECT_TRUE(Finite(b->GetPosition()));
    EXPECT_FALSE(b->IsVisible());
    EXPECT_TRUE(hero->itemReady);
    // Returning from exactly the owner's place.
    hero->itemReady = false;
    b->Throw(DIR_UP, 0.0f);
    b->Return();
    RunFrames(1);
    EXPECT_EQ(b->GetPosition(), hero->GetPosition());
    EXPECT_TRUE(hero->itemReady);

    // A client is not told of the catch by the boomerang; it still stays put.
    RecordingSession client(false);
    Tavin* other = AddHero(&client, 100, 80);
    Boomerang* copy = other->GetBoomerang(1);
    copy->Throw(-3, Boomerang::kThrowSpeed);
    RunFrames(20);
    EXPECT_TRUE(Finite(copy->GetPosition()));
    EXPECT_EQ(copy->GetPosition(), other->GetPosition());

    // Dying hands the item back once.
    hero->itemReady = false;
    b->Dead();
    EXPECT_TRUE(hero->itemReady);
    hero->itemReady = false;
    b->Dead();
    EXPECT_FALSE(hero->itemReady);
}

TEST_F(BoomerangTest, TheHeroRecordCarriesTheHeldBoomerangToAClient)
{
    constexpr uint32_t kRecordBytes = 24 + 5 * 4 + 2 * 4;
    Tavin* host = AddHero();
    host->GetBoomerang(1)->SetPosition(Vec2(3900.0f, 2600.0f));
    host->boomerangIndex = 1;
    EXPECT_EQ(host->HeldBoomerangPosition(), Vec2(3900.0f, 2600.0f));
    NetStream record(kRecordBytes);
    ASSERT_TRUE(host->WriteState(&record));
    float written[2];
    std::memcpy(written, record.GetData() + 44, 8);
    EXPECT_EQ(Vec2(written[0], written[1]), Vec2(3900.0f, 2600.0f));

    RecordingSession client(false);
    Tavin* copy = AddHero(&client, 100, 80);
    auto readInto = [&](Tavin* reader, int index) {
        reader->boomerangIndex = index;
        NetStream fresh(kRecordBytes);
        fresh.Write(record.GetData(), uint8_t(kRecordBytes));
        return reader->ReadState(&fresh);
    };
    const Vec2 untouched = copy->GetBoomerang(1)->GetPosition();
    // Nothing in hand, or a hand the hero does not have: nothing moves.
    for (int index : {-1, 2, 77}) {
        ASSERT_TRUE(readInto(copy, index));
        EXPECT_EQ(copy->GetBoomerang(1)->GetPosition(), untouched);
        EXPECT_EQ(copy->GetBoomerang(0)->GetPosition(), Vec2(0.0f, 0.0f));
    }
    ASSERT_TRUE(readInto(copy, 1));
    EXPECT_EQ(copy->GetBoomerang(1)->GetPosition(), Vec2(3900.0f, 2600.0f));

    // The host flies its own copies and ignores the place.
    Tavin* hostCopy = AddHero(nullptr, 100, 80);
    ASSERT_TRUE(readInto(hostCopy, 1));
    EXPECT_EQ(hostCopy->GetBoomerang(1)->GetPosition(), Vec2(0.0f, 0.0f));

    host->boomerangIndex = -1;
    EXPECT_EQ(host->HeldBoomerangPosition(), Vec2(Tavin::kNoBoomerang, Tavin::kNoBoomerang));
}

}  // namespace
