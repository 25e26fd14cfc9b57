// BoardGrid: fill, move search, set detection and compaction (see header).
#include "board/BoardGrid.h"

#include <algorithm>
#include <cassert>

#include "board/GameRandom.h"

namespace Varn {

namespace {
constexpr int kDirections[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};  // right, left, down, up
}  // namespace

Gem* BoardGrid::At(int column, int row) const {
    assert(IsOnBoard(column, row) && "BoardGrid::At outside the board");
    return cells_[Index(column, row)].get();
}

void BoardGrid::Put(int column, int row, std::unique_ptr<Gem> gem) {
    assert(IsOnBoard(column, row) && "BoardGrid::Put outside the board");
    cells_[Index(column, row)] = std::move(gem);
}

std::unique_ptr<Gem> BoardGrid::Take(int column, int row) {
    assert(IsOnBoard(column, row) && "BoardGrid::Take outside the board");
    return std::move(cells_[Index(column, row)]);
}

void BoardGrid::SwapCells(int column, int row, int otherColumn, int otherRow) {
    std::swap(cells_[Index(column, row)], cells_[Index(otherColumn, otherRow)]);
}

void BoardGrid::Clear() {
    for (auto& cell : cells_) cell.reset();
}

bool BoardGrid::IsFull() const {
    return std::all_of(cells_.begin(), cells_.end(), [](const auto& c) { return c != nullptr; });
}

int BoardGrid::GemCount() const {
    return static_cast<int>(
        std::count_if(cells_.begin(), cells_.end(), [](const auto& c) { return c != nullptr; }));
}

bool BoardGrid::HasRun() const {
    for (int pass = 0; pass < 2; ++pass) {
        for (int line = 0; line < 8; ++line) {
            int runKind = -1;
            int count = 0;
            for (int pos = 0; pos < 8; ++pos) {
                const Gem* gem = pass == 0 ? At(pos, line) : At(line, pos);
                if (!gem) {
                    runKind = -1;
                } else if (gem->kind == runKind) {
                    if (++count >= 3) return true;
                } else {
                    runKind = gem->kind;
                    count = 1;
                }
            }
        }
    }
    return false;
}

void BoardGrid::Fill(GameRandom& random) {
    Clear();
    for (int row = kBoardRows - 1; row >= 0; --row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            auto gem = std::make_unique<Gem>();
            gem->column = column;
            gem->row = row;
            gem->x = ColumnX(column);
            const int base = row == kBoardRows - 1 ? 0 : TruncToInt(At(column, row + 1)->y);
            gem->y = base - random.Below(240) - 65;
            Gem* placed = gem.get();
            Put(column, row, std::move(gem));
            do {
                placed->kind = random.Below(kGemKinds);
            } while (HasRun());
        }
    }
}

// Measures the lines through (column, row) about the gem standing there now.
bool BoardGrid::FormsRunAt(int column, int row, bool horizontal, bool vertical) const {
    const Gem* centre = At(column, row);
    if (!centre) return false;
    const int kind = centre->kind;
    auto same = [&](int c, int r) {
        const Gem* g = At(c, r);
        return g && g->kind == kind;
    };
    int left = column, right = column, top = row, bottom = row;
    while (left > 0 && same(left - 1, row)) --left;
    while (right < 7 && same(right + 1, row)) ++right;
    while (top > 0 && same(column, top - 1)) --top;
    while (bottom < 7 && same(column, bottom + 1)) ++bottom;
    return (right - left >= 2 && horizontal) || (bottom - top >= 2 && vertical);
}

bool BoardGrid::FindMove(SwapMove* out, int n, bool horizontal, bool vertical) {
    int found = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (!At(column, row)) continue;
            for (const auto& d : kDirections) {
                const int otherColumn = column + d[0];
                const int otherRow = row + d[1];
                if (!IsOnBoard(otherColumn, otherRow)) continue;
                SwapCells(column, row, otherColumn, otherRow);
                const bool isMove = FormsRunAt(column, row, horizontal, vertical);
                SwapCells(column, row, otherColumn, otherRow);
                if (!isMove) continue;
                if (found == n) {
                    if (out) *out = SwapMove{column, row, otherColumn, otherRow};
                    return true;
                }
                ++found;
            }
        }
    }
    return false;
}

Gem* BoardGrid::GemAt(int x, int y) const {
    for (const auto& cell : cells_) {
        if (cell && x >= cell->x && x < cell->x + kGemSize && y >= cell->y &&
            y < cell->y + kGemSize)
            return cell.get();
    }
    return nullptr;
}

FoundSet BoardGrid::FlagSet(bool columns, int line, int first, int last, int kind, int length) {
    int sumX = 0;
    int sumY = 0;
    for (int pos = first; pos <= last; ++pos) {
        Gem* gem = columns ? At(line, pos) : At(pos, line);
        if (!gem || gem->kind != kind) continue;
        gem->vanishing = true;
        gem->vanishFrame = 0;
        sumX += TruncToInt(gem->x);
        sumY += TruncToInt(gem->y);
    }
    return FoundSet{length, sumX / length, sumY / length};
}

void BoardGrid::FindLineSets(bool columns, std::vector<FoundSet>& sets) {
    for (int line = 0; line < 8; ++line) {
        int runKind = -1;
        int length = 0;
        int first = 0;
        for (int pos = 0; pos < 8; ++pos) {
            const Gem* gem = columns ? At(line, pos) : At(pos, line);
            const bool same = gem && gem->kind == runKind;
            if (same) ++length;
            if (same && pos < 7) continue;
            if (length >= 3) sets.push_back(FlagSet(columns, line, first, pos, runKind, length));
            runKind = gem ? gem->kind : -1;
            length = 1;
            first = pos;
        }
    }
}

std::vector<FoundSet> BoardGrid::FindSets() {
    std::vector<FoundSet> sets;
    FindLineSets(true, sets);
    FindLineSets(false, sets);
    return sets;
}

bool BoardGrid::CompactionPass(GameRandom& random) {
    bool changed = false;
    for (int column = 0; column < kBoardColumns; ++column) {
        int top = RowY(0);
        bool gapBelow = false;
        for (int row = kBoardRows - 1; row >= 0; --row) {
            Gem* gem = At(column, row);
            if (!gem) {
                gapBelow = true;
                continue;
            }
            top = std::min(top, TruncToInt(gem->y));
            if (!gapBelow) continue;
            gem->row += 1;
            gem->vy = 1.0;
            Put(column, row + 1, Take(column, row));
        }
        if (!gapBelow) continue;
        auto spawned = std::make_unique<Gem>();
        spawned->kind = random.Below(kGemKinds);
        spawned->column = column;
        spawned->row = 0;
        spawned->x = ColumnX(column);
        spawned->y = top - 69;
        spawned->vy = 0.3;
        Put(column, 0, std::move(spawned));
        changed = true;
    }
    return changed;
}

}  // namespace Varn
