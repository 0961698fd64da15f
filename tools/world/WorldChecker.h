#pragma once

#include <set>
#include <string>
#include <vector>

#include "tools/world/HeroProbe.h"
#include "world/MapFormat.h"

namespace ktool {

// Checks that a world is playable with the game's own collision code: screen
// edges that match, stairs that land and lead back, doors that pass and agree
// with the room behind them, push-blocks that can be pushed, spawns that fit,
// free start cells and the clearing around them, at most two locked doors, and every screen reachable on
// foot from the start. Every problem names its screen and cell.
class WorldChecker {
public:
    explicit WorldChecker(const MapFormat::MapData& map);

    std::vector<std::string> Check();

    // Where the heroes start (cells) and the screen that holds them.
    static constexpr int kHostColumn = 120;
    static constexpr int kGuestColumn = 118;
    static constexpr int kStartRow = 83;
    static constexpr int kStartScreenX = 7;
    static constexpr int kStartScreenY = 7;
    // Free ground from the second hero's cell to three cells right of the
    // host's, in the start row and the two rows above.
    static constexpr int kClearingRight = 3;
    static constexpr int kClearingRows = 3;
    // The two keys each hero starts with; nothing in the game gives more.
    static constexpr int kKeys = 2;

    // A screen with any tile, marker or record field set.
    bool IsDesigned(int sx, int sy) const;
    bool IsRoom(int sx, int sy) const;
    bool IsOverworld(int sx, int sy) const { return IsDesigned(sx, sy) && !IsRoom(sx, sy); }

private:
    struct Side {
        const char* name;
        int dx, dy;
        int opposite;  // index of the facing side
    };
    static const Side kSides[4];  // north, south, east, west: the record's door order

    const ScreenInfo& Info(int sx, int sy) const;
    int Tile(int sx, int sy, int x, int y) const;
    int Marker(int sx, int sy, int x, int y) const;
    void Report(const std::string& message);
    static std::string Where(int sx, int sy);
    static std::string Where(int sx, int sy, int x, int y);

    void CheckRecordsBelowTiles();
    void CheckStart();
    void CheckSpawns(int sx, int sy);
    void CheckEdges(int sx, int sy);
    void CheckEdgeMatch(int sx, int sy, int side);
    void CheckEdgeClosed(int sx, int sy, int side, const std::string& why);
    void CheckDoors(int sx, int sy);
    void CheckDoorPassage(int sx, int sy, int side);
    void CheckStairs(int sx, int sy);
    void CheckReturn(int sx, int sy);
    void CheckPushBlocks(int sx, int sy);
    void CheckPushDoors(int sx, int sy);
    void CheckClearDoors(int sx, int sy);
    void CheckKeys();
    void CheckReachable();

    // The world with every door open, as a hero who has opened them sees it.
    void OpenAllDoors();

    MapFormat::MapData map;
    HeroProbe probe;
    std::vector<std::string> problems;
    std::set<std::string> reported;

    struct PushPlace {
        int sx, sy, x, y;                           // the block's screen and cell
        std::vector<std::pair<int, int>> pushFrom;  // hero cells (global) that push it somewhere free
    };
    std::vector<PushPlace> blocks;
};

}  // namespace ktool
