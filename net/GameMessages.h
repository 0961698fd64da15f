#pragma once

#include <cstdint>

#include "entity/Vec2.h"
#include "net/NetSession.h"

// Message types exchanged between the two copies of the game.
enum GameMessageType {
    MSG_HERO_UPDATE = 0,
    MSG_SCREEN_ENTERED = 1,
    MSG_ENTITY_STATE = 2,
    MSG_SPAWN = 3,
    MSG_REMOVE = 4,
    MSG_CHAT = 5,
    MSG_HIT = 6,
    MSG_SWORD_PRESSED = 7,
    MSG_DEATH = 8,
    MSG_ENEMY_EVENT = 9,
    MSG_DOOR_OPENED = 10,
    MSG_PICKUP_DROP = 11,
    MSG_PUSHBLOCK_MOVED = 12,
    MSG_ITEM_PRESSED = 13,
};

// A point as two floats, x then y.
bool WriteVec2(NetStream& s, Vec2 v);
bool ReadVec2(NetStream& s, Vec2& v);

// True on the host, and in a game without a session.
bool IsHost(const NetSession* session);

// Each sender does nothing without a session.
void SendHit(NetSession* session, uint32_t uid, Vec2 position, float amount, float flashTime,
             int32_t direction, int32_t pushDistance);
void SendDeath(NetSession* session, uint32_t uid);
void SendDoorOpened(NetSession* session, int32_t door, Vec2 screen);
void SendButtonPressed(NetSession* session, GameMessageType type, Vec2 heroPosition);
void SendScreenEntered(NetSession* session, Vec2 screen);
void SendRemove(NetSession* session, uint32_t uid);
void SendPushblockMoved(NetSession* session, uint32_t uid, int32_t direction);
// An enemy's decision to turn and attack in `direction`.
void SendEnemyEvent(NetSession* session, uint32_t uid, int32_t direction);
// A pickup an enemy left behind: its drop kind, where and for how long.
void SendPickupDrop(NetSession* session, int32_t kind, Vec2 position, float lifetime);
// A spawn announcement carrying the entity's state record.
void SendSpawn(NetSession* session, class Entity* entity);
