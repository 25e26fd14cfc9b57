// DifficultyTable: see DifficultyTable.h.
//
// Why these values: calibrated with gemlode_diffsim (tools/diffsim), which
// plays whole games on the real board model with a player who waits 0.6-1.8 s
// after the board settles and then makes a random legal move (a steady but
// plain player; real players choose better moves). Multipliers rise by 1 per
// level in both modes, so "points needed" counts base points (10 a set).
//  - Normal: 450 + 150 per level. The simulated player needs ~21 moves
//    (~55 s) for level 1, ~26 for level 2, ~38 for level 3; normal games end
//    on "NO MOVES!", and a level-up deals a fresh board, so reaching levels
//    is the reward: the simulated player ends on level 3-4 after ~4 minutes.
//  - Timed: 250 + 75 per level, with a drain of 3 points/s (+1.5 per level),
//    accelerating by 0.04 points/s each second (+0.02 per level). The steady
//    player lasts ~7.5 minutes and ends on level 3-4; a quick one (0.3-0.9 s
//    per move) lasts ~12 minutes and reaches level 6. Level 1 takes ~40 s.
#include "tools/datagen/DifficultyTable.h"

#include <cstdio>

namespace Varn::DataGen {

const Difficulty& ChosenDifficulty() {
    static const Difficulty d{450, 150.0, 1.0, 1.0, 250, 75.0, 1.0, 1.0, 3.0, 1.5, 0.04, 0.02};
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
