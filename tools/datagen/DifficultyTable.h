// DifficultyTable: the twelve numbers of data/diff.txt (points needed and
// multiplier per mode, timed-mode drain) with the reasoning behind them.
#pragma once

#include <string>

namespace Varn::DataGen {

struct Difficulty {
    int normalBase;           // points needed on the first level, before the multiplier
    double normalGrowth;      // extra points needed per level
    double normalMultiplier;  // multiplier on the first level
    double normalMultiplierGrowth;
    int timedBase;
    double timedGrowth;
    double timedMultiplier;
    double timedMultiplierGrowth;
    double drainBase;    // points per second drained on the first level
    double drainGrowth;  // extra points per second per level
    double drainAccel;   // points per second, per second within a level
    double drainAccelGrowth;
};

const Difficulty& ChosenDifficulty();
// The file text: the twelve values, whitespace separated, in the game's read order.
std::string DifficultyTableText();

}  // namespace Varn::DataGen
