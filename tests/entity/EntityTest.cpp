#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "net/GameMessages.h"
#include "tests/support/TestSupport.h"

namespace {

class EntityTest : public WorldTest {
protected:
    EntityRef<TestEntity> Make(NetSession* session = nullptr) { return new TestEntity(session); }
    // Places the entity with a pending push.
    static void PushFrom(TestEntity* e, Vec2 at, int distance, int dir)
    {
        e->SetPosition(at);
        e->SetPushDistance(distance);
        e->SetPushDirection(dir);
    }
};

}  // namespace

TEST_F(EntityTest, TileAndScreenFollowTheBoxCentreRoundingDown)
{
    const struct {
        Vec2 position, tile, screen;
    } rows[] = {{{47.9f, 0}, {1, 0}, {0, 0}},
                {{-1, -1}, {0, 0}, {0, 0}},
                {{-17, 0}, {-1, 0}, {-1, 0}},
                {{512, 352}, {16, 11}, {1, 1}},
                {{495, 352}, {15, 11}, {0, 1}}};
    auto e = Make();
    for (const auto& row : rows) {
        e->SetPosition(row.position);
        EXPECT_EQ(e->GetTile(), row.tile) << row.position.x << ", " << row.position.y;
        EXPECT_EQ(e->GetScreen(), row.screen) << row.position.x << ", " << row.position.y;
    }
    e->SetPosition(Vec2(512.0f, 352.0f));
    e->Move(Vec2(-17.0f, 0.0f));
    EXPECT_EQ(e->GetTile(), Vec2(15, 11));
    EXPECT_EQ(e->GetScreen(), Vec2(0, 1));
    // A tile position sets the pixels but leaves the screen alone.
    e->SetTilePosition(Vec2(40, 2));
    EXPECT_EQ(e->GetPosition(), Vec2(1280, 64));
    EXPECT_EQ(e->GetScreen(), Vec2(0, 1));
}

TEST_F(EntityTest, AnimationAdvancesOnlyWhenAskedAndWrapsToZeroAndFlashingFlickersAndEnds)
{
    auto e = Make();
    e->frameCount = 2.0f;
    e->frameRate = 10.0f;
    e->Tick(0.15f);
    EXPECT_EQ(e->frame, 0.0f);
    e->Animate();
    e->Tick(0.15f);
    EXPECT_FLOAT_EQ(e->frame, 1.5f);
    e->Animate();
    e->Tick(0.15f);
    EXPECT_EQ(e->frame, 0.0f);  // 3.0 wraps to 0, not to 1
    EXPECT_FALSE(e->animate);

    e->StartFlashing(0.0f);
    e->Tick(1.0f / 60.0f);
    EXPECT_FALSE(e->flashing);
    EXPECT_TRUE(e->visible);
    e->StartFlashing(-1.0f);
    bool sawHidden = false;
    for (int i = 0; i < 200; ++i) {
        e->Tick(0.1f);
        sawHidden = sawHidden || !e->visible;
    }
    EXPECT_TRUE(e->flashing && sawHidden);
    e->StartFlashing(0.05f);
    e->Tick(1.0f / 60.0f);
    EXPECT_TRUE(e->flashing);
    for (int i = 0; i < 3; ++i) e->Tick(1.0f / 60.0f);
    EXPECT_FALSE(e->flashing);
    EXPECT_TRUE(e->visible);
}

TEST_F(EntityTest, PushesMoveSixteenPixelsATickAndStopAtWallsAndScreenEdges)
{
    auto e = Make();
    PushFrom(e.get(), Vec2(100.0f, 100.0f), 40, DIR_RIGHT);
    for (float x : {116.0f, 132.0f, 140.0f}) {
        e->Tick(0.016f);
        EXPECT_EQ(e->GetPosition().x, x);
    }
    EXPECT_EQ(e->pushDistance, 0);
    e->Tick(0.016f);
    EXPECT_EQ(e->pushDirection, DIR_NONE);
    e->SetPushDistance(8);
    e->SetPushDirection(DIR_DOWN);
    e->Tick(0.016f);
    EXPECT_EQ(e->GetPosition().y, 108.0f);

    // The third pixel up lands on a rock (row 3 of column 4 holds tile 1).
    SetTile(4, 3, 1);
    PushFrom(e.get(), Vec2(130.0f, 130.0f), 16, DIR_UP);
    e->Tick(0.016f);
    EXPECT_EQ(e->GetPosition().y, 128.0f);
    EXPECT_EQ(e->pushDistance, 0);
    EXPECT_EQ(e->pushDirection, DIR_NONE);
    // A push never carries an entity across a screen edge; diagonals push sideways.
    PushFrom(e.get(), Vec2(500.0f, 100.0f), 32, 4);
    e->Tick(0.016f);
    EXPECT_EQ(e->GetPosition().x, 511.0f);
    EXPECT_EQ(e->pushDirection, DIR_NONE);
}

TEST_F(EntityTest, MovementTestsUseTheWalkableTileSetAndScreenBounds)
{
    auto e = Make();
    const std::set<int> walkable = {0, 16, 32, 64, 9, 25, 10, 160, 161, 18};
    for (int tile = 0; tile < 256; ++tile) {
        SetTile(2, 1, uint8_t(tile));
        EXPECT_EQ(e->CanMoveTo(Vec2(70, 40)), walkable.count(tile) == 1) << tile;
    }
    // The point itself is tested (tile (2, 1) now blocks); off the map reads as solid.
    const std::pair<Vec2, bool> points[] = {{{64, 40}, false},
                                            {{95.9f, 63.9f}, false},
                                            {{63.9f, 40}, true},
                                            {{-40, 10}, false},
                                            {{10, 10565}, false}};
    for (const auto& [p, free] : points) EXPECT_EQ(e->CanMoveTo(p), free) << p.x << ", " << p.y;

    // Inside its screen, the first column and row excluded, the last ones not.
    const struct {
        Vec2 at, p;
        bool in;
    } bounds[] = {{{100, 100}, {30, 16}, true},    {{100, 100}, {29, 16}, false},
                  {{100, 100}, {478, 304}, true},  {{100, 100}, {479, 305}, false},
                  {{600, 400}, {542, 368}, true},  {{600, 400}, {541, 368}, false},
                  {{600, 400}, {542, 367}, false}, {{600, 400}, {990, 656}, true},
                  {{600, 400}, {991, 656}, false}, {{600, 400}, {990, 657}, false}};
    for (const auto& b : bounds) {
        e->SetPosition(b.at);
        EXPECT_EQ(e->InScreenBounds(b.p), b.in) << b.p.x << ", " << b.p.y;
    }
}

TEST_F(EntityTest, RenderDrawsTheAnimationFrameBelowTheHeadsUpBandOnlyWhenShownAndAlive)
{
    Quill::SpriteType sprite;
    auto e = Make();
    e->sprite = &sprite;
    e->frameBase = 4;
    e->frame = 1.7f;
    e->SetPosition(Vec2(600.5f, 400.0f));
    e->Render(1, 1);
    e->visible = false;
    e->Render(1, 1);
    e->visible = true;
    e->state = 0;
    e->Render(1, 1);
    ASSERT_EQ(world->drawnSprites.size(), 1u);
    const RecordingRenderer::Call& drawn = world->drawnSprites[0];
    EXPECT_EQ(std::make_tuple(drawn.sheetOrFrame, drawn.x, drawn.y, drawn.extra),
              std::make_tuple(5, 600 - 512, 400 - 352 + 128, -1));
}

TEST_F(EntityTest, StepToTileKnocksBackOneTileInsideTheScreenAndSnapDrawsToTheNearerGridLine)
{
    auto e = Make();
    e->SetPosition(Vec2(70.0f, 100.0f));
    e->StepToTile(DIR_UP);
    EXPECT_EQ(e->GetPosition(), Vec2(70.0f, 64.0f));
    e->StepToTile(DIR_RIGHT);
    EXPECT_EQ(e->GetPosition(), Vec2(96.0f, 64.0f));
    SetTile(2, 2, 1);
    e->SetPosition(Vec2(64.0f, 32.0f));
    e->StepToTile(DIR_DOWN);
    EXPECT_EQ(e->GetPosition(), Vec2(64.0f, 32.0f));
    e->SetPosition(Vec2(480.0f, 32.0f));  // last column: the next tile is another screen
    e->StepToTile(DIR_RIGHT);
    EXPECT_EQ(e->GetPosition(), Vec2(480.0f, 32.0f));

    e->speed = 60.0f;  // two pixels per 1/60 s tick
    e->SetPosition(Vec2(21.0f, 30.0f));
    EXPECT_EQ(e->SnapX(16), 19);
    EXPECT_EQ(e->SnapY(16), 32);  // 30 is past the half: up to 32, not beyond
    e->SetPosition(Vec2(17.0f, 0.0f));
    EXPECT_EQ(e->SnapX(16), 16);
}

TEST_F(EntityTest, OverlapsIgnoresSharedEdgesAndHonoursTheInsetAndModifyStateSetsOrTogglesBits)
{
    auto a = Make();
    auto b = Make();
    const struct {
        Vec2 b;
        int inset;
        bool overlap;
    } rows[] = {{{32, 0}, 0, false}, {{31, 31}, 0, true}, {{18, 0}, 7, false}, {{18, 0}, 6, true}};
    for (const auto& row : rows) {
        b->SetPosition(row.b);
        EXPECT_EQ(Overlaps(a.get(), b.get(), row.inset), row.overlap) << row.b.x << " inset " << row.inset;
    }
    a->SetState(1);
    for (const auto& [bits, state] : std::vector<std::pair<int, int>>{{-2, 3}, {-2, 1}, {4, 5}, {0, 5}}) {
        a->ModifyState(bits);
        EXPECT_EQ(a->state, state) << bits;
    }
}

TEST_F(EntityTest, DeathIsAnnouncedOnceAndOnlyByTheHost)
{
    RecordingSession host(true), client(false);
    auto e = Make(&host);
    e->SetUID(12);
    e->Dead();
    e->Dead();
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].type, MSG_DEATH);
    EXPECT_EQ(e->state, 0);
    EXPECT_TRUE(e->dead && e->localOnly && !e->visible);
    auto local = Make(&host);
    local->localOnly = true;
    local->Dead();
    EXPECT_EQ(host.sent.size(), 1u);
    Make(&client)->Dead();
    EXPECT_TRUE(client.sent.empty());
}

TEST_F(EntityTest, StateRecordRoundTripsAndShortStreamsFail)
{
    auto e = Make();
    e->SetUID(77);
    e->SetType(11);
    e->SetPosition(Vec2(123.5f, -4.0f));
    e->SetDirection(DIR_LEFT);
    e->isEnemy = true;
    NetStream s(64);
    ASSERT_TRUE(e->WriteState(&s));
    EXPECT_EQ(s.GetLength(), 24u);
    EXPECT_EQ(s.GetData()[20], 1);
    auto copy = Make();
    copy->SetUID(77);
    copy->SetType(11);
    ASSERT_TRUE(copy->ReadState(&s));
    EXPECT_EQ(copy->GetPosition(), Vec2(123.5f, -4.0f));
    EXPECT_EQ(copy->GetDirection(), DIR_LEFT);
    EXPECT_FALSE(copy->isEnemy);  // the flag travels but is not applied

    // A record for another entity is applied but logged.
    NetStream again(64);
    ASSERT_TRUE(e->WriteState(&again));
    auto other = Make();
    other->SetUID(5);
    ASSERT_TRUE(other->ReadState(&again));
    EXPECT_EQ(other->GetPosition(), Vec2(123.5f, -4.0f));
    EXPECT_TRUE(LogContains("UID modification error! 77"));
    EXPECT_TRUE(LogContains("type modification error! 11"));

    NetStream tooShort(10), empty(4);
    EXPECT_FALSE(e->WriteState(&tooShort));
    EXPECT_FALSE(e->WriteState(nullptr));
    EXPECT_FALSE(copy->ReadState(&empty));
    EXPECT_FALSE(copy->ReadState(nullptr));
}

TEST_F(EntityTest, ARecordPlacingTheEntityOffTheMapIsRefused)
{
    // The map and one tile around it: -32 to 8192 across, -32 to 10560 down.
    auto copy = Make();
    copy->SetPosition(Vec2(100.0f, 200.0f));
    auto read = [&](Vec2 place) {
        auto e = Make();
        e->SetPosition(place);
        NetStream s(64);
        return e->WriteState(&s) && copy->ReadState(&s);
    };
    for (Vec2 place : {Vec2(std::nanf(""), 0.0f), Vec2(1e30f, 0.0f), Vec2(8193.0f, 0.0f), Vec2(0.0f, -33.0f),
                       Vec2(0.0f, 10561.0f)}) {
        EXPECT_FALSE(read(place)) << place.x << ", " << place.y;
        EXPECT_EQ(copy->GetPosition(), Vec2(100.0f, 200.0f));
    }
    EXPECT_TRUE(LogContains("record with a position off the map ignored"));
    ASSERT_TRUE(read(Vec2(8192.0f, -32.0f)));
    EXPECT_EQ(copy->GetPosition(), Vec2(8192.0f, -32.0f));
}
