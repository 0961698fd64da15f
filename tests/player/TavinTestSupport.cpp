#include "tests/player/TavinTestSupport.h"

#include "tests/player/SoundProbe.h"

void TavinTest::SetUp()
{
    WorldTest::SetUp();
    ASSERT_TRUE(SoundProbe::Load());
    SoundProbe::StopAll();
    world->SetView(7, 7, 0.0f, 0.0f);
}

Tavin* TavinTest::AddHero(NetSession* session, int column, int row)
{
    Tavin* added = new Tavin("tester", nullptr, session);
    world->AddEntity(added, false);
    if (!world->GetPlayer())
        world->SetPlayer(added);
    added->SendEvent(Tavin::EVENT_PLACE, &column, &row);
    added->pendingCurrency = 0;
    // One frame marks what the local player can see.
    RunFrames(1);
    return added;
}

void TavinTest::Hold(Tavin* h, int event, int frames)
{
    for (int i = 0; i < frames; ++i) {
        h->SendEvent(event, nullptr, nullptr);
        RunFrames(1);
    }
}

int TavinTest::RunUntilNormal(Tavin* h, int limit)
{
    int frames = 0;
    while (frames < limit && h->GetState() != Tavin::STATE_NORMAL) {
        RunFrames(1);
        ++frames;
    }
    return frames;
}

void PushTarget::SendEvent(int event, void* arg1, void* arg2)
{
    TestEntity::SendEvent(event, arg1, arg2);
    if (event == 14) {
        pushDirections.push_back(arg1 ? *static_cast<int*>(arg1) : -99);
        secondArgs.push_back(arg2 ? *static_cast<int*>(arg2) : -99);
    }
}
