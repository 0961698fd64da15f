#include "tests/enemies/EnemyTestSupport.h"

#include "enemies/Bat.h"
#include "enemies/Gorlak.h"
#include "enemies/Krillop.h"
#include "enemies/Nerrit.h"
#include "enemies/Skeleton.h"
#include "enemies/Snake.h"

Enemy* NewEnemy(Kind kind, NetSession* s)
{
    using Make = Enemy* (*)(NetSession*);
    static const Make make[] = {
        [](NetSession* s) -> Enemy* { return new CKrillopBlue(s); },
        [](NetSession* s) -> Enemy* { return new CKrillopRed(s); },
        [](NetSession* s) -> Enemy* { return new Gorlak(s, false); },
        [](NetSession* s) -> Enemy* { return new Gorlak(s, true); },
        [](NetSession* s) -> Enemy* { return new Nerrit(s); },
        [](NetSession* s) -> Enemy* { return new Bat(s, false); },
        [](NetSession* s) -> Enemy* { return new Skeleton(s); },
        [](NetSession* s) -> Enemy* { return new Snake(s); },
    };
    return make[kind](s);
}

void EnemyTest::SetUp()
{
    TavinTest::SetUp();
    std::srand(7);
    g_killsWithoutDrop = 0;
}

int EnemyTest::FramesIn(Entity* e, int state, int limit)
{
    int frames = 0;
    for (; frames < limit && e->GetState() == state; ++frames) RunFrames(1);
    return frames;
}
