#include "items/Heart.h"

#include "player/Tavin.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "world/KarskRenderer.h"

Heart::Heart(NetSession* session, KarskRenderer* world) : Pickup(session, world)
{
    SetName("Heart");
    if (world)
        sprite = world->GetSpriteType("Heart");
    frameBase = 0;
    frameCount = 2.0f;
    frameRate = 10.0f;
}

void Heart::Collect(Entity* player)
{
    auto* hero = dynamic_cast<Tavin*>(player);
    if (!hero)
        return;
    hero->Heal(1.0f);
    Dead();
    if (inView)
        PlaySound(SND_GET_HEART);
}
