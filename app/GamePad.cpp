// The game and its controller: on the game screen the pad plays the board (directions, A,
// B), Start pauses, Y asks for a hint as the HINT button does; the shoulders take the focus
// ring to the panel's buttons and B brings it back to the board. In the name dialog the pad
// types on the on-screen keyboard (B deletes, Start accepts) and the shoulders take the ring
// to OK and CANCEL and back. On the title B or Back asks whether to quit. Dialogs and the
// other screens are the framework's focus ring (VarnAppPad.cpp).
#include "app/RecordScoreDialog.h"
#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "widgets/ScreenKeyboard.h"
#include "widgets/WidgetManager.h"

namespace Varn {

// The board is on the screen and takes input: no game-over screen, no modal dialog.
bool WinLodeApp::BoardInPlay() {
    return board && GetWidgetManager()->HasWidget(board.get()) && GetModalDialogs().empty();
}

bool WinLodeApp::PadOnPlayArea() {
    // The name dialog's keyboard takes the pad, not the keys: Tab still calls the ring there.
    if (NameDialogOnTop()) return PadInUse() && !padOnDialogButtons;
    return BoardInPlay() && !padOnPanel;
}

RecordScoreDialog* WinLodeApp::NameDialogOnTop() {
    const auto& open = GetModalDialogs();
    return open.empty() ? nullptr : dynamic_cast<RecordScoreDialog*>(open.back());
}

// The name dialog's share of the buttons: the keyboard's, or the ring's while the shoulders
// gave it to OK and CANCEL. A keyboard that just appeared shows where A would type first.
bool WinLodeApp::PadOnNameDialog(int button, bool repeat) {
    RecordScoreDialog* dialog = NameDialogOnTop();
    if (!dialog) return false;
    if (button == kPadLeftShoulder || button == kPadRightShoulder) {
        padOnDialogButtons = !padOnDialogButtons;
        FollowPad();
        return true;
    }
    const bool fresh = !dialog->GetKeyboard();
    ScreenKeyboard* keyboard = dialog->ShowKeyboard();
    if (button == kPadStart) {
        if (keyboard && !repeat) keyboard->Accept();
        return true;
    }
    if (padOnDialogButtons) return false;
    if (!keyboard || fresh) return true;
    switch (button) {
        case kPadUp:
        case kPadDown:
            keyboard->MoveHighlight(0, button == kPadUp ? -1 : 1);
            return true;
        case kPadLeft:
        case kPadRight:
            keyboard->MoveHighlight(button == kPadLeft ? -1 : 1, 0);
            return true;
        case kPadA:
            if (!repeat) keyboard->PressHighlighted();
            return true;
        case kPadB:
            if (!repeat) keyboard->DeleteCharacter();
            return true;
        default:
            return true;
    }
}

// On the title B and Back ask whether to quit, as the panel's Quit button does; the
// question's pictures come with the loading.
bool WinLodeApp::PadOnTitle(int button, bool repeat) {
    if (!titleScreen || !GetModalDialogs().empty() || !loaded) return false;
    if (repeat || (button != kPadB && button != kPadBack)) return false;
    ButtonPressed(kQuitButtonId);
    ButtonClicked(kQuitButtonId);
    return true;
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
    if (PadOnNameDialog(button, repeat) || PadOnTitle(button, repeat)) return;
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
