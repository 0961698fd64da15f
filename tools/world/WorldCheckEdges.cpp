#include "tools/world/WorldChecker.h"

namespace ktool {

using namespace MapFormat;

namespace {

constexpr int kScreenWidthPx = kScreenColumns * 32;
constexpr int kScreenHeightPx = kScreenRows * 32;

}  // namespace

void WorldChecker::CheckEdges(int sx, int sy)
{
    const bool room = IsRoom(sx, sy);
    for (int side = 0; side < 4; ++side) {
        // The way back up the stairs has its own check.
        if (room && side == 1 && Info(sx, sy).exitSouthReturns)
            continue;
        const Side& s = kSides[side];
        int nx = sx + s.dx, ny = sy + s.dy;
        if (nx < 0 || ny < 0 || nx >= kScreenGridWidth || ny >= kScreenGridHeight) {
            CheckEdgeClosed(sx, sy, side, "it is the edge of the map");
        } else if (!IsDesigned(nx, ny)) {
            CheckEdgeClosed(sx, sy, side, Where(nx, ny) + " is not part of the world");
        } else if (IsRoom(nx, ny) != room) {
            CheckEdgeClosed(sx, sy, side,
                            Where(nx, ny) + (room ? " is an overworld screen" : " is a dungeon room"));
        } else if (side == 1 || side == 2) {
            // Each shared edge once, from its north or west screen.
            CheckEdgeMatch(sx, sy, side);
        }
    }
}

// Along a shared edge the hero must fit in a cell exactly when it fits in the
// facing cell; otherwise a walk that scrolls ends against a wall.
void WorldChecker::CheckEdgeMatch(int sx, int sy, int side)
{
    const Side& s = kSides[side];
    const int nx = sx + s.dx, ny = sy + s.dy;
    if (side == 2) {
        const float edge = float((sx + 1) * kScreenWidthPx);
        for (int q = 0; q < 2 * kScreenRows; ++q) {
            // Feet in quarter row q of the last column here and of the first column there.
            const float y = float(sy * kScreenHeightPx + 16 * (q - 1));
            bool here = probe.HeroFits(edge - 32.0f, y), there = probe.HeroFits(edge, y);
            if (here == there)
                continue;
            int row = q / 2;
            if (here)
                Report(Where(sx, sy, kScreenColumns - 1, row) +
                       ": the hero can walk here but not on into cell 0," + std::to_string(row) + " of " +
                       Where(nx, ny) + " across the east edge");
            else
                Report(Where(nx, ny, 0, row) + ": the hero can walk here but not on into cell " +
                       std::to_string(kScreenColumns - 1) + "," + std::to_string(row) + " of " +
                       Where(sx, sy) + " across the west edge");
        }
        return;
    }
    const float edge = float((sy + 1) * kScreenHeightPx);
    for (int k = 0; k + 1 < 2 * kScreenColumns; ++k) {
        // Feet over quarter columns k and k + 1, in the last row here and the first row there.
        const float x = float(sx * kScreenWidthPx + 16 * k);
        bool here = probe.HeroFits(x, edge - 32.0f), there = probe.HeroFits(x, edge - 16.0f);
        if (here == there)
            continue;
        int column = k / 2;
        for (int j = k; j <= k + 1; ++j) {
            float qx = float(sx * kScreenWidthPx + 16 * j + 8);
            if (probe.PixelBlocked(qx, edge - 8.0f) != probe.PixelBlocked(qx, edge + 8.0f)) {
                column = j / 2;
                break;
            }
        }
        if (here)
            Report(Where(sx, sy, column, kScreenRows - 1) + ": the hero can walk here but not on into cell " +
                   std::to_string(column) + ",0 of " + Where(nx, ny) + " across the south edge");
        else
            Report(Where(nx, ny, column, 0) + ": the hero can walk here but not on into cell " +
                   std::to_string(column) + "," + std::to_string(kScreenRows - 1) + " of " + Where(sx, sy) +
                   " across the north edge");
    }
}

// The quarters along an edge that leads nowhere must all block, so that the
// hero's feet never reach the line.
void WorldChecker::CheckEdgeClosed(int sx, int sy, int side, const std::string& why)
{
    const bool vertical = side >= 2;
    const int count = vertical ? 2 * kScreenRows : 2 * kScreenColumns;
    for (int i = 0; i < count; ++i) {
        float x, y;
        int cx, cy;
        if (vertical) {
            x = float(sx * kScreenWidthPx) + (side == 2 ? float(kScreenWidthPx) - 8.0f : 8.0f);
            y = float(sy * kScreenHeightPx + 16 * i + 8);
            cx = side == 2 ? kScreenColumns - 1 : 0;
            cy = i / 2;
        } else {
            x = float(sx * kScreenWidthPx + 16 * i + 8);
            y = float(sy * kScreenHeightPx) + (side == 1 ? float(kScreenHeightPx) - 8.0f : 8.0f);
            cx = i / 2;
            cy = side == 1 ? kScreenRows - 1 : 0;
        }
        if (!probe.PixelBlocked(x, y))
            Report(Where(sx, sy, cx, cy) + ": the " + kSides[side].name + " edge leads nowhere (" + why +
                   "), but the hero could cross it here");
    }
}

}  // namespace ktool
