#pragma once

#include <cstdint>

#include "entity/Entity.h"

// A hero's melee weapon. It waits hidden in the world list until its owner
// swings it, stands out in front of the owner for a moment, then slides back
// and hides again. While it is out the host damages whatever it touches.
class Sword : public Entity {
public:
    static constexpr int kGradeCount = 3;  // wooden, steel, magic
    static constexpr float kReach = 27.0f;
    static constexpr float kRetractStep = 10.0f;  // pixels per tick, not per second
    static constexpr float kSwingTime = 0.08f;
    static constexpr int kHitInset = 7;

    // The owner must outlive the sword; it takes its swords out of the world
    // when it goes.
    Sword(NetSession* session, int grade, Entity* owner);

    void Tick(float dt) override;
    // A sword reacts to no event.
    void SendEvent(int event, void* arg1, void* arg2) override;

    // Puts the sword out from `from` along `facing`; restarts a swing that is
    // still running.
    void Swing(const Vec2& from, int facing);
    // Damages every entity the sword touches and tells the peer about those
    // the peer has too.
    void StrikeEnemies();

    Entity* GetOwner() const { return owner; }
    bool IsExtended() const { return visible && swingTime > 0.0f; }

    int32_t swordType = 0;
    float reach = 0.0f;
    float swingTime = 0.0f;
    Entity* owner = nullptr;
};

// The sprite each grade is drawn with; null outside the grades.
const char* SwordSpriteName(int grade);
