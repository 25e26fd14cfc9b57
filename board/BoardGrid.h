// BoardGrid: the 8 x 8 grid of gems and its match rules: filling without runs
// of three, the search for legal moves in its fixed order, set detection in
// its fixed pass order, and column compaction with spawning. It owns every
// gem it holds; cells are empty only while gems vanish or a refill is under
// way, and every operation here tolerates empty cells.
//
// Row 0 is the top row, column 0 the left column; cells are stored row by row.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "board/BoardGeometry.h"
#include "board/Gem.h"

namespace Varn {

class GameRandom;

// A legal swap: the gem at (column, row) with the one at (otherColumn, otherRow).
struct SwapMove {
    int column = -1;
    int row = -1;
    int otherColumn = -1;
    int otherRow = -1;
};

// One set found by FindSets: its length and mean gem position (integer division).
struct FoundSet {
    int length = 0;
    int x = 0;
    int y = 0;
};

class BoardGrid {
public:
    Gem* At(int column, int row) const;
    // Replaces (and deletes) whatever the cell held.
    void Put(int column, int row, std::unique_ptr<Gem> gem);
    std::unique_ptr<Gem> Take(int column, int row);
    void SwapCells(int column, int row, int otherColumn, int otherRow);
    void Clear();
    bool IsFull() const;
    int GemCount() const;

    // Calls f(Gem&) for every gem, rows 0-7, columns 0-7.
    template <typename F>
    void ForEachGem(F&& f) const {
        for (const auto& cell : cells_)
            if (cell) f(*cell);
    }

    // True when three equal gems stand in a row or a column.
    bool HasRun() const;
    // Deletes every gem, then deals a new grid bottom row first, gems stacked
    // above the visible board, redrawing each kind until no run of three exists.
    void Fill(GameRandom& random);
    // The n-th legal swap (counting from 0) in row-major order of its first
    // cell, directions right, left, down, up; a swap that makes sets at both
    // cells counts twice. out may be null.
    bool FindMove(SwapMove* out, int n, bool horizontal, bool vertical);
    // The first gem whose (possibly animated) square holds the point.
    Gem* GemAt(int x, int y) const;
    // Flags every gem of every set as vanishing (frame 0) and returns the
    // sets: vertical ones first (left column first, top first), then
    // horizontal ones (top row first, left first).
    std::vector<FoundSet> FindSets();
    // One compaction pass: in every column with a gap, every gem above the
    // lowest gap moves one cell down (vy 1.0) and a new gem is spawned in row
    // 0, 69 pixels above the column's topmost gem (vy 0.3). Returns whether
    // any column had a gap.
    bool CompactionPass(GameRandom& random);

private:
    static int Index(int column, int row) { return row * kBoardColumns + column; }
    bool FormsRunAt(int column, int row, bool horizontal, bool vertical) const;
    void FindLineSets(bool columns, std::vector<FoundSet>& sets);
    FoundSet FlagSet(bool columns, int line, int first, int last, int kind, int length);

    std::array<std::unique_ptr<Gem>, kBoardCells> cells_;
};

}  // namespace Varn
