#include "app/RunSummary.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "app/TestApp.h"
#include "engine/QuillLogger.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...)
{
    char line[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    return line;
}

std::string Hero(const char* role, Tavin* hero)
{
    if (!hero)
        return Format("hero %s: none\n", role);
    const Vec2 p = hero->GetPosition();
    const Vec2 s = hero->GetScreen();
    return Format("hero %s \"%s\": x %.2f y %.2f screen %d %d health %.2f currency %d keys %d bombs %d\n",
                  role, hero->GetPlayerName(), double(p.x), double(p.y), int(s.x), int(s.y),
                  double(hero->GetHealth()), int(hero->currency), int(hero->keys), int(hero->bombs));
}

}  // namespace

std::string DescribeRun(CTestApp& app)
{
    static const char* const kSides[5] = {"?", "north", "south", "east", "west"};
    std::string text = Format("frames %u\n", app.FramesRun());
    text += Hero("local", app.LocalPlayer());
    text += Hero("remote", app.RemotePlayer());
    KarskRenderer* world = app.World();
    if (!world)
        return text;
    const auto& doors = world->OpenedDoors();
    text += Format("doors opened: %zu\n", doors.size());
    for (const KarskRenderer::OpenedDoor& d : doors)
        text += Format("door %d %d %s\n", d.sx, d.sy, d.door >= 1 && d.door <= 4 ? kSides[d.door] : "?");
    const EntityList& list = world->GetEntityList();
    std::string enemies;
    int alive = 0;
    for (int i = 0; i < list.Count(); ++i) {
        Entity* e = list.Get(i);
        if (!e || !e->IsEnemy() || e->GetHealth() <= 0.0f)
            continue;
        ++alive;
        const Vec2 p = e->GetPosition();
        enemies += Format("enemy %u %s: x %.2f y %.2f health %.2f\n", unsigned(e->GetUID()), e->GetName(),
                          double(p.x), double(p.y), double(e->GetHealth()));
    }
    return text + Format("enemies alive: %d\n", alive) + enemies;
}

bool WriteRunSummary(CTestApp& app, const std::string& path)
{
    const std::string text = DescribeRun(app);
    std::ofstream out(path, std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        Quill::Logger()->Log("run summary: cannot write %s", path.c_str());
        return false;
    }
    Quill::Logger()->Log("run summary written to %s", path.c_str());
    return true;
}
