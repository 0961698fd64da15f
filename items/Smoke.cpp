#include "items/Smoke.h"

#include <cstdlib>

#include "world/KarskRenderer.h"

float Smoke::flickerTimer = 0.0f;

Smoke::Smoke(NetSession* session, KarskRenderer* world) : Entity(session), world(world)
{
    SetName("Smoke");
    if (world)
        sprite = world->GetSpriteType("Smoke");
    visible = true;
    transient = true;
    localOnly = true;
    untargetable = true;
    direction = DIR_UP;
}

void Smoke::SendEvent(int, void*, void*) {}

void Smoke::Start(float x, float y)
{
    SetPosition(Vec2(x, y));
    frameBase = 0;
    frameRate = float(std::rand() % 200) / 100.0f + 3.0f;
    frameCount = kFrames;
}

void Smoke::Tick(float dt)
{
    animate = false;
    frame += dt * frameRate;
    flickerTimer -= dt;
    if (frame > kSteadyFrames && flickerTimer <= 0.0f) {
        visible = !visible;
        flickerTimer = kFlickerInterval;
    }
    if (frame >= frameCount)
        Dead();
    Entity::Tick(dt);
}
