#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

// The stairs on screen (7, 7) lead to column 39, row 228 (screen (2, 20)).
constexpr int kTargetColumn = 39;
constexpr int kTargetRow = 228;

}  // namespace

class TavinStairsTest : public TavinTest {
protected:
    void SetUp() override
    {
        TavinTest::SetUp();
        SetTile(120, 84, 64);  // stairs
        Screen(7, 7).stairsTarget = kTargetRow * 256 + kTargetColumn;
        hero = AddHero();
        hero->sprite = &sprite;
    }

    // The hero's last draw call: the one of the frame just run.
    const RecordingRenderer::Call& LastDraw() const { return world->drawnSprites.back(); }

    Quill::SpriteType sprite;
    Tavin* hero = nullptr;
};

TEST_F(TavinStairsTest, StairsTakeTheHeroDownToTheRoomAndTheStackBringsHimBack)
{
    PlaySound(SND_MUSIC_OVERWORLD);
    // One step down puts the feet on the stairs: the hero snaps onto the tile and sinks.
    Hold(hero, Tavin::EVENT_WALK_DOWN, 1);
    ASSERT_EQ(hero->GetState(), Tavin::STATE_GOING_DOWN);
    EXPECT_EQ(hero->GetPosition(), Vec2(3840.0f, 2688.0f));
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_STAIRS));
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_MUSIC_OVERWORLD));

    // Sinking: only the top of the sprite shows, lowered by what has gone.
    RunFrames(30);
    ASSERT_EQ(hero->GetState(), Tavin::STATE_GOING_DOWN);
    const int offset = int(hero->stairsOffset);
    EXPECT_NEAR(hero->stairsOffset, 16.0f, 0.6f);
    EXPECT_EQ(LastDraw().extra, offset);
    EXPECT_EQ(LastDraw().x, 3840 - 7 * 512);
    EXPECT_EQ(LastDraw().y, 2688 - 7 * 352 + 128 + 32 - offset);

    EXPECT_GE(RunUntilNormal(hero, 60), 28);
    ASSERT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
    EXPECT_FLOAT_EQ(hero->stairsOffset, 32.0f);
    EXPECT_EQ(hero->GetPosition(), Vec2(kTargetColumn * 32.0f + 16.0f, kTargetRow * 32.0f));
    ASSERT_EQ(hero->ReturnPointCount(), 1u);
    ASSERT_EQ(engine->events.size(), 1u);
    EXPECT_EQ(engine->events[0], std::make_pair(1, 0));

    // Leaving the room southwards: the application puts the hero back on
    // the stairs it came from and has it climb.
    world->SetView(7, 7, 0.0f, 0.0f);
    EXPECT_EQ(hero->PopReturnPoint(), Vec2(120.0f, 84.0f));
    EXPECT_EQ(hero->PopReturnPoint(), Vec2(120.0f, 83.0f));  // the start tile once empty
    hero->SetPosition(Vec2(120.0f, 84.0f) * 32.0f);
    SoundProbe::StopAll();
    PlaySound(SND_MUSIC_DUNGEON);
    hero->SendEvent(Tavin::EVENT_STAIRS_UP, nullptr, nullptr);
    EXPECT_EQ(hero->GetState(), Tavin::STATE_COMING_UP);
    EXPECT_TRUE(hero->onStairs);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_STAIRS));
    RunFrames(1);
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_MUSIC_DUNGEON));
    EXPECT_LT(LastDraw().extra, 2);
    RunUntilNormal(hero, 70);
    ASSERT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
    EXPECT_FLOAT_EQ(hero->stairsOffset, 32.0f);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_MUSIC_OVERWORLD));
    EXPECT_EQ(hero->GetPosition(), Vec2(3840.0f, 2688.0f));

    // Standing on the stairs after coming up does not send the hero down again.
    RunFrames(20);
    EXPECT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
    EXPECT_TRUE(hero->onStairs);

    // Stepping off and back on does.
    Hold(hero, Tavin::EVENT_WALK_UP, 12);
    EXPECT_FALSE(hero->onStairs);
    int steps = 0;
    while (hero->GetState() == Tavin::STATE_NORMAL && steps < 20) {
        Hold(hero, Tavin::EVENT_WALK_DOWN, 1);
        ++steps;
    }
    EXPECT_EQ(hero->GetState(), Tavin::STATE_GOING_DOWN);
    EXPECT_EQ(hero->GetPosition(), Vec2(3840.0f, 2688.0f));
}

TEST_F(TavinStairsTest, ThePeersHeroTakesTheStairsWithoutTouchingTheMusic)
{
    hero->SetRemote(true);
    PlaySound(SND_MUSIC_OVERWORLD);
    hero->SendEvent(Tavin::EVENT_STAIRS_DOWN, nullptr, nullptr);
    RunUntilNormal(hero, 70);
    EXPECT_EQ(hero->GetPosition(), Vec2(kTargetColumn * 32.0f + 16.0f, kTargetRow * 32.0f));
    EXPECT_TRUE(engine->events.empty());
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_MUSIC_OVERWORLD));
}

TEST_F(TavinStairsTest, StairsLeadingNowhereKeepTheHeroOnThem)
{
    for (int32_t target : {-5, 0, 256 * 330, 0x7fffffff}) {
        SCOPED_TRACE(target);
        Screen(7, 7).stairsTarget = target;
        int column = 120, row = 84;
        hero->SendEvent(Tavin::EVENT_PLACE, &column, &row);
        hero->onStairs = false;
        RunFrames(1);
        ASSERT_EQ(hero->GetState(), Tavin::STATE_GOING_DOWN);
        RunUntilNormal(hero, 70);
        EXPECT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
        EXPECT_EQ(hero->GetPosition(), Vec2(3840.0f, 2688.0f));
        EXPECT_EQ(hero->ReturnPointCount(), 0u);
        EXPECT_TRUE(engine->events.empty());
        EXPECT_TRUE(LogContains("not a place in the map"));
        // It does not loop down again while the hero stands there.
        RunFrames(5);
        EXPECT_EQ(hero->GetState(), Tavin::STATE_NORMAL);
    }
    // The last cell of the map is a fair target.
    Screen(7, 7).stairsTarget = 256 * 330 - 1;
    hero->onStairs = false;
    RunFrames(1);
    RunUntilNormal(hero, 70);
    EXPECT_EQ(hero->GetPosition(), Vec2(255 * 32.0f + 16.0f, 329 * 32.0f));
}
