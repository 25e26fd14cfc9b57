// FakeBoardHost: a recording BoardHost for the board tests, plus helpers
// that lay out a known grid. Every random draw comes from its seeded
// GameRandom; time is a counter the test sets.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/DifficultyTable.h"
#include "board/GameRandom.h"

namespace Varn::test {

struct PlayedSound {
    int id = 0;
    bool hasPan = false;
    int pan = 0;
};

class FakeSoundLoop : public BoardSoundLoop {
public:
    FakeSoundLoop(std::vector<double>* volumes, int* live) : volumes_(volumes), live_(live) {
        ++*live_;
    }
    ~FakeSoundLoop() override { --*live_; }
    void SetVolume(double volume) override { volumes_->push_back(volume); }

private:
    std::vector<double>* volumes_;
    int* live_;
};

class FakeBoardHost : public BoardHost {
public:
    explicit FakeBoardHost(std::uint32_t seed = 1) : random(seed) {
        // Normal: 500 points at multiplier 1, +1 per level. Timed: 400 points.
        table.normalPointsBase = 500;
        table.normalPointsGrowth = 100;
        table.normalMultiplierBase = 1.0;
        table.normalMultiplierGrowth = 1.0;
        table.timedPointsBase = 400;
        table.timedPointsGrowth = 50;
        table.timedMultiplierBase = 1.0;
        table.timedMultiplierGrowth = 1.0;
        table.drainRateBase = 20.0;
        table.drainRateGrowth = 5.0;
        table.drainAccelBase = 0.5;
        table.drainAccelGrowth = 0.1;
    }

    void PlaySound(int id) override { sounds.push_back({id, false, 0}); }
    void PlaySound(int id, int pan) override { sounds.push_back({id, true, pan}); }
    std::unique_ptr<BoardSoundLoop> StartSoundLoop(int id) override {
        loopIds.push_back(id);
        if (!soundWorks) return nullptr;
        return std::make_unique<FakeSoundLoop>(&loopVolumes, &liveLoops);
    }
    void ShowStartTip() override { ++startTipsShown; }
    bool CloseDialog(int id) override {
        closedDialogs.push_back(id);
        return true;
    }
    bool StartTipWanted() override { return showStartTip; }
    void ClearStartTipWanted() override { showStartTip = false; }
    int TimesPlayed() override { return timesPlayed; }
    void SetTimesPlayed(int count) override { timesPlayed = count; }
    void ShowGameOver() override { ++gameOversShown; }
    void NewBoard() override { ++newBoards; }
    void SetMode(bool timed, bool restart) override { modeCalls.push_back({timed, restart}); }
    const DifficultyTable& Difficulty() override { return table; }
    GameRandom& Random() override { return random; }
    std::uint32_t TickCountMs() override { return nowMs; }
    int MessageTextWidth(const std::string& text) override {
        return 20 * static_cast<int>(text.size());
    }
    int MessageFontHeight() override { return 40; }
    int MessageFontAscent() override { return 30; }
    int DigitFontAscent() override { return 20; }

    int CountSound(int id) const {
        int n = 0;
        for (const auto& s : sounds) n += s.id == id;
        return n;
    }

    GameRandom random;
    DifficultyTable table;
    std::uint32_t nowMs = 100000;
    bool showStartTip = false;
    int timesPlayed = 10;
    bool soundWorks = true;
    std::vector<PlayedSound> sounds;
    std::vector<int> loopIds;
    std::vector<double> loopVolumes;
    int liveLoops = 0;
    int startTipsShown = 0;
    std::vector<int> closedDialogs;
    int gameOversShown = 0;
    int newBoards = 0;
    std::vector<std::pair<bool, bool>> modeCalls;
};

// Kinds 0-3 in a pattern with no run and no legal move: rows repeat
// 0 1 2 3 shifted by two per row, so every column alternates two kinds.
inline int BaseKind(int column, int row) {
    return (column + 2 * row) % 4;
}

// Replaces the grid with gems resting in their cells. rows[r][c] is a digit
// kind or '.' for the base pattern's kind; the board is left Idle.
inline void LayOut(Board& board, const std::vector<std::string>& rows = {}) {
    board.selected = board.swapA = board.swapB = nullptr;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            auto gem = std::make_unique<Gem>();
            const char c = row < static_cast<int>(rows.size()) ? rows[row][column] : '.';
            gem->kind = c == '.' ? BaseKind(column, row) : c - '0';
            gem->column = column;
            gem->row = row;
            gem->x = ColumnX(column);
            gem->y = RowY(row);
            board.grid.Put(column, row, std::move(gem));
        }
    }
    board.state = BoardState::Idle;
}

inline void Tick(Board& board, int ticks = 1) {
    for (int i = 0; i < ticks; ++i) board.Update();
}

// Runs ticks until the state is reached (or the limit); returns ticks run.
inline int TickUntil(Board& board, BoardState state, int limit = 100000) {
    int n = 0;
    while (board.state != state && n < limit) {
        board.Update();
        ++n;
    }
    return n;
}

inline int CenterX(int column) {
    return ColumnX(column) + 24;
}
inline int CenterY(int row) {
    return RowY(row) + 24;
}

}  // namespace Varn::test
