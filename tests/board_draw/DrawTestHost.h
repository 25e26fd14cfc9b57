// DrawTestHost: the smallest BoardHost the drawing tests need: a playable
// difficulty table, a seeded random source, silent sounds and a fixed clock;
// plus LayOut, which puts a known grid of resting gems on a board.
#pragma once

#include <memory>

#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/DifficultyTable.h"
#include "board/GameRandom.h"

namespace Varn::test {

class DrawTestHost : public BoardHost {
public:
    explicit DrawTestHost(std::uint32_t seed = 1) : random(seed) {
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

    void PlaySound(int) override {}
    void PlaySound(int, int) override {}
    std::unique_ptr<BoardSoundLoop> StartSoundLoop(int) override { return nullptr; }
    void ShowStartTip() override {}
    bool CloseDialog(int) override { return false; }
    bool StartTipWanted() override { return false; }
    void ClearStartTipWanted() override {}
    int TimesPlayed() override { return 10; }
    void SetTimesPlayed(int) override {}
    void ShowGameOver() override {}
    void NewBoard() override {}
    void SetMode(bool, bool) override {}
    const DifficultyTable& Difficulty() override { return table; }
    GameRandom& Random() override { return random; }
    std::uint32_t TickCountMs() override { return 100000; }
    int MessageTextWidth(const std::string& text) override {
        return 6 * static_cast<int>(text.size());
    }
    int MessageFontHeight() override { return 12; }
    int MessageFontAscent() override { return 10; }
    int DigitFontAscent() override { return 10; }

    GameRandom random;
    DifficultyTable table;
};

// Kinds (column + 2 row) mod 4: no run of three and no legal move. Every gem
// rests in its cell; the board is left Idle.
inline void LayOut(Board& board) {
    board.selected = board.swapA = board.swapB = nullptr;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            auto gem = std::make_unique<Gem>();
            gem->kind = (column + 2 * row) % 4;
            gem->column = column;
            gem->row = row;
            gem->x = ColumnX(column);
            gem->y = RowY(row);
            board.grid.Put(column, row, std::move(gem));
        }
    }
    board.state = BoardState::Idle;
}

}  // namespace Varn::test
