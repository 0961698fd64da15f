#pragma once

#include <cstdint>

#include "entity/EntityRef.h"
#include "entity/Vec2.h"

class KarskRenderer;
class NetSession;
class NetStream;
class Pickup;
namespace Quill {
struct SpriteType;
}

// Every object of the world: heroes, their weapons, enemies, pickups,
// push-blocks and short effects. Entities are heap-allocated and counted
// (see EntityRef); the last reference deletes them.
class Entity {
public:
    explicit Entity(NetSession* session);
    virtual ~Entity() = default;
    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;

    virtual void Render(int screenX, int screenY);
    virtual void Tick(float dt);
    virtual void Move(const Vec2& delta);
    virtual void SetPosition(const Vec2& p);
    virtual void SetTilePosition(const Vec2& t);
    virtual void SetScreen(float x, float y);
    virtual void SetScreen(Vec2 s);
    virtual Vec2 GetPosition() { return position; }
    virtual int GetDirection() { return direction; }
    virtual Vec2 GetTile() { return tile; }
    virtual Vec2 GetScreen() { return screen; }
    virtual void SetDirection(int d) { direction = d; }
    virtual void SetRemote(bool r) { remote = r; }
    virtual void Animate() { animate = true; }
    virtual void Dead();
    virtual void ProcessPush();
    virtual bool WriteState(NetStream* s);
    virtual bool ReadState(NetStream* s);
    // Events and the meaning of the two pointers are per class; event 11
    // places the entity on the tile (*arg1, *arg2).
    virtual void SendEvent(int event, void* arg1, void* arg2) = 0;
    virtual void SetState(int s);
    virtual void ModifyState(int bits);
    virtual void SetUID(uint32_t id) { uid = id; }
    virtual uint32_t GetUID() { return uid; }
    virtual void TakeDamage(float amount, int direction, Entity* source);
    virtual void SetPushDirection(int d) { pushDirection = d; }
    virtual void SetPushDistance(int n) { pushDistance = n; }
    virtual bool CanMoveTo(const Vec2& p);
    virtual bool InScreenBounds(const Vec2& p);

    void SetName(const char* n);
    void StartFlashing(float seconds);
    int SnapX(int grid);
    int SnapY(int grid);
    void StepToTile(int dir);
    // A new pickup for a drop kind (2 a five-piece, 4 a heart, 8 a key, any
    // other a single piece), not yet in the world; hand it to an EntityRef or
    // to the world list.
    Pickup* SpawnPickup(int kind);

    float GetHealth() const { return health; }
    float GetFlashTime() const { return flashTime; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    bool IsPlayer() const { return isPlayer; }
    bool IsEnemy() const { return isEnemy; }
    bool IsPickup() const { return isPickup; }
    bool IsPushable() const { return isPushable; }
    bool IsActive() const { return active; }
    bool IsTransient() const { return transient; }
    bool IsLocalOnly() const { return localOnly; }
    bool IsDead() const { return dead; }
    bool IsFlashing() const { return flashing; }
    bool IsVisible() const { return visible; }
    bool IsInView() const { return inView; }
    bool IsUntargetable() const { return untargetable; }
    bool IsInvulnerable() const { return invulnerable; }
    bool IsRemote() const { return remote; }
    bool HurtsOnTouch() const { return hurtsOnTouch; }
    int GetState() const { return state; }
    int GetType() const { return type; }
    void SetType(int t) { type = t; }
    void SetNetUpdated() { netUpdated = true; }
    const char* GetName() const { return name; }

    void AddRef() const { ++refCount; }
    void Release() const
    {
        if (--refCount == 0)
            delete this;
    }
    int RefCount() const { return refCount; }

    char name[64] = {};
    int32_t state = 1;
    float stateTime = 0.0f;
    Vec2 position;
    Vec2 tile;
    Vec2 screen;
    int32_t direction = DIR_UP;
    float speed = 0.0f;
    Vec2 destination;
    float maxHealth = 0.0f;
    float health = 0.0f;
    uint32_t uid = 0;
    bool remote = false;
    bool animate = false;
    bool isPlayer = false;
    bool isEnemy = false;
    bool isPickup = false;
    bool isPushable = false;
    bool active = false;
    int32_t type = 0;
    bool netUpdated = false;
    bool visible = true;
    bool hurtsOnTouch = false;
    int32_t touchDamage = 1;
    float spawnDelay = 0.0f;
    bool transient = false;
    bool localOnly = false;
    bool dead = false;
    bool invulnerable = false;
    bool inView = false;
    bool untargetable = false;
    bool flashing = false;
    float flashTime = 0.0f;
    int32_t width = 32;
    int32_t height = 32;
    int32_t moveDirection = DIR_NONE;
    int32_t pushDirection = DIR_NONE;
    int32_t pushDistance = 0;
    Quill::SpriteType* sprite = nullptr;
    int32_t frameBase = 0;
    float frame = 0.0f;
    float frameCount = 0.0f;
    float frameRate = 10.0f;
    KarskRenderer* renderer = nullptr;
    NetSession* session = nullptr;
    float cooldown = 0.0f;

protected:
    // Recomputes `tile` and `screen` from `position`.
    void DeriveTileAndScreen();

private:
    mutable int refCount = 0;
};

// True when the two boxes, each shrunk by `inset` on every side, overlap;
// boxes that only touch do not.
bool Overlaps(Entity* a, Entity* b, int inset);

// The engine's frame time in seconds (1/60 when no engine runs).
float EngineFrameTime();

// Whether a pixel position is a number on the map, or at most a tile beyond
// its edges: the places a peer's record may name.
bool IsPlaceOnMap(Vec2 p);
// What else a peer's record may set: frame numbers (frame base and frame)
// from 0 up to this, far beyond any sprite's yet small enough for drawing's
// arithmetic, and speeds from 0 up to this, above any walker's but too slow
// to throw an entity off the map in a frame.
constexpr int kMaxRecordFrame = 1024;
constexpr float kMaxRecordSpeed = 1000.0f;

// The tile under the centre of a 32 × 32 box at pixel position p.
Vec2 TileOfPosition(Vec2 p);
// The screen that holds a tile.
Vec2 ScreenOfTile(Vec2 t);
