#pragma once

#include "entity/Entity.h"
#include "items/Projectile.h"

// A stone an enemy throws at the heroes. It stops at walls; a hero who faces
// it without swinging knocks it aside, and it then drifts off diagonally at
// half speed for a moment before it vanishes.
class Rock : public Entity, public Projectile {
public:
    static constexpr float kDeflectTime = 0.3f;
    static constexpr float kDamage = 1.0f;

    Rock(NetSession* session, KarskRenderer* world);

    void Tick(float dt) override;
    void SendEvent(int event, void* arg1, void* arg2) override;
    void Launch(int direction, float speed);

    bool deflected = false;
    float deflectTime = 0.0f;
    KarskRenderer* world = nullptr;

private:
    void TouchPlayers();
    // The drift after a deflection: back the way it came and to one side.
    Vec2 DeflectedStep(float distance) const;
};

// Tiles a rock flies over; everything else stops it.
bool RockPassesTile(int tile);
