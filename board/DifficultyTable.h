// DifficultyTable: the twelve numbers of the difficulty file ("data/diff.txt")
// that set each level's points needed, multiplier and timed-mode drain. The
// application reads and holds the table; the board interprets it when a level
// is set up.
//
// The file is plain text: twelve numbers separated by white space, read in
// order with formatted stream extraction (int, three reals, int, seven reals).
// Values that are missing or unreadable stay 0; the table has no defaults.
#pragma once

#include <istream>
#include <string>

namespace Varn {

struct DifficultyTable {
    static constexpr int kValueCount = 12;

    int normalPointsBase = 0;             // N0
    double normalPointsGrowth = 0.0;      // N1
    double normalMultiplierBase = 0.0;    // N2
    double normalMultiplierGrowth = 0.0;  // N3
    int timedPointsBase = 0;              // T0
    double timedPointsGrowth = 0.0;       // T1
    double timedMultiplierBase = 0.0;     // T2
    double timedMultiplierGrowth = 0.0;   // T3
    double drainRateBase = 0.0;           // D0
    double drainRateGrowth = 0.0;         // D1
    double drainAccelBase = 0.0;          // D2
    double drainAccelGrowth = 0.0;        // D3

    // True when both modes start with positive points needed and a positive,
    // finite multiplier, and neither falls with the level. A table that fails
    // this still never makes the board divide by zero; the application
    // decides what to do about it.
    bool IsPlayable() const;
};

// Reads values in file order until the first that cannot be read; returns how
// many were read (12 for a complete table). The rest keep their values.
int ReadDifficultyTable(std::istream& in, DifficultyTable& table);
// The same from a file; returns 0 when it cannot be opened.
int ReadDifficultyTableFile(const std::string& path, DifficultyTable& table);

}  // namespace Varn
