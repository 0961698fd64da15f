#include <gtest/gtest.h>

#include <set>

#include "tools/world/TiledMapReader.h"
#include "tools/world/WorldChecker.h"
#include "tools/world/WorldStats.h"

using namespace MapFormat;

// What the shipped world promises its players, beyond what the checker asks
// of every world.
namespace {

// Spawn types.
enum { kKrillopRed = 0, kKrillopBlue = 2, kNerrit = 6, kGorlakRed = 9, kGorlakBlue = 10, kSkeleton = 11 };
enum { kBatBlue = 12, kBatRed = 13, kSnake = 18 };

class ShippedWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() { map = new MapData(ktool::TiledMapReader::ReadFile(KARSK_WORLD_SOURCE)); }
    static void TearDownTestSuite()
    {
        delete map;
        map = nullptr;
    }

    static int Count(int sx, int sy, int first, int last)
    {
        int n = 0;
        for (int y = 0; y < kScreenRows; ++y) {
            for (int x = 0; x < kScreenColumns; ++x) {
                int t = map->Cell(0, sx * kScreenColumns + x, sy * kScreenRows + y);
                n += t >= first && t <= last;
            }
        }
        return n;
    }
    static int MostEnemies(const ScreenInfo& info)
    {
        int n = 0;
        for (int t = 0; t < kSpawnTypes; ++t) n += std::max(0, info.SpawnMax(t));
        return n;
    }

    static MapData* map;
};

MapData* ShippedWorld::map = nullptr;

}  // namespace

TEST_F(ShippedWorld, HasALargeOverworldAndThreeDungeonsEachEnteredByItsOwnStairsAndUsingEveryDoor)
{
    ktool::WorldStats stats(*map);
    EXPECT_GE(stats.overworldScreens, 48);
    ASSERT_GE(stats.dungeons.size(), 3u);
    std::set<std::pair<int, int>> entries, landings;
    for (const auto& d : stats.dungeons) {
        EXPECT_GE(d.rooms, 6);
        EXPECT_GE(d.entryX, 0) << "a dungeon without a way back up";
        entries.insert({d.entryX, d.entryY});
    }
    for (int sy = 0; sy < kRows / kScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (Count(sx, sy, 64, 64) == 0)
                continue;
            int target = map->Screen(sx, sy).stairsTarget;
            landings.insert({target % kColumns / kScreenColumns, target / kColumns / kScreenRows});
        }
    }
    EXPECT_EQ(landings, entries);
    EXPECT_EQ(stats.stairs, int(stats.dungeons.size()));
    // The checker bounds the locked doors by the keys; here every kind of door is used.
    for (int state = DOOR_OPEN; state <= DOOR_LOCKED; ++state) EXPECT_GT(stats.doorways[state], 0) << state;
    EXPECT_EQ(stats.pushBlocks, stats.doorways[DOOR_PUSH]);
}

TEST_F(ShippedWorld, EnemiesLiveWhereTheyBelong)
{
    ktool::WorldChecker world(*map);
    for (int sy = 0; sy < kRows / kScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            const ScreenInfo& info = map->Screen(sx, sy);
            const std::string where = std::to_string(sx) + "," + std::to_string(sy);
            const bool room = world.IsRoom(sx, sy);
            const bool forest = Count(sx, sy, 32, 47) > Count(sx, sy, 0, 15) + Count(sx, sy, 16, 31);
            const bool ruins = Count(sx, sy, 66, 67) + Count(sx, sy, 223, 229) >= 3;
            for (int t = 0; t < kSpawnTypes; ++t) {
                if (info.SpawnMax(t) <= 0)
                    continue;
                switch (t) {
                    case kKrillopRed:
                    case kKrillopBlue:
                        EXPECT_TRUE(!room && !forest && !ruins) << "Krillops on " << where;
                        break;
                    case kGorlakRed:
                    case kGorlakBlue:
                        EXPECT_TRUE(forest && !room) << "Gorlaks on " << where;
                        break;
                    case kSkeleton:
                    case kBatBlue:
                    case kBatRed:
                    case kSnake:
                        EXPECT_TRUE(room || ruins) << "type " << t << " on " << where;
                        break;
                    case kNerrit:
                        break;  // wherever there is water, which the checker sees to
                    default:
                        ADD_FAILURE() << "spawn type " << t << " on " << where;
                }
            }
        }
    }
}

TEST_F(ShippedWorld, OverworldEnemiesGrowInNumberAwayFromTheStart)
{
    ktool::WorldChecker world(*map);
    double nearSum = 0, farSum = 0;
    int nearCount = 0, farCount = 0;
    for (int sy = 0; sy < kRows / kScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (!world.IsOverworld(sx, sy))
                continue;
            int distance = std::abs(sx - ktool::WorldChecker::kStartScreenX) +
                           std::abs(sy - ktool::WorldChecker::kStartScreenY);
            if (distance >= 1 && distance <= 2) {
                nearSum += MostEnemies(map->Screen(sx, sy));
                ++nearCount;
            } else if (distance >= 5) {
                farSum += MostEnemies(map->Screen(sx, sy));
                ++farCount;
            }
        }
    }
    ASSERT_GT(nearCount, 0);
    ASSERT_GT(farCount, 0);
    EXPECT_GT(farSum / farCount, nearSum / nearCount + 1.0);
}
