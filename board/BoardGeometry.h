// BoardGeometry: fixed pixel geometry of the 8 x 8 board in board-widget
// coordinates (the board widget covers the 640 x 480 screen at (0, 0)), and
// the pan value of positional sounds.
#pragma once

#include "board/SafeMath.h"

namespace Varn {

constexpr int kBoardColumns = 8;
constexpr int kBoardRows = 8;
constexpr int kBoardCells = kBoardColumns * kBoardRows;
constexpr int kGemSize = 49;    // gem square, hit test and drawing
constexpr int kCellPitch = 51;  // distance between neighbouring cells
constexpr int kBoardSpan = 406;
constexpr int kBoardCenterX = 406;
constexpr int kBoardCenterY = 219;
constexpr int kBoardWidgetWidth = 640;
constexpr int kBoardWidgetHeight = 480;
constexpr int kBarLength = 340;  // the bonus bar when full

constexpr int ColumnX(int column) {
    return kCellPitch * column + 203;
}
constexpr int RowY(int row) {
    return kCellPitch * row + 16;
}

constexpr bool IsOnBoard(int column, int row) {
    return column >= 0 && column < kBoardColumns && row >= 0 && row < kBoardRows;
}

// About -800 at the board's left edge to +800 at its right edge.
inline int PanForX(int x) {
    return TruncToInt((x - 203.0 - 203.0) / 406.0 * 2.0 * 800.0);
}

}  // namespace Varn
