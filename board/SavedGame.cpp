// SavedGame: encoding and validating decoding of the saved-game bytes.
#include "board/SavedGame.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Varn {

namespace {

constexpr std::int32_t kVersion = 1;
constexpr int kStateCount = 10;
constexpr std::int32_t kGameOverFallState = 5;
constexpr std::int32_t kGameOverShownState = 6;
// States in which every cell holds a gem (the others may have gaps:
// Clearing, the game-over states and the new-level wipe).
constexpr bool kNeedsFullGrid[kStateCount] = {true,  true,  true, true,  false,
                                              false, false, true, false, true};
constexpr std::int32_t kLevelLimit = 1000000;  // keeps level + 2 and k * growth sane
constexpr double kSpeedLimit = 1000.0;         // pixels (or radians) per tick
constexpr double kRadiusLimit = 2000.0;        // pixels from the board centre
constexpr std::int32_t kWipeLineLimit = 1000;  // the wipe ends past line 480

class Writer {
public:
    void Bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        out.insert(out.end(), p, p + size);
    }
    void Byte(bool value) { out.push_back(value ? 1 : 0); }
    void Int(std::int32_t value) {
        const auto u = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }
    void Real(double value) {
        std::uint64_t u;
        std::memcpy(&u, &value, sizeof u);
        for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }
    void Zeros(std::size_t count) { out.insert(out.end(), count, 0); }
    std::vector<std::uint8_t> out;
};

// Reads past the end return zero and set failed; the length is checked up
// front, so that only happens for inconsistent callers.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : data(bytes) {}
    bool Available(std::size_t size) const { return data.size() - pos >= size; }
    std::uint8_t Byte() { return Available(1) ? data[pos++] : Fail(1); }
    std::int32_t Int() {
        if (!Available(4)) return Fail(4);
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(data[pos + i]) << (8 * i);
        pos += 4;
        return static_cast<std::int32_t>(u);
    }
    double Real() {
        if (!Available(8)) return Fail(8);
        std::uint64_t u = 0;
        for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(data[pos + i]) << (8 * i);
        pos += 8;
        double value;
        std::memcpy(&value, &u, sizeof value);
        return value;
    }
    void Skip(std::size_t count) { Available(count) ? void(pos += count) : void(Fail(count)); }
    std::uint8_t Fail(std::size_t) {
        failed = true;
        pos = data.size();
        return 0;
    }
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
    bool failed = false;
};

void WriteGem(Writer& w, const Gem& g) {
    w.Int(g.kind);
    w.Zeros(4);
    w.Real(g.x);
    w.Real(g.y);
    w.Int(g.column);
    w.Int(g.row);
    w.Int(g.vx);
    w.Zeros(4);
    w.Real(g.vy);
    w.Int(g.swapDx);
    w.Int(g.swapDy);
    w.Byte(g.glowing);
    w.Zeros(7);
    w.Real(g.glow);
    w.Int(g.glowFrame);
    w.Byte(g.vanishing);
    w.Zeros(3);
    w.Int(g.vanishFrame);
    w.Int(g.spinFrame);
    w.Int(g.sparkleCountdown);
    w.Int(g.sparkleFrame);
    w.Real(g.angle);
    w.Real(g.angularSpeed);
    w.Real(g.radius);
}

// Reads the record; flags are kept as raw bytes so the caller can refuse 2-255.
Gem ReadGem(Reader& r, std::uint8_t& glowingByte, std::uint8_t& vanishingByte) {
    Gem g;
    g.kind = r.Int();
    r.Skip(4);
    g.x = r.Real();
    g.y = r.Real();
    g.column = r.Int();
    g.row = r.Int();
    g.vx = r.Int();
    r.Skip(4);
    g.vy = r.Real();
    g.swapDx = r.Int();
    g.swapDy = r.Int();
    glowingByte = r.Byte();
    r.Skip(7);
    g.glow = r.Real();
    g.glowFrame = r.Int();
    vanishingByte = r.Byte();
    r.Skip(3);
    g.vanishFrame = r.Int();
    g.spinFrame = r.Int();
    g.sparkleCountdown = r.Int();
    g.sparkleFrame = r.Int();
    g.angle = r.Real();
    g.angularSpeed = r.Real();
    g.radius = r.Real();
    g.glowing = glowingByte == 1;
    g.vanishing = vanishingByte == 1;
    return g;
}

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

SavedGameError CheckGem(const Gem& g, int column, int row) {
    const bool finite = std::isfinite(g.x) && std::isfinite(g.y) && std::isfinite(g.vy) &&
                        std::isfinite(g.glow) && std::isfinite(g.angle) &&
                        std::isfinite(g.angularSpeed) && std::isfinite(g.radius);
    // Speeds and radii beyond anything play produces would keep a fall, a
    // drop-away or a whirl from ever finishing.
    const bool bounded = std::abs(g.vy) <= kSpeedLimit && std::abs(g.angularSpeed) <= kSpeedLimit &&
                         g.radius >= 0.0 && g.radius <= kRadiusLimit;
    const bool valid = finite && bounded && InRange(g.kind, 0, kGemKinds - 1) &&
                       g.column == column && g.row == row && InRange(g.glowFrame, 0, 14) &&
                       InRange(g.vanishFrame, 0, 5) && InRange(g.spinFrame, 0, 14) &&
                       g.sparkleCountdown >= 0 && g.sparkleFrame >= 0;
    return valid ? SavedGameError::None : SavedGameError::BadGem;
}

// Walks the presence bytes only, to learn the length the file must have.
SavedGameError CheckLength(std::span<const std::uint8_t> bytes) {
    std::size_t pos = kSavedGameHeadSize;
    for (int cell = 0; cell < kBoardCells; ++cell) {
        if (pos >= bytes.size()) return SavedGameError::WrongLength;
        const std::uint8_t present = bytes[pos];
        if (present > 1) return SavedGameError::BadFlag;
        pos += 1 + (present ? kSavedGemRecordSize : 0);
    }
    return bytes.size() == pos + kSavedGameTailSize ? SavedGameError::None
                                                    : SavedGameError::WrongLength;
}

SavedGameError ReadCells(Reader& r, SavedGame& g) {
    for (int cell = 0; cell < kBoardCells; ++cell) {
        if (r.Byte() == 0) {
            g.cells[cell].reset();
            continue;
        }
        std::uint8_t glowing = 0, vanishing = 0;
        const Gem gem = ReadGem(r, glowing, vanishing);
        if (glowing > 1 || vanishing > 1) return SavedGameError::BadFlag;
        const SavedGameError error = CheckGem(gem, cell % kBoardColumns, cell / kBoardColumns);
        if (error != SavedGameError::None) return error;
        g.cells[cell] = gem;
    }
    return SavedGameError::None;
}

// The 116-byte tail, field by field in file order.
SavedGameError ReadTail(Reader& r, SavedGame& g) {
    g.state = r.Int();
    const std::uint8_t timed = r.Byte();
    const std::uint8_t noMove = r.Byte();
    g.barPixels = r.Int();
    g.playedSeconds = r.Int();
    g.idleTicks = r.Int();
    g.score = r.Int();
    g.multiplier = r.Real();
    g.displayedScore = r.Int();
    g.gemsCleared = r.Int();
    g.setsThisMove = r.Int();
    g.cascadeLevel = r.Int();
    g.longestCascade = r.Int();
    g.bestMove = r.Int();
    const std::uint8_t frozen = r.Byte();
    g.reserved = r.Int();
    g.levelStartScore = r.Int();
    g.levelTargetScore = r.Int();
    g.pointsNeeded = r.Int();
    g.drain = r.Real();
    g.drainRate = r.Real();
    g.drainAccel = r.Real();
    g.barFrame = r.Int();
    g.wipeLine = r.Int();
    g.blackHoleFrame = r.Int();
    g.whirlpoolVolume = r.Real();
    const std::uint8_t levelMessage = r.Byte();
    if (timed > 1 || noMove > 1 || frozen > 1 || levelMessage > 1) return SavedGameError::BadFlag;
    g.boardTimedMode = timed == 1;
    g.noMoveYet = noMove == 1;
    g.statsFrozen = frozen == 1;
    g.levelMessage = levelMessage == 1;
    return SavedGameError::None;
}

// The game never saves a game that is ending; a board restored in one of
// those states would wait for a game-over screen that never comes.
bool IsEndingState(std::int32_t state) {
    return state == kGameOverFallState || state == kGameOverShownState;
}

// Counts that only grow from 0, and a multiplier that starts at 1.
bool ReachableByPlay(const SavedGame& g) {
    return g.appTimedMode == g.boardTimedMode && g.score >= 0 && g.displayedScore >= 0 &&
           g.gemsCleared >= 0 && g.longestCascade >= 0 && g.bestMove >= 0 && g.multiplier >= 1.0;
}

SavedGameError CheckValues(const SavedGame& g) {
    if (!InRange(g.state, 0, kStateCount - 1) || IsEndingState(g.state))
        return SavedGameError::BadState;
    if (kNeedsFullGrid[g.state]) {
        for (const auto& cell : g.cells)
            if (!cell) return SavedGameError::BadState;
    }
    const bool finite = std::isfinite(g.multiplier) && std::isfinite(g.drain) &&
                        std::isfinite(g.drainRate) && std::isfinite(g.drainAccel) &&
                        std::isfinite(g.whirlpoolVolume);
    const bool valid = finite && InRange(g.level, 0, kLevelLimit) &&
                       InRange(g.levelNumber, 0, kLevelLimit) && InRange(g.barPixels, 0, 340) &&
                       InRange(g.barFrame, 0, 24) && InRange(g.blackHoleFrame, 0, 8) &&
                       InRange(g.wipeLine, 0, kWipeLineLimit) && g.whirlpoolVolume >= 0.0 &&
                       g.whirlpoolVolume <= 1.0 && g.playedSeconds >= 0 && g.cascadeLevel >= 0 &&
                       g.setsThisMove >= 0 && ReachableByPlay(g);
    return valid ? SavedGameError::None : SavedGameError::BadValue;
}

}  // namespace

std::vector<std::uint8_t> EncodeSavedGame(const SavedGame& g) {
    Writer w;
    w.out.reserve(kSavedGameFullSize);
    w.Int(kVersion);
    w.Byte(g.appTimedMode);
    w.Int(g.level);
    w.Int(g.levelNumber);
    for (const auto& cell : g.cells) {
        w.Byte(cell.has_value());
        if (cell) WriteGem(w, *cell);
    }
    w.Int(g.state);
    w.Byte(g.boardTimedMode);
    w.Byte(g.noMoveYet);
    w.Int(g.barPixels);
    w.Int(g.playedSeconds);
    w.Int(g.idleTicks);
    w.Int(g.score);
    w.Real(g.multiplier);
    w.Int(g.displayedScore);
    w.Int(g.gemsCleared);
    w.Int(g.setsThisMove);
    w.Int(g.cascadeLevel);
    w.Int(g.longestCascade);
    w.Int(g.bestMove);
    w.Byte(g.statsFrozen);
    w.Int(g.reserved);
    w.Int(g.levelStartScore);
    w.Int(g.levelTargetScore);
    w.Int(g.pointsNeeded);
    w.Real(g.drain);
    w.Real(g.drainRate);
    w.Real(g.drainAccel);
    w.Int(g.barFrame);
    w.Int(g.wipeLine);
    w.Int(g.blackHoleFrame);
    w.Real(g.whirlpoolVolume);
    w.Byte(g.levelMessage);
    return std::move(w.out);
}

SavedGameError DecodeSavedGame(std::span<const std::uint8_t> bytes, SavedGame& out) {
    if (bytes.size() < 4) return SavedGameError::WrongLength;
    Reader r(bytes);
    if (r.Int() != kVersion) return SavedGameError::BadVersion;
    const SavedGameError lengthError = CheckLength(bytes);
    if (lengthError != SavedGameError::None) return lengthError;

    SavedGame g;
    const std::uint8_t appTimed = r.Byte();
    if (appTimed > 1) return SavedGameError::BadFlag;
    g.appTimedMode = appTimed == 1;
    g.level = r.Int();
    g.levelNumber = r.Int();
    SavedGameError error = ReadCells(r, g);
    if (error == SavedGameError::None) error = ReadTail(r, g);
    if (error == SavedGameError::None) error = CheckValues(g);
    if (error != SavedGameError::None) return error;
    if (r.failed || r.pos != bytes.size()) return SavedGameError::WrongLength;
    out = g;
    return SavedGameError::None;
}

bool MultiplierWithinTable(const SavedGame& game, const DifficultyTable& table) {
    const double growth =
        game.boardTimedMode ? table.timedMultiplierGrowth : table.normalMultiplierGrowth;
    const double base =
        game.boardTimedMode ? table.timedMultiplierBase : table.normalMultiplierBase;
    const double highest = std::max(1.0, game.level * growth + base);
    // A hair of slack for the rounding of the sum written by an older build.
    return game.multiplier <= highest * (1.0 + 1e-9);
}

const char* SavedGameErrorText(SavedGameError error) {
    switch (error) {
        case SavedGameError::None:
            return "valid";
        case SavedGameError::WrongLength:
            return "wrong length";
        case SavedGameError::BadVersion:
            return "not version 1";
        case SavedGameError::BadFlag:
            return "a flag byte is neither 0 nor 1";
        case SavedGameError::BadGem:
            return "a gem record is out of range";
        case SavedGameError::BadState:
            return "bad state or missing gems";
        case SavedGameError::BadValue:
            return "a field is out of range";
        case SavedGameError::BadMultiplier:
            return "the multiplier is beyond what its level reaches";
    }
    return "unknown";
}

}  // namespace Varn
