#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>

#include "app/TestApp.h"
#include "enemies/Enemy.h"
#include "engine/RunOptions.h"
#include "items/DeathSpark.h"
#include "items/Pickup.h"
#include "player/Tavin.h"
#include "tests/support/TestSupport.h"
#include "world/KarskRenderer.h"

namespace {

// The real game, watched after every update: which enemies appeared, which
// were struck, which died and what they left behind.
class WatchedApp : public CTestApp {
public:
    void Update() override
    {
        CTestApp::Update();
        EntityList& list = World()->GetEntityList();
        for (int i = 0; i < list.Count(); ++i) {
            Entity* e = list.Get(i);
            if (e->IsEnemy()) {
                enemies.insert(e->GetUID());
                if (e->IsFlashing() || e->GetState() == 10)
                    struck.insert(e->GetUID());
                screens.insert(int(e->GetScreen().y) * 16 + int(e->GetScreen().x));
            } else if (dynamic_cast<DeathSpark*>(e)) {
                sparks.insert(e);
            } else if (auto* p = dynamic_cast<Pickup*>(e); p && p->GetLifetime() > 0.0f) {
                drops.insert(p);
            }
        }
    }
    std::set<uint32_t> enemies, struck;
    std::set<int> screens;
    // The dead leave the list within the frame they die in; their sparks stay a while.
    std::set<const void*> sparks, drops;
};

}  // namespace

// One screen east of the start, swinging in every direction: the screen's
// enemy comes out of its cloud, is struck, killed and leaves a pickup; going
// back west empties the screen again.
TEST(Fight, TheHeroClearsTheScreenEastOfTheStart)
{
    std::string script = "5-150 right\n";
    for (int frame = 160; frame < 1900; frame += 40) {
        static const char* const turns[] = {"up", "right", "down", "left"};
        script += std::to_string(frame) + " " + turns[(frame / 40) % 4] + "\n";
        script += std::to_string(frame + 10) + " space\n";
        script += std::to_string(frame + 25) + " space\n";
    }
    // Then back west: leaving the screen takes its population with it.
    script += "1900-2000 left\n";
    const std::string scriptPath = TempPath("fight");
    std::ofstream(scriptPath) << script;
    ASSERT_TRUE(Quill::EnterDataDirectory(KARSK_TEST_DATA_DIR));

    Quill::RunOptions options;
    options.headless = options.fixedStep = options.fastClock = true;
    options.frames = 2100;
    options.inputScript = scriptPath;
    options.logFile = "";
    // A seed under which the red Krillop of the next screen meets the blade.
    options.seed = 6u;
    WatchedApp app;
    app.SetRunOptions(options);
    Quill::LaunchContext context;
    std::memset(&context, 0, sizeof context);
    context.width = context.height = 512;
    ASSERT_TRUE(app.Launch(&context));
    std::remove(scriptPath.c_str());

    EXPECT_GE(app.enemies.size(), 1u);
    EXPECT_GE(app.struck.size(), 1u);
    EXPECT_GE(app.sparks.size(), 1u);
    EXPECT_GE(app.drops.size(), 1u);
    EXPECT_EQ(app.screens, std::set<int>{7 * 16 + 8});
    EXPECT_EQ(app.ScreenX(), 7);
    EntityList& list = app.World()->GetEntityList();
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_FALSE(list.Get(i)->IsEnemy()) << list.Get(i)->GetName() << " outlived its screen";
}
