// Whole games played by a bot through the board's input, over many seeds in
// both modes, until the game-over screen. After every settle into Idle the
// grid must be full, in place, free of runs, and offer a legal move.
#include <gtest/gtest.h>

#include <cstdio>

#include "FakeBoardHost.h"

namespace Varn {
namespace {

using test::CenterX;
using test::CenterY;
using test::FakeBoardHost;

struct GameResult {
    bool ended = false;
    int moves = 0;
    int settles = 0;
    int levels = 0;
    int dropAways = 0;
    int ticks = 0;
    int score = 0;
};

// Checks the board the player is about to see; returns false on the first fault.
bool CheckSettled(const Board& board, std::string& fault) {
    if (!board.grid.IsFull()) return fault = "grid not full", false;
    if (board.grid.HasRun()) return fault = "a run of three is left", false;
    bool inPlace = true;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            const Gem* g = board.grid.At(column, row);
            inPlace = inPlace && g->column == column && g->row == row && !g->vanishing &&
                      g->x == ColumnX(column) && g->y == RowY(row) && g->kind >= 0 && g->kind < 7;
        }
    if (!inPlace) return fault = "a gem is out of its cell", false;
    if (!const_cast<Board&>(board).FindMove(nullptr, 0, true, true))
        return fault = "Idle without a legal move", false;
    return true;
}

// The bot picks a random legal move and makes it by two clicks or by a drag.
void MakeMove(Board& board, GameRandom& bot) {
    int count = 0;
    while (board.FindMove(nullptr, count, true, true)) ++count;
    SwapMove m;
    ASSERT_TRUE(board.FindMove(&m, bot.Below(count), true, true));
    board.MouseMove(CenterX(m.column), CenterY(m.row));
    board.MouseDown(CenterX(m.column), CenterY(m.row), 1);
    if (bot.Below(2) == 0) {
        board.MouseDown(CenterX(m.otherColumn), CenterY(m.otherRow), 1);
    } else {
        board.MouseDrag(CenterX(m.column) + 20 * (m.otherColumn - m.column),
                        CenterY(m.row) + 20 * (m.otherRow - m.row));
    }
}

GameResult PlayGame(std::uint32_t seed, bool timed, std::string& fault) {
    FakeBoardHost host(seed);
    host.showStartTip = seed % 3 == 0;
    host.timesPlayed = static_cast<int>(seed % 7);
    GameRandom bot(seed * 7919u + 1u);
    Board board(host, timed);
    GameResult result;
    BoardState previous = board.state;
    int waitTicks = 0;
    const int limit = 400000;
    for (; result.ticks < limit && board.state != BoardState::GameOverShown; ++result.ticks) {
        board.Update();
        if (board.state == BoardState::Idle && previous != BoardState::Idle) {
            ++result.settles;
            if (!CheckSettled(board, fault)) return result;
            waitTicks = bot.Below(40);
        }
        if (board.state == BoardState::NewLevelWipe && previous != BoardState::NewLevelWipe)
            ++result.levels;
        if (board.state == BoardState::DropAway && previous != BoardState::DropAway)
            ++result.dropAways;
        previous = board.state;
        if (board.state != BoardState::Idle) continue;
        if (waitTicks-- > 0) continue;
        if (bot.Below(50) == 0) board.ShowHint();
        MakeMove(board, bot);
        if (board.state == BoardState::Swapping) ++result.moves;
        waitTicks = 1000000;  // until the next settle
    }
    result.ended = board.state == BoardState::GameOverShown;
    result.score = board.score;
    if (result.ended && host.gameOversShown != 1) fault = "game over not shown once";
    return result;
}

class BoardSimulationTest : public ::testing::TestWithParam<bool> {};

TEST_P(BoardSimulationTest, BotGamesEndCleanlyWithConsistentBoards) {
    const bool timed = GetParam();
    int totalMoves = 0, totalLevels = 0, totalDropAways = 0;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        std::string fault;
        const GameResult r = PlayGame(seed, timed, fault);
        ASSERT_TRUE(fault.empty())
            << "seed " << seed << ": " << fault << " after " << r.moves << " moves";
        EXPECT_TRUE(r.ended) << "seed " << seed << " did not end in " << r.ticks << " ticks";
        EXPECT_GT(r.moves, 0);
        totalMoves += r.moves;
        totalLevels += r.levels;
        totalDropAways += r.dropAways;
    }
    std::printf("%s: %d moves, %d level-ups, %d drop-aways\n", timed ? "timed" : "normal",
                totalMoves, totalLevels, totalDropAways);
    EXPECT_GT(totalLevels, 0) << "some game should reach a second level";
    if (timed)
        EXPECT_GT(totalDropAways, 0) << "some timed board should run out of moves";
    else
        EXPECT_EQ(totalDropAways, 0) << "normal mode never drops a board";
    RecordProperty("moves", totalMoves);
}

INSTANTIATE_TEST_SUITE_P(BothModes, BoardSimulationTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "Timed" : "Normal";
                         });

}  // namespace
}  // namespace Varn
