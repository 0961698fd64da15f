#include "net/GameMessages.h"

#include "entity/Entity.h"

bool IsHost(const NetSession* session)
{
    return session == nullptr || session->IsServer();
}

namespace {

bool WriteVec2(NetStream& s, Vec2 v)
{
    return s.WriteF32(v.x) && s.WriteF32(v.y);
}

void Send(NetSession* session, NetMessage& message)
{
    if (session)
        session->SendMessage(&message);
}

}  // namespace

void SendHit(NetSession* session, uint32_t uid, Vec2 position, float amount, float flashTime,
             int32_t direction, int32_t pushDistance)
{
    if (!session)
        return;
    NetMessage m;
    m.type = MSG_HIT;
    m.payload.WriteU32(uid) && WriteVec2(m.payload, position) && m.payload.WriteF32(amount) &&
        m.payload.WriteF32(flashTime) && m.payload.WriteI32(direction) && m.payload.WriteI32(pushDistance);
    Send(session, m);
}

void SendDeath(NetSession* session, uint32_t uid)
{
    if (!session)
        return;
    NetMessage m;
    m.type = MSG_DEATH;
    m.payload.WriteU32(uid);
    Send(session, m);
}

void SendDoorOpened(NetSession* session, int32_t door, Vec2 screen)
{
    if (!session)
        return;
    NetMessage m;
    m.type = MSG_DOOR_OPENED;
    m.payload.WriteI32(door) && WriteVec2(m.payload, screen);
    Send(session, m);
}

void SendButtonPressed(NetSession* session, GameMessageType type, Vec2 heroPosition)
{
    if (!session)
        return;
    NetMessage m;
    m.type = type;
    WriteVec2(m.payload, heroPosition);
    Send(session, m);
}

void SendScreenEntered(NetSession* session, Vec2 screen)
{
    if (!session)
        return;
    NetMessage m;
    m.type = MSG_SCREEN_ENTERED;
    WriteVec2(m.payload, screen);
    Send(session, m);
}

void SendRemove(NetSession* session, uint32_t uid)
{
    if (!session)
        return;
    NetMessage m;
    m.type = MSG_REMOVE;
    m.payload.Resize(4);
    m.payload.WriteU32(uid);
    Send(session, m);
}

void SendSpawn(NetSession* session, Entity* entity)
{
    if (!session || !entity)
        return;
    NetMessage m;
    m.type = MSG_SPAWN;
    entity->WriteState(&m.payload);
    Send(session, m);
}
