#include "world/KarskRenderer.h"

#include "engine/QuillApp.h"
#include "engine/QuillLogger.h"

KarskRenderer* g_renderer = nullptr;

namespace {
// Asks the engine to start video with a software screen.
constexpr int kEngineVideoFlags = 4096;
}  // namespace

KarskRenderer::KarskRenderer()
{
    g_renderer = this;
}

KarskRenderer::~KarskRenderer()
{
    Quill::Logger()->Log("KarskRenderer object destroyed");
    if (g_renderer == this)
        g_renderer = nullptr;
    entities.Clear();
}

bool KarskRenderer::Initialize(void* window, Quill::VideoRes* mode)
{
    if (!RendererSDL::Initialize(window, mode, kEngineVideoFlags))
        return false;
    InitTileFlags();
    LoadMap("overworld1.kmap");
    hudImage = LoadImage("kskhud32.bmp");
    footerImage = LoadImage("kskfooter32.bmp");
    LoadFont("ksktext32.bmp");
    return true;
}

void KarskRenderer::Shutdown()
{
    RendererSDL::Shutdown();
}

void KarskRenderer::SetView(int sx, int sy, float fx, float fy)
{
    screenX = sx;
    screenY = sy;
    scrollX = fx;
    scrollY = fy;
}

void KarskRenderer::AddEntity(Entity* entity, bool atFront)
{
    entities.Add(entity, atFront);
}

void KarskRenderer::RenderFrame()
{
    const float dt = Quill::g_quill ? Quill::g_quill->GetTimeKey() : 1.0f / 60.0f;
    for (int i = 0; i < entities.Count() && !frozen; ++i) {
        EntityRef<Entity> e = entities.Get(i);  // held: its Tick may take it out of the list
        if (e->state == 0) {
            entities.RemoveAt(i);
            --i;
            continue;
        }
        e->Tick(dt);
        e->inView = localPlayer && e->GetScreen() == localPlayer->GetScreen();
    }

    ClearScreen();
    DrawMap(screenX, screenY, scrollX, scrollY);
    for (int i = 0; i < entities.Count(); ++i) entities.Get(i)->Render(screenX, screenY);
    if (GetCurrentScreenInfo()->isDungeonRoom != 0)
        DrawDoors();
    DrawImage(hudImage, 0, 0);
    DrawImage(footerImage, 0, 480);
    if (Quill::g_quill)
        Quill::g_quill->RenderOverlay();
    StepFrame();
    PageFlip();
}

Entity* FindPlayer(uint32_t id)
{
    if (!g_renderer)
        return nullptr;
    EntityList& list = g_renderer->GetEntityList();
    for (int i = 0; i < list.Count(); ++i) {
        Entity* e = list.Get(i);
        if (e->isPlayer && e->GetUID() == id)
            return e;
    }
    return nullptr;
}

// The engine's renderer is always the world renderer in this game.
KarskRenderer* Quill::CQuillApp::CreateRenderer()
{
    renderer = std::make_unique<KarskRenderer>();
    return GetRenderer();
}

KarskRenderer* Quill::CQuillApp::GetRenderer() const { return static_cast<KarskRenderer*>(renderer.get()); }
