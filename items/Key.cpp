#include "items/Key.h"

#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

Key::Key(NetSession* session, KarskRenderer* world) : Pickup(session, world)
{
    SetName("Key");
    if (world)
        sprite = world->GetSpriteType("Key");
    frameBase = 0;
    frameCount = 0.0f;
    frameRate = 0.0f;
}

void Key::Collect(Entity* player)
{
    auto* hero = dynamic_cast<Tavin*>(player);
    if (!hero)
        return;
    hero->AddKey();
    Dead();
    if (inView)
        PlaySound(SND_KEY);
}
