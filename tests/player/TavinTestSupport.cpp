#include "tests/player/TavinTestSupport.h"

#include "items/Smoke.h"
#include "net/GameMessages.h"
#include "net/NetStream.h"
#include "tests/player/SoundProbe.h"

void TavinTest::SetUp()
{
    WorldTest::SetUp();
    ASSERT_TRUE(SoundProbe::Load());
    SoundProbe::StopAll();
    world->SetView(7, 7, 0.0f, 0.0f);
    Smoke::flickerTimer = 0.0f;
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
    for (; frames < limit && h->GetState() != Tavin::STATE_NORMAL; ++frames) RunFrames(1);
    return frames;
}

int TavinTest::RunUntilDead(Entity* e, int limit)
{
    EntityRef<Entity> held = e;
    int frames = 0;
    for (; frames < limit && held->GetState() != 0; ++frames) RunFrames(1);
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

Target::Target(Kind kind, bool flashesWhenHit) : flashesWhenHit(flashesWhenHit)
{
    isEnemy = kind == ENEMY;
    isPlayer = kind == PLAYER;
}

void Target::TakeDamage(float amount, int dir, Entity* source)
{
    Entity::TakeDamage(amount, dir, source);
    amounts.push_back(amount);
    directions.push_back(dir);
    sources.push_back(source);
    if (flashesWhenHit)
        StartFlashing(0.5f);
}

void CountingPickup::Collect(Entity* player)
{
    collectors.push_back(player);
    Dead();
}

void PrintTo(const HitMessage& h, std::ostream* os)
{
    *os << "{uid " << h.uid << ", at (" << h.position.x << ", " << h.position.y << "), amount " << h.amount
        << ", flash " << h.flashTime << ", dir " << h.direction << ", push " << h.push << "}";
}

HitMessage DecodeHit(const RecordingSession::Sent& sent)
{
    HitMessage hit;
    if (sent.type != MSG_HIT || sent.bytes.size() != 28)
        return hit;
    NetStream s(64);
    s.Write(sent.bytes.data(), uint8_t(sent.bytes.size()));
    if (s.ReadU32(hit.uid) && s.ReadF32(hit.position.x) && s.ReadF32(hit.position.y) &&
        s.ReadF32(hit.amount) && s.ReadF32(hit.flashTime) && s.ReadI32(hit.direction) && s.ReadI32(hit.push))
        return hit;
    return HitMessage{};
}

std::vector<std::vector<uint8_t>> Sent(const RecordingSession& s, int type)
{
    std::vector<std::vector<uint8_t>> found;
    for (const auto& m : s.sent)
        if (m.type == type)
            found.push_back(m.bytes);
    return found;
}
