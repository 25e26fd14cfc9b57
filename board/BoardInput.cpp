// Board: the player's input: pointer hover, click-to-swap with its
// neighbour-aiming tolerance, drag-to-swap, right click, the pause key and
// the hint button. The keyboard's arrows and select key are BoardPad.cpp's moves.
#include <algorithm>
#include <cstdlib>

#include "board/Board.h"
#include "widgets/InputPrompts.h"

namespace Varn {

namespace {
constexpr int kDragThreshold = 16;

bool IgnoresClicks(BoardState state) {
    return state == BoardState::GameOverFall || state == BoardState::GameOverShown ||
           state == BoardState::LevelUpWhirl || state == BoardState::NewLevelWipe;
}
}  // namespace

void Board::MouseMove(int px, int py) {
    mouseX = px;
    mouseY = py;
}

void Board::MouseLeave() {
    mouseX = -1;
    mouseY = -1;
}

// A click up to 88 pixels off the selected gem's centre along one axis, and
// within 26 pixels of that axis, aims at the neighbour cell in that direction.
bool Board::AimedNeighbour(const Gem& from, int px, int py, int& column, int& row) const {
    const int dx = TruncToInt(px - (from.x + 24));
    const int dy = TruncToInt(py - (from.y + 24));
    const int major = std::max(std::abs(dx), std::abs(dy));
    const int minor = std::min(std::abs(dx), std::abs(dy));
    if (major <= 21 || major > 88.2 || minor > 26) return false;
    column = from.column;
    row = from.row;
    if (std::abs(dy) < std::abs(dx))
        column += dx < 0 ? -1 : 1;
    else
        row += dy < 0 ? -1 : 1;
    return IsOnBoard(column, row);
}

void Board::MouseDown(int px, int py, int clickCode) {
    if (playerPauseCount > 0) {
        ResumeBoard(true);
        return;
    }
    mouseDownX = px;
    mouseDownY = py;
    if (IgnoresClicks(state)) return;
    if (clickCode <= 0) {
        selected = nullptr;
        MarkDirty();
        return;
    }
    Gem* gem = GemAt(px, py);
    if (selected) {
        if (state != BoardState::Idle) return;
        int column = 0;
        int row = 0;
        if (AimedNeighbour(*selected, px, py, column, row)) gem = grid.At(column, row);
        if (gem && gem != selected) StartSwap(selected, gem);
        selected = nullptr;
        MarkDirty();
        return;
    }
    if (!gem) return;
    selectionCounter = 0;
    selected = gem;
    MarkDirty();
    host.PlaySound(11, PanForX(TruncToInt(gem->x + 24)));
}

void Board::MouseDrag(int px, int py) {
    if (!selected || state != BoardState::Idle) return;
    const int dx = px - mouseDownX;
    const int dy = py - mouseDownY;
    if (std::abs(dx) < kDragThreshold && std::abs(dy) < kDragThreshold) return;
    int column = selected->column;
    int row = selected->row;
    if (std::abs(dx) > std::abs(dy)) {
        if (dx > 0 && column < 7)
            ++column;
        else if (dx < 0 && column > 0)
            --column;
    } else {
        if (dy > 0 && row < 7)
            ++row;
        else if (dy < 0 && row > 0)
            --row;
    }
    // Past the threshold the selection goes, whether or not a neighbour exists.
    if (column != selected->column || row != selected->row)
        StartSwap(selected, grid.At(column, row));
    selected = nullptr;
    MarkDirty();
}

void Board::KeyChar(char ch) {
    if (ch == kSelectKey) return;
    if (playerPauseCount <= 0)
        PauseBoard(true);
    else
        ResumeBoard(true);
}

// The arrow keys and the select key play the highlighted cell as the controller does.
void Board::KeyDown(int keyCode) {
    constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
    switch (keyCode) {
        case kLeft:
        case kRight:
            PadMove(keyCode == kLeft ? -1 : 1, 0);
            return;
        case kUp:
        case kDown:
            PadMove(0, keyCode == kUp ? -1 : 1);
            return;
        case kSelectKey:
            PadSelect();
            return;
        default:
            Widget::KeyDown(keyCode);
    }
}

std::string Board::ResumePrompt() {
    return InputPrompt("Click Here to Continue!", host.ControllerPrompts());
}

void Board::ShowHint() {
    if (state != BoardState::Idle) return;
    score = std::max(0, TruncToInt(score - 50 * multiplier));
    SwapMove move;
    if (FindMove(&move, 0, true, true)) {
        if (Gem* gem = grid.At(move.column, move.row)) {
            gem->sparkleCountdown = 58;
            gem->sparkleFrame = 0;
            gem->spinFrame = 1;
        }
    }
    idleTicks = 0;
}

}  // namespace Varn
