#include "app/StateReport.h"

#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/TestApp.h"
#include "engine/QuillLogger.h"
#include "entity/Entity.h"
#include "net/NetSession.h"
#include "player/Tavin.h"
#include "world/EntityList.h"
#include "world/KarskRenderer.h"

namespace {

volatile sig_atomic_t g_stateRequested = 0;

void OnStateSignal(int)
{
    g_stateRequested = 1;
}

void InstallStateSignal()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnStateSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted sleeps and socket calls go on as if nothing happened.
    action.sa_flags = SA_RESTART;
    if (sigaction(SIGUSR1, &action, nullptr) != 0)
        Quill::Logger()->Log("state report: cannot catch SIGUSR1: %s", std::strerror(errno));
}

void WriteHero(std::FILE* file, Entity* hero)
{
    if (!hero)
        return;
    const Vec2 p = hero->GetPosition();
    std::fprintf(file, "hero\t%u\t%.2f\t%.2f\t%.2f\t%d\n", unsigned(hero->GetUID()), double(p.x), double(p.y),
                 double(hero->GetHealth()), hero->GetDirection());
}

}  // namespace

std::string StateReportPath(const std::string& logFile)
{
    if (logFile.empty())
        return std::string();
    const std::string suffix = ".log";
    const bool endsInLog = logFile.size() > suffix.size() &&
                           logFile.compare(logFile.size() - suffix.size(), suffix.size(), suffix) == 0;
    return (endsInLog ? logFile.substr(0, logFile.size() - suffix.size()) : logFile) + ".state";
}

bool WriteStateReport(CTestApp& app, const std::string& path)
{
    // Written aside and renamed, so a reader never sees half a file.
    const std::string partial = path + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "w");
    if (!file) {
        Quill::Logger()->Log("state report: cannot write %s: %s", partial.c_str(), std::strerror(errno));
        return false;
    }
    NetSession* session = app.Session();
    std::fprintf(file, "frame\t%u\nrole\t%s\nconnected\t%d\nscrolling\t%d\n", app.FramesRun(),
                 app.IsServer() ? "host" : "client", session && session->IsConnected() ? 1 : 0,
                 app.IsScrolling() ? 1 : 0);
    // The host's hero first, whichever copy this is.
    Entity* local = app.LocalPlayer();
    Entity* remote = app.RemotePlayer();
    WriteHero(file, app.IsServer() ? local : remote);
    WriteHero(file, app.IsServer() ? remote : local);
    if (KarskRenderer* world = app.World()) {
        const EntityList& entities = world->GetEntityList();
        for (int i = 0; i < entities.Count(); ++i) {
            Entity* e = entities.Get(i);
            if (!e || !e->IsEnemy() || e->IsDead() || e->GetState() == 0)
                continue;
            std::string name = e->GetName();
            for (char& c : name)
                if (c == '\t' || c == '\n' || c == '\r')
                    c = ' ';
            const Vec2 p = e->GetPosition();
            std::fprintf(file, "enemy\t%u\t%.2f\t%.2f\t%.2f\t%d\t%s\n", unsigned(e->GetUID()), double(p.x),
                         double(p.y), double(e->GetHealth()), e->GetState(), name.c_str());
        }
    }
    const bool written = !std::ferror(file);
    if (std::fclose(file) != 0 || !written || std::rename(partial.c_str(), path.c_str()) != 0) {
        Quill::Logger()->Log("state report: writing %s failed", path.c_str());
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

void ServeStateRequest(CTestApp& app)
{
    static bool installed = false;
    if (!installed) {
        InstallStateSignal();
        installed = true;
    }
    if (!g_stateRequested)
        return;
    g_stateRequested = 0;
    const std::string path = StateReportPath(app.GetRunOptions().logFile);
    if (path.empty()) {
        Quill::Logger()->Log("state report: asked for, but there is no log file to write it beside");
        return;
    }
    if (WriteStateReport(app, path))
        Quill::Logger()->Log("state report: frame %u written to %s", app.FramesRun(), path.c_str());
}
