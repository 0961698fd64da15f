#include "items/Jessel.h"

#include "player/Tavin.h"
#include "world/KarskRenderer.h"

Jessel::Jessel(int value, NetSession* session, KarskRenderer* world) : Pickup(session, world), value(value)
{
    SetName("Jessel");
    if (world)
        sprite = world->GetSpriteType("Jessel");
    const bool large = value > 1;
    frameBase = large ? 1 : 0;
    frameCount = large ? 0.0f : 2.0f;
    frameRate = 10.0f;
}

void Jessel::Collect(Entity* player)
{
    auto* hero = dynamic_cast<Tavin*>(player);
    if (!hero)
        return;
    // The hero counts it into the purse one unit per tick.
    hero->AddCurrency(value);
    Dead();
}
