// Grid rules: filling, runs, the move search order, set detection and
// column compaction.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <utility>

#include "board/BoardGrid.h"
#include "board/GameRandom.h"

namespace Varn {
namespace {

int BaseKind(int column, int row) {
    return (column + 2 * row) % 4;
}

// rows[r][c]: a digit kind, '.' for the move-free base pattern, ' ' for empty.
BoardGrid MakeGrid(const std::vector<std::string>& rows = {}) {
    BoardGrid grid;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const char c = row < static_cast<int>(rows.size()) ? rows[row][column] : '.';
            if (c == ' ') continue;
            auto gem = std::make_unique<Gem>();
            gem->kind = c == '.' ? BaseKind(column, row) : c - '0';
            gem->column = column;
            gem->row = row;
            gem->x = ColumnX(column);
            gem->y = RowY(row);
            grid.Put(column, row, std::move(gem));
        }
    }
    return grid;
}

std::vector<SwapMove> AllMoves(BoardGrid& grid) {
    std::vector<SwapMove> moves;
    SwapMove m;
    for (int n = 0; grid.FindMove(&m, n, true, true); ++n) moves.push_back(m);
    return moves;
}

TEST(BoardGridTest, BasePatternHasNoRunAndNoMove) {
    BoardGrid grid = MakeGrid();
    EXPECT_FALSE(grid.HasRun());
    EXPECT_FALSE(grid.FindMove(nullptr, 0, true, true));
}

TEST(BoardGridTest, HasRunFindsThreeInRowOrColumnButNotAcrossGaps) {
    EXPECT_TRUE(MakeGrid({"..555..."}).HasRun());
    EXPECT_TRUE(MakeGrid({"6.......", "6.......", "6......."}).HasRun());
    EXPECT_FALSE(MakeGrid({"55 5...."}).HasRun());
    EXPECT_FALSE(MakeGrid({"55.5...."}).HasRun());
}

TEST(BoardGridTest, FillLeavesNoRunAndStacksGemsAboveTheBoard) {
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        GameRandom random(seed);
        BoardGrid grid;
        grid.Fill(random);
        ASSERT_TRUE(grid.IsFull());
        EXPECT_FALSE(grid.HasRun()) << "seed " << seed;
        for (int column = 0; column < kBoardColumns; ++column) {
            const Gem* bottom = grid.At(column, 7);
            EXPECT_GE(bottom->y, -304);
            EXPECT_LE(bottom->y, -65);
            for (int row = 0; row < 7; ++row) {
                const Gem* gem = grid.At(column, row);
                const double gap = grid.At(column, row + 1)->y - gem->y;
                EXPECT_GE(gap, 65);
                EXPECT_LE(gap, 304);
                EXPECT_EQ(gem->x, ColumnX(column));
                EXPECT_EQ(gem->vy, 0.0);
                EXPECT_EQ(gem->column, column);
                EXPECT_EQ(gem->row, row);
            }
        }
    }
}

TEST(BoardGridTest, FillIsReproducibleFromTheSeed) {
    GameRandom a(77), b(77);
    BoardGrid first, second;
    first.Fill(a);
    second.Fill(b);
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            EXPECT_EQ(first.At(column, row)->kind, second.At(column, row)->kind);
            EXPECT_EQ(first.At(column, row)->y, second.At(column, row)->y);
        }
}

TEST(BoardGridTest, FindMoveReportsTheOnlySwapFromTheCellThatCompletesTheSet) {
    // 6 6 in row 5 and a 6 above the next cell: only moving the lower gem
    // up (from (3,5)) is found; the same swap seen from (3,4) makes no set there.
    BoardGrid grid =
        MakeGrid({"........", "........", "........", "........", "...6....", ".66....."});
    SwapMove m;
    ASSERT_TRUE(grid.FindMove(&m, 0, true, true));
    EXPECT_EQ(std::tie(m.column, m.row, m.otherColumn, m.otherRow), std::make_tuple(3, 5, 3, 4));
    EXPECT_FALSE(grid.FindMove(&m, 1, true, true));
    EXPECT_FALSE(grid.FindMove(nullptr, 0, false, true)) << "the set is horizontal";
}

TEST(BoardGridTest, FindMoveCountsASwapThatMakesSetsAtBothCellsTwice) {
    BoardGrid grid = MakeGrid({"........", "........", "55656..."});
    // Swapping (2,2) and (3,2) gives 5 5 5 6 6 6: a set at each cell.
    grid.At(5, 2)->kind = 6;
    const std::vector<SwapMove> moves = AllMoves(grid);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(std::tie(moves[0].column, moves[0].row, moves[0].otherColumn, moves[0].otherRow),
              std::make_tuple(2, 2, 3, 2));
    EXPECT_EQ(std::tie(moves[1].column, moves[1].row, moves[1].otherColumn, moves[1].otherRow),
              std::make_tuple(3, 2, 2, 2));
}

TEST(BoardGridTest, FindMoveListsTheFirstCellsInRowMajorOrder) {
    // Two separate moves: the one whose first cell comes first in row-major
    // order is n = 0, whatever the direction.
    BoardGrid grid = MakeGrid({"........", "6.66....", "........", "........", "........",
                               "........", "......4.", "....44.."});
    const std::vector<SwapMove> moves = AllMoves(grid);
    ASSERT_GE(moves.size(), 2u);
    // (0,1) moved right would not complete the run; the gem at (1,1) moved
    // left brings the 6 that does.
    EXPECT_EQ(std::tie(moves[0].column, moves[0].row), std::make_tuple(1, 1));
    EXPECT_EQ(std::tie(moves[0].otherColumn, moves[0].otherRow), std::make_tuple(0, 1));
    EXPECT_EQ(std::tie(moves.back().column, moves.back().row), std::make_tuple(6, 7));
    EXPECT_EQ(std::tie(moves.back().otherColumn, moves.back().otherRow), std::make_tuple(6, 6));
}

TEST(BoardGridTest, FindMoveTriesRightLeftDownUpFromOneCell) {
    // Four 5s around (3,3): any of them moved into it completes a run, so the cell has a
    // legal swap in every direction.
    BoardGrid grid = MakeGrid({"........", "........", "...5....", "..5.5...", "...5...."});
    std::vector<std::pair<int, int>> fromCenter;
    for (const SwapMove& m : AllMoves(grid))
        if (m.column == 3 && m.row == 3) fromCenter.emplace_back(m.otherColumn, m.otherRow);
    const std::vector<std::pair<int, int>> rightLeftDownUp{{4, 3}, {2, 3}, {3, 4}, {3, 2}};
    EXPECT_EQ(fromCenter, rightLeftDownUp);
}

TEST(BoardGridTest, EverySwapThatMakesARunIsFoundAndNothingElse) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        GameRandom random(seed);
        BoardGrid grid;
        grid.Fill(random);
        std::set<std::tuple<int, int, int, int>> listed;
        for (const SwapMove& m : AllMoves(grid)) {
            listed.insert({m.column, m.row, m.otherColumn, m.otherRow});
            grid.SwapCells(m.column, m.row, m.otherColumn, m.otherRow);
            EXPECT_TRUE(grid.HasRun());
            grid.SwapCells(m.column, m.row, m.otherColumn, m.otherRow);
        }
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column)
                for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
                    if (!IsOnBoard(column + dc, row + dr)) continue;
                    grid.SwapCells(column, row, column + dc, row + dr);
                    const bool run = grid.HasRun();
                    grid.SwapCells(column, row, column + dc, row + dr);
                    const bool found = listed.count({column, row, column + dc, row + dr}) ||
                                       listed.count({column + dc, row + dr, column, row});
                    EXPECT_EQ(run, found) << "seed " << seed << " at " << column << "," << row;
                }
    }
}

TEST(BoardGridTest, GemAtUsesTheAnimatedSquare) {
    BoardGrid grid = MakeGrid();
    EXPECT_EQ(grid.GemAt(ColumnX(2), RowY(3)), grid.At(2, 3));
    EXPECT_EQ(grid.GemAt(ColumnX(2) + 48, RowY(3) + 48), grid.At(2, 3));
    EXPECT_EQ(grid.GemAt(ColumnX(2) + 49, RowY(3)), nullptr) << "the 2-pixel gutter";
    grid.At(0, 0)->x = 600;
    EXPECT_EQ(grid.GemAt(610, RowY(0) + 5), grid.At(0, 0));
    EXPECT_EQ(grid.GemAt(10, 10), nullptr);
}

TEST(BoardGridTest, TShapeOfFiveIsTwoSetsOfThreeVerticalFirst) {
    BoardGrid grid =
        MakeGrid({"........", "........", "........", "..555...", "...5....", "...5...."});
    const std::vector<FoundSet> sets = grid.FindSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].length, 3);
    EXPECT_EQ(sets[0].x, ColumnX(3));
    EXPECT_EQ(sets[0].y, RowY(4)) << "vertical set first";
    EXPECT_EQ(sets[1].length, 3);
    EXPECT_EQ(sets[1].y, RowY(3));
    int vanishing = 0;
    grid.ForEachGem([&](const Gem& g) {
        if (g.vanishing) ++vanishing;
    });
    EXPECT_EQ(vanishing, 5);
}

TEST(BoardGridTest, FullLineIsOneSetOfEightAndLastCellsCount) {
    BoardGrid grid = MakeGrid({"55555555", "........", "........", "........", "........",
                               "......6.", "......6.", "......6."});
    const std::vector<FoundSet> sets = grid.FindSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].length, 3) << "column 6, rows 5-7, ending at the last cell";
    EXPECT_EQ(sets[1].length, 8);
    EXPECT_EQ(sets[1].x, (ColumnX(0) + ColumnX(7)) / 2);
}

TEST(BoardGridTest, RunBrokenByAnotherKindOrAGapEndsBeforeIt) {
    BoardGrid grid = MakeGrid({"5556 555", "........"});
    const std::vector<FoundSet> sets = grid.FindSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].length, 3);
    EXPECT_EQ(sets[0].x, ColumnX(1));
    EXPECT_EQ(sets[1].x, ColumnX(6));
    EXPECT_FALSE(grid.At(3, 0)->vanishing);
}

TEST(BoardGridTest, ColumnWithThreeGapsClosesInThreePassesWithSpawnsSixtyNineApart) {
    BoardGrid grid = MakeGrid();
    Gem* above[3] = {grid.At(2, 0), grid.At(2, 1), grid.At(2, 2)};
    for (int row = 3; row <= 5; ++row) grid.Take(2, row);
    GameRandom random(5);
    int passes = 0;
    while (grid.CompactionPass(random)) ++passes;
    EXPECT_EQ(passes, 3);
    ASSERT_TRUE(grid.IsFull());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(grid.At(2, i + 3), above[i]);
        EXPECT_EQ(above[i]->row, i + 3);
        EXPECT_EQ(above[i]->vy, 1.0);
        EXPECT_EQ(above[i]->y, RowY(i)) << "drawn position unchanged";
    }
    EXPECT_EQ(grid.At(2, 2)->y, RowY(0) - 69);
    EXPECT_EQ(grid.At(2, 1)->y, RowY(0) - 2 * 69);
    EXPECT_EQ(grid.At(2, 0)->y, RowY(0) - 3 * 69);
    EXPECT_EQ(grid.At(2, 0)->vy, 0.3) << "the last spawn has not moved yet";
    EXPECT_EQ(grid.At(2, 1)->vy, 1.0) << "earlier spawns were moved down since";
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(grid.At(2, row)->row, row);
        EXPECT_EQ(grid.At(2, row)->x, ColumnX(2));
    }
    EXPECT_EQ(grid.At(2, 6)->vy, 0.0) << "gems below the gap do not move";
}

TEST(BoardGridTest, GameRandomFollowsTheDocumentedGenerator) {
    GameRandom random(1);
    // state 1 -> 1103527590 -> 16838; the C standard's sample generator.
    EXPECT_EQ(random.Next(), 16838);
    EXPECT_EQ(random.Next(), 5758);
    EXPECT_EQ(random.Next(), 10113);
}

}  // namespace
}  // namespace Varn
