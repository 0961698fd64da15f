#include "enemies/Nerrit.h"

#include <cmath>
#include <cstdlib>

#include "items/EnergyBall.h"
#include "items/Pickup.h"
#include "memory/TrackedNew.h"
#include "net/GameMessages.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

namespace {

constexpr float kTile = 32.0f;
constexpr float kRiseTime = 2.0f;
constexpr float kAimTime = 0.5f;
constexpr float kUpTime = 1.0f;
constexpr float kDiveTime = 1.5f;
constexpr float kFullHealth = 2.0f;
constexpr float kFlashTime = 0.5f;
constexpr float kBallSpeed = 225.0f;
constexpr float kBallPower = 2.0f;
constexpr int kWaterTries = 32;
constexpr int kDropHeart = 4;

// The screen a position rounds into.
Vec2 ScreenOfPosition(Vec2 p)
{
    return {std::floor(std::floor((p.x + 16.0f) / kTile) / 16.0f),
            std::floor(std::floor((p.y + 16.0f) / kTile) / 11.0f)};
}

}  // namespace

Nerrit::Nerrit(NetSession* session) : Enemy(session, "Nerrit", "Nerrit")
{
    frame = 0.0f;
    speed = std::rand() % 4 < 3 ? 50.0f : 100.0f;
    health = kFullHealth;
    visible = false;
    spawnDelay = 0.0f;
    SetState(STATE_START);
}

void Nerrit::SetDirection(int dir)
{
    Entity::SetDirection(dir);
    frameBase = dir == DIR_DOWN ? 3 : 2;
}

void Nerrit::SendEvent(int event, void* arg1, void* arg2)
{
    switch (event) {
        case EVENT_ATTACK: {
            if (!arg1)
                return;
            SetDirection(*static_cast<int32_t*>(arg1));
            SetState(STATE_ATTACK);
            hasFired = true;
            FireBall();
            break;
        }
        case EVENT_PLACE: {
            if (!arg1 || !arg2)
                return;
            const int column = *static_cast<int32_t*>(arg1), row = *static_cast<int32_t*>(arg2);
            visible = false;
            SetPosition(Vec2(float(column) * kTile, float(row) * kTile));
            SetState(STATE_DECIDE);
            SetDirection(DIR_UP);
            SetScreen(std::floor(float(column) / 16.0f), std::floor(float(row) / 11.0f));
            break;
        }
        default:
            break;
    }
}

void Nerrit::Tick(float dt)
{
    Entity::Tick(dt);
    switch (state) {
        case STATE_START:
            frameBase = 3;
            frameCount = 0.0f;
            animate = false;
            visible = false;
            SetState(STATE_DECIDE);
            break;
        case STATE_SPAWNING:  // diving
            spawnDelay -= dt;
            frameBase = 0;
            frameCount = 2.0f;
            animate = true;
            visible = true;
            if (spawnDelay <= 0.0f) {
                spawnDelay = 0.0f;
                // The peer's copy keeps diving until the host says it is up.
                SetState(remote ? STATE_SPAWNING : STATE_DECIDE);
            }
            break;
        case STATE_DECIDE: {  // under water
            visible = false;
            if (remote) {
                SetState(STATE_WALK);
                break;
            }
            const Vec2 water = FindWaterTile(int(screen.x), int(screen.y));
            if (water.x >= 0.0f) {
                SetPosition(water * kTile);
                SetState(STATE_WALK);
            }
            break;
        }
        case STATE_WALK:  // rising
            frameBase = 0;
            frameCount = 2.0f;
            animate = true;
            visible = true;
            if (stateTime >= kRiseTime) {
                hasFired = false;
                SetState(STATE_ATTACK);
            }
            break;
        case STATE_ATTACK: {  // up
            SetInvulnerable(false);
            frameBase = 3;
            frameCount = 0.0f;
            frame = 0.0f;
            if (!remote && stateTime > kAimTime && !hasFired) {
                int32_t up = DIR_UP;
                SendEvent(EVENT_ATTACK, &up, nullptr);
                AnnounceAttack(direction);
            }
            if (stateTime > kUpTime) {
                spawnDelay = kDiveTime;
                SetState(STATE_SPAWNING);
                health = kFullHealth;
                SetInvulnerable(true);
            }
            break;
        }
        default:
            break;
    }
}

void Nerrit::FireBall()
{
    if (!AimTarget())
        return;
    EntityRef<EnergyBall> ball = KARSK_NEW EnergyBall(session, renderer);
    const Vec2 aim = AimAtPlayer();
    ball->SetPosition(position);
    ball->Launch(aim.x, aim.y, kBallSpeed, kBallPower);
    if (renderer)
        renderer->AddEntity(ball.get(), false);
}

Entity* Nerrit::AimTarget()
{
    if (!renderer)
        return nullptr;
    // Heroes only: a hero's swords and boomerangs carry uid 0 as well.
    Entity* hosts = FindPlayer(0);
    Entity* joiners = FindPlayer(1);
    const Vec2 here = ScreenOfPosition(position);
    auto onScreen = [&here](Entity* e) { return e && ScreenOfPosition(e->GetPosition()) == here; };
    Entity* target = hosts;
    if (session && session->IsConnected()) {
        if (onScreen(joiners))
            target = joiners;
        if (onScreen(hosts))
            target = hosts;
    }
    // A hero who is not there is never aimed at.
    return target ? target : joiners;
}

Vec2 Nerrit::AimAtPlayer()
{
    Entity* target = AimTarget();
    if (!target)
        return {0.0f, 0.0f};
    const Vec2 d = target->GetPosition() - position;
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    // Right on top of it: straight down, towards the player's eye.
    if (!(length > 0.0f) || !std::isfinite(length))
        return {0.0f, 1.0f};
    return {d.x / length, d.y / length};
}

Vec2 Nerrit::FindWaterTile(int sx, int sy)
{
    if (!renderer)
        return {-1.0f, -1.0f};
    for (int attempt = 0; attempt < kWaterTries; ++attempt) {
        const int column = sx * 16 + 1 + std::rand() % 14;
        const int row = sy * 11 + 1 + std::rand() % 9;
        if (renderer->GetMapTile(column, row, 0) == kWaterTile)
            return {float(column), float(row)};
    }
    return {-1.0f, -1.0f};
}

void Nerrit::TakeDamage(float amount, int, Entity*)
{
    if (flashing)
        return;
    if (amount > 0.0f)
        health -= amount;
    StartFlashing(kFlashTime);
    if (health > 0.0f) {
        PlayIfInView(SND_HIT);
        return;
    }
    // Unlike the walkers, a long drought forces the drop on either machine.
    const bool lucky = IsHost(session) && std::rand() % 100 < 35;
    if (lucky || g_killsWithoutDrop > 5) {
        g_killsWithoutDrop = 0;
        DropLoot();
    }
    Dead();
}

void Nerrit::DropLoot()
{
    EntityRef<Pickup> heart = SpawnPickup(kDropHeart);
    heart->Place(position, kLootLifetime);
    if (renderer)
        renderer->AddEntity(heart.get(), false);
    SendPickupDrop(session, kDropHeart, position, kLootLifetime);
}
