#pragma once

#include "entity/Entity.h"

// Kills since the last drop, shared by every enemy: once it passes five the
// next kill on the host drops something for sure.
extern int g_killsWithoutDrop;

// What every enemy shares. The host's copy decides (walks, turns, attacks,
// drops) and tells the peer; the peer's copy (`remote`) walks toward the
// destinations the host's records carry and attacks when told to.
//
// States: 0 dead, 1 start, 3 spawning, 4 decide, 5 walk, 8 attack, 10 stunned.
class Enemy : public Entity {
public:
    enum EnemyState {
        STATE_START = 1,
        STATE_SPAWNING = 3,
        STATE_DECIDE = 4,
        STATE_WALK = 5,
        STATE_ATTACK = 8,
        STATE_STUNNED = 10,
    };
    enum Event {
        EVENT_STEP_UP = 1,
        EVENT_STEP_DOWN = 2,
        EVENT_STEP_LEFT = 3,
        EVENT_STEP_RIGHT = 4,
        EVENT_ATTACK = 5,  // arg1: int32 direction
        EVENT_PLACE = 11,  // arg1, arg2: int32 column and row
    };
    static constexpr int kRecordSize = 52;
    static constexpr float kLootLifetime = 10.0f;

    // `spriteName` is also the sprite's name in the sprite definitions.
    Enemy(NetSession* session, const char* spriteName, const char* enemyName);

    void Dead() override;
    // The common record, then destination, health, frame base, frame, spawn
    // delay and speed.
    bool WriteState(NetStream* s) override;
    bool ReadState(NetStream* s) override;
    void SendEvent(int event, void* arg1, void* arg2) override;

    // Places a coin (70 %), a five-piece (15 %) or a heart (15 %) where the
    // enemy stands and tells the peer.
    virtual void DropLoot();

protected:
    // How a grid walker's decision may lead to an attack.
    enum class AttackRule {
        None,          // never attacks on its own
        OnRandomTurn,  // every randomly drawn direction, announced at once
        AfterStep,     // one step in ten, after the step is chosen
    };

    // The largest direction this kind understands; attacks toward anything
    // else are ignored.
    virtual int MaxDirection() const { return DIR_RIGHT; }
    // Whether event 11 flips the state the way placement does for most kinds.
    virtual bool PlacementFlipsState() const { return true; }
    // Whether the peer's copy walks on its own while off the local screen.
    virtual bool WalksUnseen() const { return true; }

    void PlayIfInView(int sound) const;
    // The states of the shooters that come out of a spawn cloud (Krillops,
    // Gorlaks): cloud, start, decide, walk, attack and, for those that can
    // be stunned, the stun.
    void TickGridShooter(float dt, AttackRule rule, bool animatesDeciding, bool stunnable);
    // The spawn cloud: frame 0 until 0.2 s remain, then frames 1 and 2.
    void TickSpawning(float dt);
    // Up to four tries for a one-tile step inside the screen; false when all
    // were blocked (the state then stays as it is).
    bool DecideGridStep(AttackRule rule);
    // Moves toward `destination`; on arrival the host decides again and a
    // replica waits for the next record.
    void TickWalk(float dt, bool setsFrameCount = true);
    // Moves up to `step` along `direction`; true when the destination was
    // reached (and taken).
    virtual bool Advance(float step);
    // After 0.5 s calls `Fire` and goes back to deciding (host) or walking.
    void TickAttack();
    virtual void Fire() {}
    // Two seconds without moving, then the walk resumes.
    void TickStunned();
    // The state after an attack or an arrival: 4 on the host, 5 on a replica.
    void ResumeAfterAction() { SetState(remote ? STATE_WALK : STATE_DECIDE); }
    void AnnounceAttack(int dir);

    // The walkers' rule for blows: a non-positive amount stuns those that can
    // be stunned; otherwise the blow flashes, knocks back and, on the last
    // point of health, kills (and may drop).
    void TakeWalkerDamage(float amount, int direction, bool rollsDropOnDeath, bool stunnable = true);
    // On the host: 35 % or after a long drought, resetting the drought.
    bool HostRollsDrop();
    void DieWithSpark();

    static Vec2 StepOf(int dir, float pixels);
};
