// Board: the saved game. The board's fields go to and from a SavedGame
// record; SavedGame.cpp owns the byte layout and the validation.
//
// LoadGame reads and checks the whole file before it changes anything, so a
// short or damaged file is refused like one of a wrong version and the board
// stays as it was.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "board/Board.h"
#include "board/SavedGame.h"
#include "board/SavedGameFile.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

namespace Varn {

namespace {

// A refused swap on its way back: its gems changed cells at the turn. The
// saved game continues Idle with each gem in the cell it started from.
void PutSwapPairBack(SavedGame& saved, const Gem& a, const Gem& b) {
    const int cellA = a.row * kBoardColumns + a.column;
    const int cellB = b.row * kBoardColumns + b.column;
    if (!saved.cells[cellA] || !saved.cells[cellB]) return;
    std::swap(saved.cells[cellA], saved.cells[cellB]);
    for (const int cell : {cellA, cellB}) {
        saved.cells[cell]->column = cell % kBoardColumns;
        saved.cells[cell]->row = cell / kBoardColumns;
    }
}

}  // namespace

bool Board::CanSaveGame() const {
    return !noMoveYet && state != BoardState::GameOverFall && state != BoardState::GameOverShown;
}

SavedGame Board::MakeSavedGame() const {
    SavedGame s;
    s.appTimedMode = timedMode;
    s.level = level;
    s.levelNumber = levelNumber;
    for (int row = 0; row < kBoardRows; ++row)
        for (int column = 0; column < kBoardColumns; ++column)
            if (const Gem* gem = grid.At(column, row)) s.cells[row * kBoardColumns + column] = *gem;
    s.state = static_cast<std::int32_t>(state);
    s.boardTimedMode = timedMode;
    s.noMoveYet = noMoveYet;
    s.barPixels = barPixels;
    s.playedSeconds = playedSeconds;
    s.idleTicks = idleTicks;
    s.score = score;
    s.multiplier = multiplier;
    s.displayedScore = displayedScore;
    s.gemsCleared = gemsCleared;
    s.setsThisMove = setsThisMove;
    s.cascadeLevel = cascadeLevel;
    s.longestCascade = longestCascade;
    s.bestMove = bestMove;
    s.statsFrozen = statsFrozen;
    s.reserved = reserved;
    s.levelStartScore = levelStartScore;
    s.levelTargetScore = levelTargetScore;
    s.pointsNeeded = pointsNeeded;
    s.drain = drain;
    s.drainRate = drainRate;
    s.drainAccel = drainAccel;
    s.barFrame = barFrame;
    s.wipeLine = wipeLine;
    s.blackHoleFrame = blackHoleFrame;
    s.whirlpoolVolume = whirlpoolVolume;
    s.levelMessage = levelMessage;
    if (state == BoardState::SwappingBack && swapA && swapB) PutSwapPairBack(s, *swapA, *swapB);
    return s;
}

bool Board::SaveGame() {
    PauseBoard(false);
    ResumeBoard(false);
    const SavedGame saved = MakeSavedGame();
    // The application's mode is the board's: the application makes each
    // board for its current mode and switches its mode on loading.
    const std::vector<std::uint8_t> bytes = EncodeSavedGame(saved);
    if (!WriteFileAtomically(
            savePath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return false;
    holdsSavedGame = true;
    return true;
}

bool Board::SavedGameExists() const {
    // Checked without opening: a FIFO in its place would block the open. Anything but a
    // regular file is no saved game.
    return RegularFileExists(savePath);
}

bool Board::LoadGame() {
    const auto bytes = ReadSmallFile(savePath, kSavedGameFullSize);
    if (!bytes) return false;
    SavedGame saved;
    SavedGameError error = DecodeSavedGame(*bytes, saved);
    if (error == SavedGameError::None && !MultiplierWithinTable(saved, host.Difficulty()))
        error = SavedGameError::BadMultiplier;
    if (error != SavedGameError::None) {
        std::fprintf(stderr, "%s refused: %s\n", savePath.c_str(), SavedGameErrorText(error));
        return false;
    }
    host.SetMode(saved.appTimedMode, false);
    ApplySavedGame(saved);
    host.ClearStartTipWanted();
    holdsSavedGame = true;
    return true;
}

void Board::ApplySavedGame(const SavedGame& s) {
    level = s.level;
    levelNumber = s.levelNumber;
    ForgetGemPointers();
    for (int cell = 0; cell < kBoardCells; ++cell) {
        const int column = cell % kBoardColumns;
        const int row = cell / kBoardColumns;
        if (!s.cells[cell]) {
            grid.Put(column, row, nullptr);
            continue;
        }
        auto gem = std::make_unique<Gem>(*s.cells[cell]);
        gem->x = ColumnX(column);
        gem->y = RowY(row);
        grid.Put(column, row, std::move(gem));
    }
    state = static_cast<BoardState>(s.state);
    if (state == BoardState::Swapping || state == BoardState::SwappingBack)
        state = BoardState::Idle;
    timedMode = s.boardTimedMode;
    noMoveYet = s.noMoveYet;
    barPixels = s.barPixels;
    playedSeconds = s.playedSeconds;
    idleTicks = s.idleTicks;
    score = s.score;
    multiplier = s.multiplier;
    displayedScore = s.displayedScore;
    gemsCleared = s.gemsCleared;
    setsThisMove = s.setsThisMove;
    cascadeLevel = s.cascadeLevel;
    longestCascade = s.longestCascade;
    bestMove = s.bestMove;
    statsFrozen = s.statsFrozen;
    reserved = s.reserved;
    levelStartScore = s.levelStartScore;
    levelTargetScore = s.levelTargetScore;
    pointsNeeded = s.pointsNeeded;
    drain = s.drain;
    drainRate = s.drainRate;
    drainAccel = s.drainAccel;
    barFrame = s.barFrame;
    wipeLine = s.wipeLine;
    blackHoleFrame = s.blackHoleFrame;
    whirlpoolVolume = s.whirlpoolVolume;
    levelMessage = s.levelMessage;
    MarkDirty();
}

bool Board::KeepRefusedSavedGame() const {
    if (savePath.empty() || !RegularFileExists(savePath)) return false;
    return std::rename(savePath.c_str(), (savePath + ".bad").c_str()) == 0;
}

bool Board::DeleteSavedGame() const {
    return !savePath.empty() && std::remove(savePath.c_str()) == 0;
}

void Board::GiveUpSavedGame() {
    if (!std::exchange(holdsSavedGame, false) || DeleteSavedGame() || errno == ENOENT) return;
    std::fprintf(stderr, "%s: the saved game of a game that ended could not be removed: %s\n",
                 savePath.c_str(), std::strerror(errno));
}

}  // namespace Varn
