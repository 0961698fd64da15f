#include "items/DeathSpark.h"

#include "world/KarskRenderer.h"

DeathSpark::DeathSpark(NetSession* session) : Entity(session)
{
    SetName("DeathSpark");
    if (renderer)
        sprite = renderer->GetSpriteType("DeathSpark");
    visible = true;
    transient = true;
    localOnly = true;
    untargetable = true;
    frameBase = 0;
    frameRate = 10.0f;
    frameCount = 5.0f;
}

void DeathSpark::SendEvent(int, void*, void*) {}

void DeathSpark::Tick(float dt)
{
    animate = true;
    Entity::Tick(dt);
    // The last frame of the sheet is never shown.
    if (frame >= frameCount - 1.0f)
        Dead();
}
