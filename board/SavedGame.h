// SavedGame: the contents of the saved-game file and its byte layout, apart
// from the board. Little-endian, no padding between fields:
//   int32 version (1), byte app timed mode, int32 level, int32 level number,
//   64 cells (row 0-7, column 0-7), each a presence byte 0/1 followed, when 1,
//   by the 120-byte gem record (Gem.h field order, natural alignment, padding
//   written as zero), then the 116-byte tail in the order of the fields below.
// A full board gives 13 + 64 * 121 + 116 = 7873 bytes.
//
// DecodeSavedGame checks the whole input before it reports success, so a
// refused file never leaves anything half-applied.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "board/BoardGeometry.h"
#include "board/DifficultyTable.h"
#include "board/Gem.h"

namespace Varn {

constexpr std::size_t kSavedGemRecordSize = 120;
constexpr std::size_t kSavedGameHeadSize = 13;
constexpr std::size_t kSavedGameTailSize = 116;
constexpr std::size_t kSavedGameFullSize =
    kSavedGameHeadSize + kBoardCells * (1 + kSavedGemRecordSize) + kSavedGameTailSize;

struct SavedGame {
    bool appTimedMode = false;
    std::int32_t level = 0;
    std::int32_t levelNumber = 1;
    std::array<std::optional<Gem>, kBoardCells> cells;  // row by row
    std::int32_t state = 0;
    bool boardTimedMode = false;
    bool noMoveYet = false;
    std::int32_t barPixels = 0;
    std::int32_t playedSeconds = 0;
    std::int32_t idleTicks = 0;
    std::int32_t score = 0;
    double multiplier = 1.0;
    std::int32_t displayedScore = 0;
    std::int32_t gemsCleared = 0;
    std::int32_t setsThisMove = 0;
    std::int32_t cascadeLevel = 0;
    std::int32_t longestCascade = 0;
    std::int32_t bestMove = 0;
    bool statsFrozen = false;
    std::int32_t reserved = 0;
    std::int32_t levelStartScore = 0;
    std::int32_t levelTargetScore = 0;
    std::int32_t pointsNeeded = 0;
    double drain = 0.0;
    double drainRate = 0.0;
    double drainAccel = 0.0;
    std::int32_t barFrame = 0;
    std::int32_t wipeLine = 0;
    std::int32_t blackHoleFrame = 0;
    double whirlpoolVolume = 0.0;
    bool levelMessage = false;
};

enum class SavedGameError {
    None,
    WrongLength,    // shorter or longer than its cells say
    BadVersion,     // not version 1
    BadFlag,        // a presence or yes/no byte other than 0 or 1
    BadGem,         // kind, cell, frame, speed or radius out of range, or not finite
    BadState,       // state outside 0-9, a game-over state, or empty cells in a state
                    // that needs a full grid
    BadValue,       // another field out of its range (a negative score, a multiplier
                    // below 1, mode bytes that disagree), or a non-finite real
    BadMultiplier,  // a multiplier beyond the one the difficulty table gives its level
};

std::vector<std::uint8_t> EncodeSavedGame(const SavedGame& game);
// Fills out only when the whole input is valid.
SavedGameError DecodeSavedGame(std::span<const std::uint8_t> bytes, SavedGame& out);
// The multiplier grows with the level as the table says; the game never
// holds more than the table gives the saved level in the saved mode.
bool MultiplierWithinTable(const SavedGame& game, const DifficultyTable& table);
const char* SavedGameErrorText(SavedGameError error);

}  // namespace Varn
