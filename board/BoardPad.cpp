// Board: play with a game controller. A highlighted cell stands in for the pointer: the
// directions move it, A acts as a click on its gem, and with a gem selected a direction
// swaps it with its neighbour as a drag would; B drops the selection, Start pauses and
// resumes. The highlight appears with the first direction and goes when the mouse moves.
#include "board/Board.h"
#include "board/BoardGeometry.h"
#include "board/BoardRenderer.h"

namespace Varn {

namespace {
constexpr int kStartColumn = 3;
constexpr int kStartRow = 3;
constexpr int kCellCentre = 24;

bool GameOverOrLevelChange(BoardState state) {
    return state == BoardState::GameOverFall || state == BoardState::GameOverShown ||
           state == BoardState::LevelUpWhirl || state == BoardState::NewLevelWipe;
}
}  // namespace

void Board::MarkCellDirty(int column, int row) {
    if (!IsOnBoard(column, row)) return;
    if (renderer)
        MarkAreaDirty(renderer->GemArea(ColumnX(column), RowY(row)));
    else
        MarkDirty();
}

void Board::PlacePadCursor(int column, int row) {
    MarkCellDirty(padColumn, padRow);
    padColumn = column;
    padRow = row;
    // The highlighted gem glows as a hovered one does.
    mouseX = ColumnX(column) + kCellCentre;
    mouseY = RowY(row) + kCellCentre;
    MarkCellDirty(padColumn, padRow);
}

void Board::HidePadCursor() {
    if (padColumn < 0) return;
    MarkCellDirty(padColumn, padRow);
    padColumn = -1;
    padRow = -1;
}

void Board::PadMove(int dx, int dy) {
    if (playerPauseCount > 0 || GameOverOrLevelChange(state)) return;
    if (selected) {
        PadSwap(dx, dy);
        return;
    }
    // The first direction only shows where the highlight is.
    if (padColumn < 0) {
        PlacePadCursor(kStartColumn, kStartRow);
        return;
    }
    const int column = padColumn + dx;
    const int row = padRow + dy;
    if (IsOnBoard(column, row)) PlacePadCursor(column, row);
}

// As a drag from the selected gem: only when the board waits for a move, and the selection
// goes whether or not a neighbour lies that way.
void Board::PadSwap(int dx, int dy) {
    if (state != BoardState::Idle) return;
    const int column = selected->column + dx;
    const int row = selected->row + dy;
    if (IsOnBoard(column, row)) StartSwap(selected, grid.At(column, row));
    selected = nullptr;
    MarkDirty();
}

void Board::PadSelect() {
    if (padColumn < 0 && playerPauseCount <= 0) {
        PlacePadCursor(kStartColumn, kStartRow);
        return;
    }
    const int column = padColumn < 0 ? kStartColumn : padColumn;
    const int row = padRow < 0 ? kStartRow : padRow;
    MouseDown(ColumnX(column) + kCellCentre, RowY(row) + kCellCentre, 1);
}

void Board::PadDeselect() {
    if (playerPauseCount > 0) {
        ResumeBoard(true);
        return;
    }
    if (GameOverOrLevelChange(state) || !selected) return;
    selected = nullptr;
    MarkDirty();
}

void Board::PadPause() {
    KeyChar(0);
}

}  // namespace Varn
