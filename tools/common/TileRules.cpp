#include "tools/common/TileRules.h"

namespace ktool {

int BlockMask(int tile)
{
    if (tile < 0 || tile > 255)
        return kBlockAll;
    if (tile >= 174)
        return kBlockAll;
    switch (tile) {
        case 3:
        case 19:
        case 35:
            return 7;
        case 4:
        case 20:
        case 36:
            return 11;
        case 5:
        case 21:
        case 37:
            return 13;
        case 6:
        case 22:
        case 38:
            return 14;
        case 168:
        case 170:
            return 5;
        case 169:
        case 171:
            return 10;
        case 120:
        case 121:
        case 172:
        case 173:
            return 3;
        default:
            break;
    }
    static const int kSolid[] = {1,  2,  7,  8,  17,  18,  23,  24,  33,  34,  39,  40,  59,  60, 63,
                                 66, 67, 78, 79, 110, 111, 126, 127, 143, 162, 163, 164, 166, 167};
    for (int t : kSolid) {
        if (t == tile)
            return kBlockAll;
    }
    if ((tile >= 48 && tile <= 56) || (tile >= 92 && tile <= 95) || (tile >= 136 && tile <= 141) ||
        (tile >= 150 && tile <= 159))
        return kBlockAll;
    return 0;
}

bool EnemyWalkable(int tile)
{
    static const int kWalkable[] = {0, 9, 10, 16, 18, 25, 32, 64, 160, 161};
    for (int t : kWalkable) {
        if (t == tile)
            return true;
    }
    return false;
}

}  // namespace ktool
