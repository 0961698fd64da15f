#include <cmath>
#include <set>

#include "items/DeathSpark.h"
#include "tests/enemies/EnemyTestSupport.h"
#include "tests/player/SoundProbe.h"

using KrillopTest = EnemyTest;

TEST_F(KrillopTest, SpawnCloudThenTheWalkingLookThenADecision)
{
    const int walkBase[4] = {9, 7, 3, 5};  // up, down, left, right
    for (Kind kind : {BLUE_KRILLOP, RED_KRILLOP, RED_GORLAK, BLUE_GORLAK}) {
        SCOPED_TRACE(KindName(kind));
        std::set<float> speeds, tenths;
        for (int i = 0; i < 40; ++i) {
            EntityRef<Enemy> e = NewEnemy(kind, &host);
            speeds.insert(e->speed);
            tenths.insert(std::round(e->spawnDelay * 100.0f) / 10.0f);
        }
        const bool krillop = kind == BLUE_KRILLOP || kind == RED_KRILLOP;
        EXPECT_EQ(speeds, (krillop ? std::set<float>{50.0f, 100.0f} : std::set<float>{40.0f, 60.0f}));
        EXPECT_EQ(tenths, (std::set<float>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

        Enemy* quick = Add(kind, 114, 80);
        quick->spawnDelay = 0.1f;
        Enemy* e = Add(kind, 118, 80);
        e->spawnDelay = 0.505f;
        std::vector<int> drawn, expected(18, 0);
        expected.insert(expected.end(), 6, 1);
        expected.insert(expected.end(), 6, 2);
        for (int f = 0; f < 30; ++f) {
            RunFrames(1);
            drawn.push_back(e->GetState() == 3 ? e->frameBase + int(e->frame) : -1);
            EXPECT_TRUE(f > 0 || quick->frameBase + int(quick->frame) == 2);
        }
        EXPECT_EQ(drawn, expected);
        for (int state : {1, 4}) {
            RunFrames(1);
            EXPECT_EQ(e->GetState(), state);
        }
        RunFrames(1);
        EXPECT_TRUE(e->GetState() == 5 || e->GetState() == 8) << e->GetState();
        EXPECT_EQ(e->frameBase, walkBase[e->GetDirection()]);
        for (int d = 0; d < 4; ++d) {
            e->SetDirection(d);
            EXPECT_EQ(e->frameBase, walkBase[d]);
        }
    }
}

TEST_F(KrillopTest, WalledInTheBlueKindsShootEveryHalfSecondAndTheRedNever)
{
    for (Kind kind : {BLUE_KRILLOP, BLUE_GORLAK, RED_KRILLOP, RED_GORLAK}) {
        SCOPED_TRACE(KindName(kind));
        host.sent.clear();
        for (Vec2 wall : {Vec2(116, 79), Vec2(116, 81), Vec2(115, 80), Vec2(117, 80)})
            SetTile(int(wall.x), int(wall.y), 97);  // stops walkers, not their shots
        Enemy* e = Add(kind, 116, 80);
        const Vec2 start = e->GetPosition();
        std::vector<int> shots;
        for (int f = 0, previous = e->GetState(); f < 180; ++f) {
            const size_t seen = host.sent.size();
            RunFrames(1);
            const int state = e->GetState(), sent = int(host.sent.size() - seen);
            // One message per random draw: three or four in a walled-in decision.
            EXPECT_TRUE(previous != 4 || state != 8 || sent == 3 || sent == 4) << sent;
            if (previous == 8 && state == 4) {
                shots.push_back(f);
                EXPECT_EQ(Shots<Projectile>(0).size(), 1u);
            }
            previous = state;
        }
        EXPECT_EQ(e->GetPosition(), start);
        for (const auto& m : host.sent)
            EXPECT_TRUE(m.type == 9 && m.bytes.size() == 8 && Field<uint32_t>(m.bytes, 0) == e->GetUID());
        const bool blue = kind == BLUE_KRILLOP || kind == BLUE_GORLAK;
        EXPECT_EQ(shots.size() >= 5, blue);
        EXPECT_EQ(host.sent.empty(), !blue);
        for (size_t i = 1; i < shots.size(); ++i) EXPECT_NEAR(shots[i] - shots[i - 1], 31.5, 0.5);
        world->GetEntityList().Clear();
    }
}

TEST_F(KrillopTest, InTheOpenTheyWalkTileByTileInsideTheScreenAndAttackAsTheirColourSays)
{
    const Vec2 corner(112.0f * 32.0f, 77.0f * 32.0f), step[4] = {{0, -32}, {0, 32}, {-32, 0}, {32, 0}};
    // Red: after one step in ten. Blue: on every random turn, one in five and more at the edges.
    const struct {
        Kind kind;
        double minShare, maxShare;
    } kinds[] = {{RED_KRILLOP, 0.065, 0.14}, {BLUE_KRILLOP, 0.19, 0.31}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(KindName(k.kind));
        SeedSoThat([] { return Draw(4) < 3; });
        Enemy* e = Add(k.kind, 120, 82);
        ASSERT_FLOAT_EQ(e->speed, 50.0f);
        int decisions = 0, attacks = 0, previous = e->GetState();
        Vec2 before = e->GetPosition();
        for (int f = 0; f < 24000; ++f) {
            const size_t seen = host.sent.size();
            RunFrames(1);
            const Vec2 p = e->GetPosition(), moved = p - before;
            const int state = e->GetState();
            const float distance = std::fabs(moved.x) + std::fabs(moved.y), perTick = 50.0f / 60.0f;
            ASSERT_TRUE(p.x >= corner.x + 32 && p.x <= corner.x + 480 && p.y >= corner.y + 32 &&
                        p.y <= corner.y + 320);
            ASSERT_TRUE(previous != 5 || std::fabs(distance - perTick) < 1e-3f ||
                        (state == 4 && distance < perTick && std::fmod(p.x + p.y, 32.0f) == 0.0f));
            decisions += previous == 4 && state != 4;
            attacks += previous == 4 && state == 8;
            if (k.kind == RED_KRILLOP && host.sent.size() > seen) {
                // The red one attacks in the direction of the step it has just chosen.
                const int dir = Field<int32_t>(host.sent.back().bytes, 4);
                EXPECT_TRUE(state == 8 && e->GetDirection() == dir && e->destination == p + step[dir]);
            }
            previous = state;
            before = p;
        }
        EXPECT_GT(decisions, 500);
        EXPECT_GE(double(attacks) / decisions, k.minShare);
        EXPECT_LE(double(attacks) / decisions, k.maxShare);
        world->GetEntityList().Clear();
    }
}

TEST_F(KrillopTest, AStunHoldsTwoSecondsWithoutFlashingAndAHitKnocksBackOneTile)
{
    AddHero();
    for (Kind kind : {BLUE_KRILLOP, RED_KRILLOP, SKELETON, SNAKE, RED_GORLAK, BLUE_GORLAK}) {
        SCOPED_TRACE(KindName(kind));
        Enemy* e = Add(kind, 116, 80);
        e->inView = true;
        const Vec2 at = e->GetPosition();
        const float health = e->health;
        SoundProbe::StopAll();
        e->TakeDamage(-1.0f, 3, nullptr);
        EXPECT_FLOAT_EQ(e->health, health);
        EXPECT_TRUE(SoundProbe::IsPlaying(10));
        if (kind == RED_GORLAK || kind == BLUE_GORLAK) {
            // A Gorlak is never stunned: it flashes and steps back instead.
            EXPECT_NE(e->GetState(), 10);
            EXPECT_FLOAT_EQ(e->GetFlashTime(), 0.5f);
            EXPECT_EQ(e->GetPosition(), at + Vec2(32.0f, 0.0f));
            e->Dead();
            continue;
        }
        EXPECT_EQ(e->GetState(), 10);
        EXPECT_FALSE(e->IsFlashing());
        RunFrames(60);
        e->TakeDamage(0.0f, 3, nullptr);  // starts the two seconds again
        RunFrames(90);
        EXPECT_EQ(e->GetState(), 10);
        EXPECT_EQ(e->GetPosition(), at);

        e->TakeDamage(1.0f, 2, nullptr);
        EXPECT_EQ(e->GetState(), health == 1.0f ? 0 : 10);
        if (health == 1.0f)
            continue;
        EXPECT_EQ(e->GetPosition(), at - Vec2(32.0f, 0.0f));
        EXPECT_FLOAT_EQ(e->GetFlashTime(), 0.5f);
        EXPECT_FLOAT_EQ(e->health, health - 1.0f);
        const float stunned = e->stateTime;
        e->TakeDamage(-1.0f, 3, nullptr);  // while it flashes, even a stun does nothing
        EXPECT_FLOAT_EQ(e->stateTime, stunned);
        EXPECT_NEAR(FramesIn(e, 10, 60), 30, 1);
        EXPECT_EQ(e->GetState(), 5);
        e->Dead();
    }
}

TEST_F(KrillopTest, EachKindDiesFromItsNumberOfHitsHalfASecondApartLeavingASpark)
{
    AddHero();
    const std::pair<Kind, int> hitsToKill[] = {{BLUE_KRILLOP, 2}, {RED_KRILLOP, 1}, {RED_GORLAK, 2},
                                               {BLUE_GORLAK, 3},  {NERRIT, 2},      {BAT, 1},
                                               {SKELETON, 2},     {SNAKE, 1}};
    for (const auto& [kind, hits] : hitsToKill) {
        SCOPED_TRACE(KindName(kind));
        host.sent.clear();
        EntityRef<Enemy> e = Add(kind, 116, 80);
        e->inView = true;
        for (int hit = 1; hit <= hits; ++hit) {
            ASSERT_NE(e->GetState(), 0) << "hit " << hit;
            SoundProbe::StopAll();
            e->TakeDamage(1.0f, -1, nullptr);
            const float left = e->health;
            e->TakeDamage(1.0f, -1, nullptr);  // ignored while it flashes
            EXPECT_FLOAT_EQ(e->health, left);
            RunFrames(hit < hits ? 31 : 0);
        }
        EXPECT_EQ(e->GetState(), 0);
        EXPECT_TRUE(SoundProbe::IsPlaying(13));
        const std::vector<DeathSpark*> sparks = Live<DeathSpark>();
        EXPECT_TRUE(!sparks.empty() && sparks.back()->GetPosition() == e->GetPosition());
        e->Dead();  // a second death tells the peer nothing more
        ASSERT_EQ(Sent(host, 8).size(), 1u);
        EXPECT_EQ(Field<uint32_t>(Sent(host, 8)[0], 0), e->GetUID());
    }
}
