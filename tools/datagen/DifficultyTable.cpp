// DifficultyTable: see DifficultyTable.h.
//
// Why these values. Estimates for a steady player: a move every ~2.2 s (swap
// 0.36 s, clearing and refilling ~1 s, a moment to look), ~15 base points a
// move (mostly single sets of 3 at 10, a cascade or a set of 4 every few
// moves). Multipliers rise by 1 per level in both modes, so points needed per
// level grow only through the "growth" values, measured in base points.
//  - Normal: 700 + 175 per level base points: ~47 moves for level 1, ~58 for
//    level 2, ~70 for level 3; a level takes a few minutes and the game ends
//    on "NO MOVES!", not on a wall.
//  - Timed: 250 + 75 per level. The drain (points per second, times the
//    multiplier) starts at 1.5 and grows 0.6 per level; within a level it
//    accelerates by 0.02 (+0.01 per level) per second. A steady player nets
//    ~5 points/s on level 1 (~50 s), ~4.6 on level 2 (~100 s) and cannot
//    outpace the drain on level 3, where the bar empties after ~4.5 minutes:
//    about 7 minutes in all. A quick player (a move a second) gets 2-3 levels
//    further. These figures want checking with the board model by simulation.
#include "tools/datagen/DifficultyTable.h"

#include <cstdio>

namespace Varn::DataGen {

const Difficulty& ChosenDifficulty() {
    static const Difficulty d{700, 175.0, 1.0, 1.0, 250, 75.0, 1.0, 1.0, 1.5, 0.6, 0.02, 0.01};
    return d;
}

std::string DifficultyTableText() {
    const Difficulty& d = ChosenDifficulty();
    char text[256];
    std::snprintf(text, sizeof text, "%d %.2f %.2f %.2f\n%d %.2f %.2f %.2f\n%.2f %.2f %.3f %.3f\n",
                  d.normalBase, d.normalGrowth, d.normalMultiplier, d.normalMultiplierGrowth,
                  d.timedBase, d.timedGrowth, d.timedMultiplier, d.timedMultiplierGrowth,
                  d.drainBase, d.drainGrowth, d.drainAccel, d.drainAccelGrowth);
    return text;
}

}  // namespace Varn::DataGen
