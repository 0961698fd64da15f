#pragma once

#include "enemies/Enemy.h"

// A shelled crawler that walks the tile grid and spits rocks. The blue kind
// spits whenever it turns at random (and keeps spitting when walled in); the
// red kind after about one step in ten.
class CKrillop : public Enemy {
public:
    void Tick(float dt) override;
    void SetDirection(int dir) override;
    void TakeDamage(float amount, int direction, Entity* source) override;

    bool IsBlue() const { return isBlue; }

protected:
    CKrillop(NetSession* session, bool blue);
    void Fire() override;

private:
    bool isBlue;
};

class CKrillopBlue : public CKrillop {
public:
    explicit CKrillopBlue(NetSession* session) : CKrillop(session, true) {}
};

class CKrillopRed : public CKrillop {
public:
    explicit CKrillopRed(NetSession* session) : CKrillop(session, false) {}
};

// Walking frames of the walkers that face four ways: up, down, left, right.
int WalkerFrameBase(int dir, int fallback);
