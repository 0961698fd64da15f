#include "tests/app/AppFixture.h"

TEST_F(AppTest, SpawnPlacesRegistersAndNumbersEntities)
{
    SpawnTable::Game().SetDefault(&TestEnemy::Make);
    Entity* a = app->Spawn(7, Vec2(100.0f, 80.0f), -1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetUID(), 10u);
    EXPECT_EQ(a->GetType(), 7);
    EXPECT_EQ(a->GetPosition(), Vec2(3200.0f, 2560.0f));
    EXPECT_EQ(world->GetEntityList().Get(0), a);  // spawned entities go to the front
    EXPECT_EQ(app->Spawn(2, Vec2(100.9f, 80.2f), -1)->GetUID(), 11u);
    EXPECT_EQ(app->Spawn(2, Vec2(100.0f, 80.0f), 57)->GetUID(), 57u);
    EXPECT_EQ(app->NextUID(), 12);

    const int before = world->GetEntityList().Count();
    EXPECT_EQ(app->Spawn(50, Vec2(100.0f, 80.0f), -1), nullptr);
    EXPECT_EQ(world->GetEntityList().Count(), before);
    EXPECT_EQ(app->NextUID(), 12);
}

TEST_F(AppTest, TheGameTableMakesEachEnemyTheBlockAndRedKrillopsForTheRest)
{
    EXPECT_EQ(SpawnTable().Create(3, nullptr), nullptr);  // an empty table knows no class
    RegisterGameSpawns();
    const struct {
        int type;
        const char* name;
        const char* sprite;
    } rows[] = {{2, "Blue Krillop", "KrillopBlue"},
                {6, "Nerrit", "Nerrit"},
                {9, "Gorlak", "GorlakRed"},
                {10, "Gorlak", "GorlakBlue"},
                {11, "Skeleton", "Skeleton"},
                {12, "Bat", "BatBlue"},
                {13, "Bat", "BatRed"},
                {18, "Snake", "Snake"},
                {30, "Pushblock", nullptr},
                {0, "Red Krillop", "KrillopRed"},
                {7, "Red Krillop", nullptr},
                {63, "Red Krillop", nullptr},
                {-4, "Red Krillop", nullptr}};
    for (const auto& row : rows) {
        EntityRef<Entity> e = SpawnTable::Game().Create(row.type, nullptr);
        ASSERT_TRUE(e) << row.type;
        EXPECT_STREQ(e->GetName(), row.name) << row.type;
        EXPECT_EQ(e->isEnemy, row.type != 30) << row.type;
        // No sprite sheet is loaded here, so the look asked for shows in the log.
        if (row.sprite) {
            EXPECT_TRUE(LogContains(std::string("unknown sprite ") + row.sprite)) << row.type;
        }
    }
    EXPECT_EQ(SpawnTable::Game().Create(50, nullptr), nullptr);  // type 50 makes nothing
}

// A screen gets its record's counts and its markers' enemies on free tiles
// inside the walls; bad rows are logged, full screens and screens off the
// grid get nothing, and the hero's own screen is not filled again for the peer.
TEST_F(AppTest, PopulateScreenFollowsTheRecordAndTheMarkers)
{
    SpawnTable::Game().SetDefault(&TestEnemy::Make);
    ScreenInfo& s = Screen(3, 4);
    s.spawnRange[0][0] = s.spawnRange[0][1] = 2;
    s.spawnRange[5][0] = 3;  // maximum 0: never spawned
    s.spawnRange[9][0] = 3;  // minimum above maximum: refused
    s.spawnRange[9][1] = 1;
    SetTile(3 * 16 + 4, 4 * 11 + 6, 16, 1);
    SetTile(3 * 16 + 5, 4 * 11 + 6, 5, 1);
    for (int c = 0; c < 16; ++c)
        for (int r = 0; r < 11; ++r) SetTile(2 * 16 + c, 2 * 11 + r, 1);
    Screen(2, 2).spawnRange[0][1] = 3;
    EXPECT_EQ(app->RandomFreeTile(2, 2), Vec2(-1.0f, -1.0f));
    app->PopulateScreen(2, 2, false);
    app->PopulateScreen(16, 2, false);
    app->PopulateScreen(-1, 40, true);
    EXPECT_EQ(CountEnemies(), 0);
    app->PopulateScreen(3, 4, false);
    EXPECT_EQ(CountEnemies(), 3);  // two from the record and the marker's block
    EXPECT_TRUE(LogContains("dirty tile"));
    EXPECT_TRUE(LogContains("minimum 3 above maximum 1"));
    for (int i = 0; i < world->GetEntityList().Count(); ++i) {
        Entity* e = world->GetEntityList().Get(i);
        if (!e->isEnemy)
            continue;
        Vec2 t = e->GetTile();
        EXPECT_TRUE(t.x >= 3 * 16 + 2 && t.x <= 3 * 16 + 13 && t.y >= 4 * 11 + 2 && t.y <= 4 * 11 + 8)
            << t.x << ", " << t.y;
    }

    Screen(7, 7).spawnRange[0][0] = Screen(7, 7).spawnRange[0][1] = 1;
    app->PopulateScreen(7, 7, true);
    EXPECT_EQ(CountEnemies(), 3);
    app->PopulateScreen(7, 7, false);
    EXPECT_EQ(CountEnemies(), 4);
}

// A broken record cannot fill a screen with more enemies than its spawn area
// (12 x 7 tiles) holds.
TEST_F(AppTest, PopulateScreenSpawnsAtMostTheSpawnAreasTiles)
{
    SpawnTable::Game().SetDefault(&TestEnemy::Make);
    Screen(5, 5).spawnRange[0][0] = Screen(5, 5).spawnRange[0][1] = 127;
    app->PopulateScreen(5, 5, false);
    EXPECT_EQ(CountEnemies(), 84);
    EXPECT_TRUE(LogContains("more than 84 enemies"));
}
