#pragma once

#include "net/NetStream.h"

// The link to the other copy of the game. A game without a peer has no
// session at all and is its own host.
class NetSession {
public:
    virtual ~NetSession() = default;
    virtual bool IsServer() const = 0;
    virtual bool IsAuthenticated() const = 0;
    virtual bool SendMessage(NetMessage* message) = 0;
};
