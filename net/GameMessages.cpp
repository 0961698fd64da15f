#include "net/GameMessages.h"

#include "entity/Entity.h"

bool IsHost(const NetSession* session)
{
    return session == nullptr || session->IsServer();
}

bool WriteVec2(NetStream& s, Vec2 v)
{
    return s.WriteF32(v.x) && s.WriteF32(v.y);
}

bool ReadVec2(NetStream& s, Vec2& v)
{
    return s.ReadF32(v.x) && s.ReadF32(v.y);
}

namespace {

// Builds a message with `fill` and sends it; nothing at all without a session.
// Writes stop at the first field that does not fit, and what fitted is sent.
template <class Fill>
void Send(NetSession* session, GameMessageType type, Fill fill)
{
    if (!session)
        return;
    NetMessage m;
    m.type = type;
    fill(m.payload);
    session->SendMessage(&m);
}

}  // namespace

void SendHit(NetSession* session, uint32_t uid, Vec2 position, float amount, float flashTime,
             int32_t direction, int32_t pushDistance)
{
    Send(session, MSG_HIT, [&](NetStream& s) {
        return s.WriteU32(uid) && WriteVec2(s, position) && s.WriteF32(amount) && s.WriteF32(flashTime) &&
               s.WriteI32(direction) && s.WriteI32(pushDistance);
    });
}

void SendDeath(NetSession* session, uint32_t uid)
{
    Send(session, MSG_DEATH, [&](NetStream& s) { return s.WriteU32(uid); });
}

void SendDoorOpened(NetSession* session, int32_t door, Vec2 screen)
{
    Send(session, MSG_DOOR_OPENED, [&](NetStream& s) { return s.WriteI32(door) && WriteVec2(s, screen); });
}

void SendButtonPressed(NetSession* session, GameMessageType type, Vec2 heroPosition)
{
    Send(session, type, [&](NetStream& s) { return WriteVec2(s, heroPosition); });
}

void SendScreenEntered(NetSession* session, Vec2 screen)
{
    Send(session, MSG_SCREEN_ENTERED, [&](NetStream& s) { return WriteVec2(s, screen); });
}

void SendRemove(NetSession* session, uint32_t uid)
{
    Send(session, MSG_REMOVE, [&](NetStream& s) {
        s.Resize(4);
        return s.WriteU32(uid);
    });
}

void SendPushblockMoved(NetSession* session, uint32_t uid, int32_t direction)
{
    Send(session, MSG_PUSHBLOCK_MOVED,
         [&](NetStream& s) { return s.WriteU32(uid) && s.WriteI32(direction); });
}

void SendEnemyEvent(NetSession* session, uint32_t uid, int32_t direction)
{
    Send(session, MSG_ENEMY_EVENT, [&](NetStream& s) { return s.WriteU32(uid) && s.WriteI32(direction); });
}

void SendPickupDrop(NetSession* session, int32_t kind, Vec2 position, float lifetime)
{
    Send(session, MSG_PICKUP_DROP,
         [&](NetStream& s) { return s.WriteI32(kind) && WriteVec2(s, position) && s.WriteF32(lifetime); });
}

void SendSpawn(NetSession* session, Entity* entity)
{
    if (!entity)
        return;
    Send(session, MSG_SPAWN, [&](NetStream& s) { return entity->WriteState(&s); });
}
