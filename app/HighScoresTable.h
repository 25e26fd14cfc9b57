// HighScoreTables: the high-score tables of both modes (normal 0, timed 1):
// today's best, valid only on the day it was made, and the five all-time
// entries, best first. Pure data and rules: the qualifying rank, recording a
// score, the result message after a game and the check value that guards
// each entry in the file. The file itself is HighScoresFile.h.
//
// Names are byte strings; a name is kept to at most kMaxNameLength bytes so
// that it always fits the file's reading rule.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

namespace Varn {

struct HighScoreEntry {
    std::string name;
    int32_t score = 0;

    bool operator==(const HighScoreEntry&) const = default;
};

struct HighScoreModeTable {
    static constexpr int kAllTimeEntries = 5;

    HighScoreEntry today;
    std::array<HighScoreEntry, kAllTimeEntries> allTime;

    bool operator==(const HighScoreModeTable&) const = default;
};

class HighScoreTables {
public:
    static constexpr int kModes = 2;
    static constexpr int kNormalMode = 0;
    static constexpr int kTimedMode = 1;
    static constexpr size_t kMaxNameLength = 255;

    // The defaults: no today entries, the built-in all-time lists.
    HighScoreTables();

    // 1-5 for the place the score would take in the all-time list, 0 when it
    // does not enter it. A score equal to an entry ranks below it.
    int QualifyingRank(int mode, int32_t score) const;
    // True when the score beats today's best (0 never beats an empty day).
    bool BeatsToday(int mode, int32_t score) const;
    // Inserts the score under the name into today's entry and the all-time
    // list where it qualifies; an empty name changes nothing.
    void Record(int mode, const std::string& name, int32_t score);

    HighScoreModeTable& Mode(int mode) { return modes[ClampMode(mode)]; }
    const HighScoreModeTable& Mode(int mode) const { return modes[ClampMode(mode)]; }

    std::array<HighScoreModeTable, kModes> modes;

    bool operator==(const HighScoreTables&) const = default;

private:
    static int ClampMode(int mode) { return mode == kTimedMode ? kTimedMode : kNormalMode; }
};

// The check value stored beside every entry: score XOR 0x5A17C3, then for each
// name byte, taken as a signed 8-bit value, XOR (byte * 17).
int32_t HighScoreCheck(int32_t score, const std::string& name);

// Local calendar date as (years since 1900) * 366 + day of the year (0-365).
int32_t DayNumber(std::time_t when);
int32_t CurrentDayNumber();

// "1st", "2nd", "3rd", "4th", ..., "11th", "12th", "13th", "21st", ...
std::string OrdinalText(int number);

// The message after a game with this score, from the tables as they stand
// before the score is recorded; empty when the score earns nothing.
std::string ResultMessage(const HighScoreTables& tables, int mode, int32_t score);

}  // namespace Varn
