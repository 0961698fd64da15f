#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>

#include "app/SpawnTable.h"
#include "items/Pushblock.h"
#include "net/GameMessages.h"
#include "net/NetStream.h"
#include "sound/SoundTable.h"
#include "tests/app/AppFixture.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

namespace {

class PushblockTest : public TavinTest {
protected:
    // A block added to the world and placed on the tile as the game places it.
    Pushblock* Place(NetSession* session, int column, int row)
    {
        auto* block = new Pushblock(session);
        world->AddEntity(block, false);
        block->SendEvent(Pushblock::EVENT_PLACE, &column, &row);
        return block;
    }
    // Sends a push toward `dir`, then runs one frame, `frames` times.
    void PushFor(Pushblock* block, int dir, int frames)
    {
        for (int i = 0; i < frames; ++i) {
            int32_t unused = 0;
            block->SendEvent(Pushblock::EVENT_PUSHED, &dir, &unused);
            RunFrames(1);
        }
    }
};

TEST_F(PushblockTest, OnlySteadyPushingMovesTheBlockAndOnlyOnce)
{
    RecordingSession session(true);
    Pushblock* block = Place(&session, 122, 83);
    block->SetUID(33);
    const Vec2 start(122.0f * 32.0f, 83.0f * 32.0f);
    EXPECT_EQ(block->GetPosition(), start);
    EXPECT_TRUE(block->IsPushable() && !block->IsEnemy() && !block->IsTransient());

    // 0.2 s, one tick without a push, 0.2 s: the count starts over.
    PushFor(block, DIR_RIGHT, 12);
    RunFrames(1);
    EXPECT_FLOAT_EQ(block->GetPushTime(), 0.0f);
    PushFor(block, DIR_RIGHT, 12);
    EXPECT_FALSE(block->HasMoved());
    RunFrames(1);
    PushFor(block, DIR_RIGHT, 17);
    EXPECT_FALSE(block->HasMoved());

    // Just over 0.3 s starts the slide, with the sound and a word to the peer.
    PushFor(block, DIR_RIGHT, 2);
    EXPECT_TRUE(block->HasMoved());
    EXPECT_EQ(block->GetState(), 5);
    EXPECT_TRUE(SoundProbe::IsPlaying(SND_SECRET));
    EXPECT_EQ(Sent(session, MSG_PUSHBLOCK_MOVED),
              (std::vector<std::vector<uint8_t>>{{33, 0, 0, 0, 3, 0, 0, 0}}));

    // 64 pixels a second: a tile in half a second.
    const float afterStart = block->GetPosition().x - start.x;
    RunFrames(14);
    EXPECT_NEAR(block->GetPosition().x - start.x, afterStart + 14.0f * 64.0f / 60.0f, 0.01f);
    RunFrames(20);
    EXPECT_EQ(block->GetPosition(), start + Vec2(32.0f, 0.0f));
    EXPECT_EQ(std::make_pair(block->GetState(), block->moveDirection), std::make_pair(1, int(DIR_RIGHT)));

    // Never again, however it is pushed.
    PushFor(block, DIR_LEFT, 30);
    block->Push(DIR_DOWN);
    RunFrames(40);
    EXPECT_EQ(block->GetPosition(), start + Vec2(32.0f, 0.0f));
    EXPECT_EQ(Sent(session, MSG_PUSHBLOCK_MOVED).size(), 1u);
}

TEST_F(PushblockTest, AMarkedCellRefusesThePushButTheBlockStaysPushable)
{
    Pushblock* block = Place(nullptr, 122, 83);
    SetTile(122, 83, 16, 1);  // the block's own mark
    SetTile(123, 83, 5, 1);
    SetTile(122, 82, 0, 0);
    SetTile(122, 84, 200, 0);  // terrain does not decide
    const Vec2 start = block->GetPosition();
    // A direction without a way stays on the block's own marked cell.
    for (int refused : {int(DIR_RIGHT), 7}) {
        block->Push(refused);
        EXPECT_TRUE(!block->HasMoved() && block->GetState() == 1 && block->destination == start) << refused;
    }
    EXPECT_FALSE(SoundProbe::IsPlaying(SND_SECRET));
    block->Push(DIR_DOWN);
    EXPECT_TRUE(block->HasMoved());
    RunFrames(40);
    EXPECT_EQ(block->GetPosition(), start + Vec2(0.0f, 32.0f));
}

// Door fields north, south, east, west; state 2 waits for a pushed block, 4 is
// locked, 1 open.
TEST_F(PushblockTest, TheLastDoorWaitingForAPushOpens)
{
    int32_t* doors = Screen(7, 7).doors;
    auto doorStates = [doors] { return std::vector<int32_t>(doors, doors + 4); };
    doors[0] = doors[2] = 2;
    doors[1] = 4;
    Place(nullptr, 122, 83)->Push(DIR_UP);
    EXPECT_EQ(doorStates(), (std::vector<int32_t>{2, 4, 1, 0}));
    Place(nullptr, 118, 83)->Push(DIR_UP);
    EXPECT_EQ(doorStates(), (std::vector<int32_t>{1, 4, 1, 0}));

    // A client starts the same move from the host's word and opens the door
    // itself, but the slide comes from the host's records.
    doors[3] = 2;
    RecordingSession client(false);
    Pushblock* copy = Place(&client, 116, 83);
    copy->Push(DIR_DOWN);
    EXPECT_TRUE(doors[3] == 1 && copy->GetState() == 5);
    const Vec2 at = copy->GetPosition();
    RunFrames(40);
    EXPECT_EQ(copy->GetPosition(), at);

    // The joining hero's short pushes on the copy do not add up either.
    Pushblock* pushed = Place(&client, 124, 85);
    for (int i = 0; i < 3; ++i) {
        PushFor(pushed, DIR_LEFT, 12);
        RunFrames(1);
    }
    EXPECT_FALSE(pushed->HasMoved());

    // A block opens the doors of its own room, not of the one on screen.
    Screen(8, 7).doors[1] = 2;
    Place(nullptr, 8 * 16 + 3, 7 * 11 + 3)->Push(DIR_UP);
    EXPECT_EQ(Screen(8, 7).doors[1], 1);
    EXPECT_EQ(doors[0], 1);
}

TEST_F(PushblockTest, TheStateRecordCarries49BytesBothWays)
{
    Pushblock* block = Place(nullptr, 122, 83);
    block->SetUID(77);
    block->SetType(30);
    block->destination = Vec2(11.0f, 22.0f);
    block->frame = 0.5f;
    block->spawnDelay = 0.25f;
    block->speed = 48.0f;
    block->moved = true;
    NetStream record(64);
    ASSERT_TRUE(block->WriteState(&record));
    EXPECT_EQ(record.GetLength(), 49u);
    NetStream tooSmall(49 - 1);
    EXPECT_FALSE(block->WriteState(&tooSmall) || block->WriteState(nullptr));

    auto copyOf = [&](uint32_t length) {
        auto s = std::make_unique<NetStream>(length);
        s->Write(record.GetData(), uint8_t(length));
        return s;
    };
    EntityRef<Pushblock> copy = new Pushblock(nullptr);
    copy->SetUID(77);
    copy->SetType(30);
    auto full = copyOf(49);
    ASSERT_TRUE(copy->ReadState(full.get()));
    EXPECT_EQ(copy->GetPosition(), block->GetPosition());
    EXPECT_EQ(copy->destination, Vec2(11.0f, 22.0f));
    EXPECT_EQ(std::make_tuple(copy->frame, copy->spawnDelay, copy->speed, copy->HasMoved()),
              std::make_tuple(0.5f, 0.25f, 48.0f, true));
    EXPECT_FALSE(copy->ReadState(nullptr));
    // Cut inside its own fields or before the last byte: fails, keeping what it carried.
    EntityRef<Pushblock> partial = new Pushblock(nullptr);
    for (uint32_t cut : {24u, 28u, 32u, 36u, 40u, 44u})
        EXPECT_FALSE(partial->ReadState(copyOf(cut).get())) << cut;
    EXPECT_FALSE(partial->ReadState(copyOf(49 - 1).get()));
    EXPECT_FLOAT_EQ(partial->speed, 48.0f);

    // A destination that is not a number or off the map would poison the
    // slide, and a speed below zero would slide it away: both ignored.
    for (float x : {std::nanf(""), 1e30f}) {
        std::memcpy(record.GetData() + 24, &x, 4);
        const float backwards = -48.0f;
        std::memcpy(record.GetData() + 44, &backwards, 4);
        EntityRef<Pushblock> third = new Pushblock(nullptr);
        ASSERT_TRUE(third->ReadState(copyOf(49).get()));
        EXPECT_EQ(third->destination, Vec2(0.0f, 0.0f));
        EXPECT_FLOAT_EQ(third->speed, 64.0f);
    }
}

TEST_F(AppTest, AMarkerOnTheMapBecomesAPushblock)
{
    RegisterGameSpawns();
    SetTile(3 * 16 + 4, 4 * 11 + 6, 16, 1);
    app->PopulateScreen(3, 4, false);
    Pushblock* found = nullptr;
    for (int i = 0; i < world->GetEntityList().Count(); ++i)
        found = found ? found : dynamic_cast<Pushblock*>(world->GetEntityList().Get(i));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetTile(), Vec2(3.0f * 16.0f + 4.0f, 4.0f * 11.0f + 6.0f));
    EXPECT_EQ(found->GetType(), 30);
}

}  // namespace
