#include <deque>

#include "entity/Entity.h"
#include "tools/world/WorldChecker.h"

namespace ktool {

using namespace MapFormat;

namespace {

constexpr int kStep = 16;  // the hero walks on a 16-pixel grid across its way
constexpr int kLatticeColumns = kColumns * 32 / kStep;
constexpr int kLatticeRows = kRows * 32 / kStep;
constexpr int kStairsTile = 64;

struct Position {
    int x, y;  // pixels, multiples of kStep
};

// The screen the application scrolls to for a hero at p.
std::pair<int, int> ScrollScreen(const Position& p)
{
    return {(p.x + 16) / (kScreenColumns * 32), (p.y + 16) / (kScreenRows * 32)};
}

// The screen the hero itself belongs to, which picks its stairs target.
std::pair<int, int> HeroScreen(const Position& p)
{
    Vec2 screen = ScreenOfTile(TileOfPosition(Vec2(float(p.x), float(p.y))));
    return {int(screen.x), int(screen.y)};
}

}  // namespace

// A flood fill over the places the hero can stand, with every door open and
// the push-blocks in their first places; stairs carry it to their landing.
void WorldChecker::CheckReachable()
{
    std::vector<uint8_t> seen(size_t(kLatticeColumns) * kLatticeRows, 0);
    std::deque<Position> frontier;
    std::set<std::pair<int, int>> returns, stairsTaken;
    auto visit = [&](const Position& p) {
        if (p.x < 0 || p.y < 0 || p.x / kStep >= kLatticeColumns || p.y / kStep >= kLatticeRows)
            return;
        uint8_t& mark = seen[size_t(p.y / kStep) * kLatticeColumns + size_t(p.x / kStep)];
        if (mark || !probe.HeroFits(float(p.x), float(p.y)))
            return;
        mark = 1;
        frontier.push_back(p);
    };
    visit({kHostColumn * 32, kStartRow * 32});
    visit({kGuestColumn * 32, kStartRow * 32});
    MapData& world = probe.Map();
    while (!frontier.empty()) {
        const Position p = frontier.front();
        frontier.pop_front();
        const int column = (p.x + 16) / 32, row = (p.y + 30) / 32;
        if (row < kRows && world.Cell(0, column, row) == kStairsTile) {
            stairsTaken.insert({column, row});
            auto [hx, hy] = HeroScreen(p);
            int target = Info(hx, hy).stairsTarget;
            if (target > 0 && target < kColumns * kRows)
                visit({target % kColumns * 32 + 16, target / kColumns * 32});
        }
        const auto here = ScrollScreen(p);
        const Position next[4] = {
            {p.x, p.y - kStep}, {p.x, p.y + kStep}, {p.x - kStep, p.y}, {p.x + kStep, p.y}};
        for (const Position& q : next) {
            const auto there = ScrollScreen(q);
            if (there != here) {
                if (IsRoom(here.first, here.second) && Info(here.first, here.second).exitSouthReturns &&
                    there.second > here.second) {
                    if (probe.HeroFits(float(q.x), float(q.y)))
                        returns.insert(here);
                    continue;
                }
                if (!IsDesigned(there.first, there.second))
                    continue;
            }
            visit(q);
        }
    }

    std::set<std::pair<int, int>> screens;
    for (int ly = 0; ly < kLatticeRows; ++ly) {
        for (int lx = 0; lx < kLatticeColumns; ++lx) {
            if (seen[size_t(ly) * kLatticeColumns + size_t(lx)])
                screens.insert(HeroScreen({lx * kStep, ly * kStep}));
        }
    }
    for (int sy = 0; sy < kRows / kScreenRows; ++sy) {
        for (int sx = 0; sx < kScreenGridWidth; ++sx) {
            if (!IsDesigned(sx, sy))
                continue;
            if (!screens.count({sx, sy})) {
                Report(Where(sx, sy) + ": cannot be reached from the start, even with every door open");
                continue;
            }
            if (IsRoom(sx, sy) && Info(sx, sy).exitSouthReturns && !returns.count({sx, sy}))
                Report(Where(sx, sy) + ": the way back up across its south edge cannot be reached");
            for (int y = 0; y < kScreenRows; ++y) {
                for (int x = 0; x < kScreenColumns; ++x) {
                    int c = sx * kScreenColumns + x, r = sy * kScreenRows + y;
                    if (world.Cell(0, c, r) == kStairsTile && !stairsTaken.count({c, r}))
                        Report(Where(sx, sy, x, y) + ": the hero cannot reach these stairs");
                }
            }
        }
    }
    for (const PushPlace& block : blocks) {
        if (block.pushFrom.empty() || !screens.count({block.sx, block.sy}))
            continue;
        bool reached = false;
        for (const auto& [c, r] : block.pushFrom)
            reached = reached || seen[size_t(r * 32 / kStep) * kLatticeColumns + size_t(c * 32 / kStep)] != 0;
        if (!reached)
            Report(Where(block.sx, block.sy, block.x, block.y) +
                   ": the hero cannot reach a side from which this push-block can be pushed");
    }
}

}  // namespace ktool
