#pragma once

#include "entity/Entity.h"
#include "entity/EntityRef.h"
#include "entity/Vec2.h"

class KarskRenderer;
class NetSession;

// The second base of everything that is thrown, shot or laid: the two heroes
// it may meet and the checks that all of them share. It is not polymorphic;
// each item derives from Entity first.
class Projectile {
public:
    static constexpr int kHitInset = 6;
    static constexpr int kPlayerCount = 2;

    // Looks up the heroes with uid 0 and 1 once; a hero who joins later is
    // never seen by this projectile.
    explicit Projectile(KarskRenderer* world);

    // The hero of that slot while it is still in the world, else null: a hero
    // taken out of the world (a dropped peer) is no longer a target.
    Entity* Player(int slot) const;

    // Whether the position, taken relative to its own screen, lies within the
    // margins (inclusive). A position that is not a number is outside.
    static bool InInnerScreen(Vec2 position, float xmin, float xmax, float ymin, float ymax);
    // The step of `distance` along up, down, left or right; none for any other direction.
    static Vec2 StraightStep(int direction, float distance);
    // Up and down, left and right swap; anything else has no opposite.
    static int Opposite(int direction);
    // A hero blocks a projectile travelling `direction` when it faces it and
    // is not swinging its sword.
    static bool ShieldBlocks(Entity* player, int direction);
    // As above, and the projectile is no stronger than the hero's shield.
    static bool ShieldBlocks(Entity* player, int direction, float strength);
    // The hero's shield level; an entity that is not a hero has none.
    static int ShieldLevel(Entity* player);
    // A hit the host decides: the target's TakeDamage with no source, then
    // the peer is told, with the target as it is after the hit. Entities that
    // exist on this machine only are not announced, since the peer's entity
    // with the same uid is a different one.
    static void Strike(NetSession* session, Entity* target, float amount, int direction);
    // Plays the sound when the entity is on the local hero's screen.
    static void PlayIfInView(const Entity& entity, int sound);
    // Marks whether a just-launched entity is on the local hero's screen, as
    // the world does each frame, so that its launch sound is heard at once.
    static void RefreshInView(Entity& entity, KarskRenderer* world);
    // A value from a caller that is not a finite number counts as `fallback`.
    static float Finite(float value, float fallback = 0.0f);

    EntityRef<Entity> players[kPlayerCount];
};

// The settings every thrown, shot or laid item starts with: its name and the
// sprite of that name, visible, transient, on this machine only, ignored by
// swords, facing up, with the given animation.
void SetUpProjectile(Entity& e, const char* name, KarskRenderer* world, float frameCount, float frameRate);
