// The game and the input the player uses: the keyboard plays the board with the arrows and
// the select key and reaches the panel with Tab (an arrow goes back to the board); prompts
// follow the controller; a window without the focus pauses the board.
#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kTabKey = 9;
constexpr int kControlKey = 17;
constexpr int kFirstArrowKey = 37;  // Left, Up, Right, Down
constexpr int kLastArrowKey = 40;
}  // namespace

bool WinLodeApp::TakeKey(int keyCode) {
    const bool arrow = keyCode >= kFirstArrowKey && keyCode <= kLastArrowKey;
    if (arrow && padOnPanel && BoardInPlay()) {
        padOnPanel = false;
        ringCalledByKeys = false;
        FollowPad();
        return false;  // the arrow goes on to the board
    }
    const bool tab = keyCode == kTabKey && !GetWidgetManager()->IsKeyDown(kControlKey);
    if (tab && !padOnPanel && BoardInPlay()) {
        padOnPanel = true;
        board->HidePadCursor();
    }
    return VarnApp::TakeKey(keyCode);
}

void WinLodeApp::PadPromptsChanged() {
    GetWidgetManager()->MarkAllDirty();
}

// Timed mode: the board pauses as the player's pause, and the player resumes it. Normal
// mode: the board stands still and the played time stops until the window is back.
void WinLodeApp::ActivationChanged(bool nowActive) {
    if (nowActive) {
        if (focusPausedBoard && focusPausedBoard == board.get()) board->ResumeBoard(false);
        focusPausedBoard = nullptr;
        return;
    }
    if (!board || focusPausedBoard || !GetWidgetManager()->HasWidget(board.get())) return;
    if (board->state == BoardState::GameOverFall || board->state == BoardState::GameOverShown)
        return;
    if (!board->timedMode) {
        board->PauseBoard(false);
        focusPausedBoard = board.get();
    } else if (board->playerPauseCount <= 0) {
        board->PauseBoard(true);
    }
}

}  // namespace Varn
