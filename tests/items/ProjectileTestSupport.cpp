#include "tests/items/ProjectileTestSupport.h"

#include "items/Smoke.h"
#include "net/GameMessages.h"
#include "net/NetStream.h"

void ProjectileTest::SetUp()
{
    TavinTest::SetUp();
    Smoke::flickerTimer = 0.0f;
}

Vec2 ProjectileTest::At(float rx, float ry)
{
    return Vec2(7.0f * 512.0f + rx, 7.0f * 352.0f + ry);
}

int ProjectileTest::RunUntilDead(Entity* e, int limit)
{
    EntityRef<Entity> held = e;
    int frames = 0;
    while (frames < limit && held->GetState() != 0) {
        RunFrames(1);
        ++frames;
    }
    return frames;
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

bool DecodeHit(const RecordingSession::Sent& sent, HitMessage& hit)
{
    if (sent.type != MSG_HIT || sent.bytes.size() != 28)
        return false;
    NetStream s(64);
    s.Write(sent.bytes.data(), uint8_t(sent.bytes.size()));
    return s.ReadU32(hit.uid) && s.ReadF32(hit.position.x) && s.ReadF32(hit.position.y) &&
           s.ReadF32(hit.amount) && s.ReadF32(hit.flashTime) && s.ReadI32(hit.direction) &&
           s.ReadI32(hit.push);
}
