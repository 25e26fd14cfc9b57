// The game and its controller: on the game screen the pad plays the board (directions, A,
// B), Start pauses, Y asks for a hint as the HINT button does; the shoulders take the focus
// ring to the panel's buttons and B brings it back to the board. Dialogs and the other
// screens are the framework's focus ring (VarnAppPad.cpp).
#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "widgets/WidgetManager.h"

namespace Varn {

// The board is on the screen and takes input: no game-over screen, no modal dialog.
bool WinLodeApp::BoardInPlay() {
    return board && GetWidgetManager()->HasWidget(board.get()) && GetModalDialogs().empty();
}

bool WinLodeApp::PadOnPlayArea() {
    return BoardInPlay() && !padOnPanel;
}

void WinLodeApp::PointerMoved() {
    padOnPanel = false;
    if (board) board->HidePadCursor();
}

// The board's share of the buttons while it has the pad; true when it took the button.
bool WinLodeApp::PadOnBoard(int button) {
    switch (button) {
        case kPadUp:
            board->PadMove(0, -1);
            return true;
        case kPadDown:
            board->PadMove(0, 1);
            return true;
        case kPadLeft:
            board->PadMove(-1, 0);
            return true;
        case kPadRight:
            board->PadMove(1, 0);
            return true;
        case kPadA:
            board->PadSelect();
            return true;
        case kPadB:
            board->PadDeselect();
            return true;
        default:
            return false;
    }
}

void WinLodeApp::PadButtonDown(int button, bool repeat) {
    const bool inPlay = BoardInPlay();
    if (inPlay && !repeat && button == kPadStart) {
        board->PadPause();
        return;
    }
    if (inPlay && !repeat && button == kPadY) {
        PressAsClick(kHintButtonId);
        return;
    }
    const bool shoulder = button == kPadLeftShoulder || button == kPadRightShoulder;
    if (inPlay && shoulder && !padOnPanel) {
        padOnPanel = true;
        board->HidePadCursor();
        FollowPad();
        return;
    }
    if (inPlay && padOnPanel && button == kPadB) {
        padOnPanel = false;
        FollowPad();
        return;
    }
    if (PadOnPlayArea() && (!repeat || button != kPadA) && PadOnBoard(button)) return;
    VarnApp::PadButtonDown(button, repeat);
}

}  // namespace Varn
