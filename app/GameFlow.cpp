// The game flow: from the title screen to the game screen and between games,
// the six game-screen buttons, the mode switches and their questions, the
// saved-game offer, and the dispatch of every button and dialog button.
#include "app/AddressLines.h"
#include "app/HighScoreWidget.h"
#include "app/TitleScreen.h"
#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "platform/GameFolders.h"
#include "sound/MusicInterface.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {

enum GameButtonId {
    kNewGame = 10,
    kNormal = 11,
    kTimed = 12,
    kOptions = 13,
    kQuit = 14,
    kHint = WinLodeApp::kHintButtonId
};

enum DialogId {
    kNewGameDialog = 0,
    kQuitDialog = 1,
    kOptionsDialog = 2,
    kNormalModeDialog = 3,
    kTimedModeDialog = 4,
    kRecordScoreDialog = 8,
    kStartTipDialog = 9,
    kOpeningBrowserDialog = 10,
    kOpenBrowserDialog = 11,
    kInstructionsDialog = 12,
    kContinueDialog = 16,
    kSavedGameUnreadableDialog = 17,
    kSaveFailedDialog = 19,
    kNewVersionDialog = 10018,
    kUpToDateDialog = 20018,
};

enum ButtonMode { kYesNo = 1, kOkCancel = 2, kFooterButton = 3, kNoButtons = 0 };

constexpr int kNormalSong = 0;
constexpr int kTimedSong = 1;
constexpr int kTitleSong = 2;
constexpr int kMenuClickSound = 12;

struct GameButtonSpec {
    int id;
    Rect rect;
    int overImage;
    int downImage;
};

// A question whose YES gives something up: Enter (and the controller's first stop) is NO.
void DefaultToNo(Dialog* question) {
    if (question) question->safeDefault = true;
}

constexpr GameButtonSpec kGameButtons[] = {
    {kNewGame, {18, 142, 156, 41}, -1, 15}, {kNormal, {18, 185, 78, 31}, -1, 16},
    {kTimed, {96, 185, 78, 31}, -1, 18},    {kOptions, {18, 241, 156, 41}, -1, 20},
    {kQuit, {18, 405, 156, 40}, -1, 21},    {kHint, {64, 303, 53, 73}, 26, 26},
};

}  // namespace

// ---- screens ----

void WinLodeApp::StartGame() {
    GetMusicInterface()->FadeOutMusic(kTitleSong);
    if (titleScreen) {
        GetWidgetManager()->RemoveWidget(titleScreen.get());
        SafeDelete(titleScreen.release());
        // The title never shows again: its picture and loading bar go with it.
        images[0].reset();
        images[1].reset();
    }
    CreateGameButtons();
    SetMode(false, true);
    if (!board || !board->SavedGameExists()) return;
    Log("Saved game found in " + board->savePath + ": offering to continue it\n");
    ShowDialog(kContinueDialog, true, "Continue Old Game?",
               "Do you want to continue your last game? Your position was saved when you "
               "quit. If you do not continue now, that game will be lost.",
               "", kYesNo);
}

void WinLodeApp::CreateGameButtons() {
    for (const GameButtonSpec& spec : kGameButtons) {
        auto button = std::make_unique<ButtonWidget>(spec.id, this);
        button->fingerOnHover = true;
        button->hitInsets = spec.id == kHint ? Insets{-16, -8, -16, -8} : Insets{1, 1, 3, 3};
        if (spec.overImage >= 0) button->overImage = images[spec.overImage].get();
        button->downImage = images[spec.downImage].get();
        button->Resize(spec.rect);
        GetWidgetManager()->AddWidget(button.get());
        if (spec.id == kNormal) normalButton = button.get();
        if (spec.id == kTimed) timedButton = button.get();
        gameButtons.push_back(std::move(button));
    }
}

void WinLodeApp::SetMode(bool timed, bool restart) {
    const bool switched = timed != timedMode;
    timedMode = timed;
    if (normalButton) {
        normalButton->normalImage = timed ? nullptr : images[17].get();
        normalButton->MarkDirty();
    }
    if (timedButton) {
        timedButton->normalImage = timed ? images[19].get() : nullptr;
        timedButton->MarkDirty();
    }
    if (restart)
        NewBoard();
    else if (switched && board)
        PlayModeSong();  // a loaded game of the other mode
}

void WinLodeApp::PlayModeSong() {
    MusicInterface* music = GetMusicInterface();
    music->FadeOutMusic(timedMode ? kNormalSong : kTimedSong);
    music->FadeInMusic(timedMode ? kTimedSong : kNormalSong);
}

// A game-over screen still sliding in has not asked for the name yet: the
// question comes first, and the new board once it is answered.
bool WinLodeApp::AskForNameBeforeLeaving() {
    if (!gameOverScreen || gameOverScreen->resultReported) return false;
    gameOverScreen->FinishSlide();
    newBoardAfterName = GetDialog(kRecordScoreDialog) != nullptr;
    return newBoardAfterName;
}

void WinLodeApp::NameQuestionClosed() {
    if (!newBoardAfterName) return;
    newBoardAfterName = false;
    NewBoard();
}

void WinLodeApp::NewBoard() {
    if (AskForNameBeforeLeaving()) return;
    WidgetManager* manager = GetWidgetManager();
    if (gameOverScreen) {
        manager->RemoveWidget(gameOverScreen.get());
        SafeDelete(gameOverScreen.release());
    }
    if (board) {
        board->GiveUpSavedGame();  // a mode button ends a game without its end sequence
        manager->RemoveWidget(board.get());
        SafeDelete(board.release());
    }
    focusPausedBoard = nullptr;
    if (commandSeed) random.Seed(*commandSeed);
    board = std::make_unique<Board>(*this, timedMode);
    board->dealtFromSeed = commandSeed;
    commandSeed.reset();
    board->savePath = RunFolders().WritePath(Board::kDefaultSavePath).string();
    board->SetArt(this);
    board->Resize(0, 0, 640, 480);
    manager->AddWidget(board.get());
    manager->SendToBack(board.get());
    manager->SetFocus(board.get());
    PlayModeSong();
}

void WinLodeApp::ShowGameOver() {
    WidgetManager* manager = GetWidgetManager();
    manager->RemoveWidget(board.get());
    gameOverScreen = std::make_unique<HighScoreWidget>(this);
    gameOverScreen->Resize(0, 0, width, height);
    manager->AddWidget(gameOverScreen.get());
    manager->SendToBack(gameOverScreen.get());
}

// ---- questions ----

void WinLodeApp::AskNewGame() {
    if (board && board->state == BoardState::GameOverShown) {
        NewBoard();
        return;
    }
    DefaultToNo(ShowDialog(kNewGameDialog, true, "New Game",
                           "Are you sure you want to end\nthe current game?", "", kYesNo));
}

void WinLodeApp::AskMode(bool timed) {
    if (board && board->state == BoardState::GameOverShown) {
        SetMode(timed, true);
        return;
    }
    if (timed)
        DefaultToNo(ShowDialog(kTimedModeDialog, true, "Timed Mode",
                               "You must end the current game\nto switch to timed mode. Ok?", "",
                               kYesNo));
    else
        DefaultToNo(ShowDialog(kNormalModeDialog, true, "Normal Mode",
                               "You must end the current game\nto switch to normal mode. Ok?", "",
                               kYesNo));
}

void WinLodeApp::AskQuit() {
    std::string body = "Are you sure you want to\nquit the game?";
    // No promise the game cannot keep: without a writable folder nothing is saved.
    const bool inProgress = board && board->CanSaveGame();
    if (inProgress && RunFolders().CanWrite())
        body += "\n\nYour current game in progress\nwill be saved so you can\ncontinue next time.";
    Dialog* question = ShowDialog(kQuitDialog, true, "Quit", body, "", kYesNo);
    if (inProgress && !RunFolders().CanWrite()) DefaultToNo(question);
}

void WinLodeApp::QuitFromGame() {
    const std::string failures = SaveForQuit();
    if (failures.empty()) {
        quitSaveDone = true;
        Shutdown();
        return;
    }
    Log(failures);
    DefaultToNo(ShowDialog(kSaveFailedDialog, true, "Save Failed",
                           failures + "\nQuit anyway? NO goes back to the game.", "", kYesNo));
}

void WinLodeApp::ShowStartTip() {
    Dialog* tip = ShowDialog(kStartTipDialog, false, "",
                             "Swap adjacent gems to create rows of 3 or more!", "", kNoButtons);
    if (!tip) return;
    tip->contentInsets = Insets{16, 24, 16, 24};
    tip->Resize(201, 38, 418, tip->GetPreferredHeight(418));
}

// The player asked for the saved game but it was damaged or gone: the fresh
// game already on the board goes on, and the player is told why.
void WinLodeApp::ShowSavedGameUnreadable() {
    ShowDialog(kSavedGameUnreadableDialog, true, "Saved Game",
               "Your saved game could not be read, so a new game has been started.", "OK",
               kFooterButton);
}

void WinLodeApp::ShowNoWindowedMode() {
    ShowDialog(kInstructionsDialog, true, "No Windowed Mode",
               "Windowed mode is only available if your desktop is running in either 16 bit or "
               "32 bit color mode, which it is not.",
               "OK", kFooterButton);
}

// ---- dispatch ----

void WinLodeApp::ButtonPressed(int) {
    PlaySound(kMenuClickSound);
}

void WinLodeApp::ButtonClicked(int id) {
    int r = id % 10000;
    if (r >= 2000 && r <= 2999)
        DialogAccepted(id - 2000);
    else if (r >= 3000 && r <= 3999)
        DialogDeclined(id - 3000);
    GameButtonClicked(id);
}

void WinLodeApp::DialogAccepted(int dialogId) {
    switch (dialogId) {
        case kNewGameDialog:
            if (board) board->AbandonGame();
            CloseDialog(kNewGameDialog);
            return;
        case kQuitDialog:
            CloseDialog(kQuitDialog);
            QuitFromGame();
            return;
        case kSaveFailedDialog:  // quit anyway; a game saved before stays as it was
            CloseDialog(kSaveFailedDialog);
            quitSaveDone = true;
            Shutdown();
            return;
        case kOptionsDialog:
            ApplyOptions();
            return;
        case kNormalModeDialog:
            CloseDialog(kNormalModeDialog);
            SetMode(false, true);
            return;
        case kTimedModeDialog:
            CloseDialog(kTimedModeDialog);
            SetMode(true, true);
            return;
        case kRecordScoreDialog:
            AcceptRecordScore();
            return;
        case kContinueDialog:
            CloseDialog(kContinueDialog);
            if (board) {
                // A continued game was not dealt from the seed: it waits for the next. Its
                // file stays until the game is saved again or ends.
                if (!board->LoadGame()) {
                    board->KeepRefusedSavedGame();
                    board->DeleteSavedGame();
                    ShowSavedGameUnreadable();
                } else if (board->dealtFromSeed) {
                    commandSeed = board->dealtFromSeed;
                    board->dealtFromSeed.reset();
                }
            }
            return;
        case kNewVersionDialog:
            AcceptNewVersion();
            return;
        case kUpToDateDialog:
            CloseUpdateDialogs(kUpToDateDialog);
            return;
        default:
            CloseDialog(dialogId);
            return;
    }
}

void WinLodeApp::DialogDeclined(int dialogId) {
    if (dialogId == kNewVersionDialog) CloseUpdateDialogs(kNewVersionDialog);
    CloseDialog(dialogId);
    if (dialogId == kContinueDialog && board) board->DeleteSavedGame();
    if (dialogId == kRecordScoreDialog) NameQuestionClosed();
}

void WinLodeApp::GameButtonClicked(int id) {
    switch (id) {
        case kNewGame:
            AskNewGame();
            return;
        case kNormal:
        case kTimed: {
            bool wantTimed = id == kTimed;
            if (wantTimed == timedMode)
                AskNewGame();
            else if (board && board->noMoveYet)
                SetMode(wantTimed, true);
            else
                AskMode(wantTimed);
            return;
        }
        case kOptions:
            ShowOptions();
            return;
        case kQuit:
            AskQuit();
            return;
        case kHint:
            if (board) board->ShowHint();
            return;
        default:
            return;
    }
}

// ---- dialogs ----

Dialog* WinLodeApp::CreateDialog(int id, bool modal, const std::string& header,
                                 const std::string& body, const std::string& footer,
                                 int buttonMode) {
    auto* dialog =
        new Dialog(images[12].get(), images[13].get(), id, modal, header, body, footer, buttonMode);
    dialog->SetHeaderFont(titleFont.get());
    dialog->SetBodyFont(textFont.get());
    dialog->SetButtonFont(textFont.get());
    dialog->Resize(250, 50, 316, dialog->GetPreferredHeight(316));
    return dialog;
}

// The keyboard goes back to the board once no modal dialog remains; the start
// tip (not modal, no keys of its own) does not keep it, or "any key pauses"
// would do nothing until the first move.
bool WinLodeApp::CloseDialog(int id) {
    bool closed = VarnApp::CloseDialog(id);
    if (closed && GetModalDialogs().empty() && board) GetWidgetManager()->SetFocus(board.get());
    return closed;
}

void WinLodeApp::ModalDialogOpened() {
    if (board) board->PauseBoard(timedMode);
}

void WinLodeApp::ModalDialogsClosed() {
    if (board) board->ResumeBoard(timedMode);
}

// ---- browser ----

bool WinLodeApp::OpenBrowser(const std::string& url, bool quitAfter) {
    Dialog* waiting =
        ShowDialog(kOpeningBrowserDialog, true, "", "Opening Browser ...", "", kNoButtons);
    if (waiting) {
        waiting->contentInsets = Insets{16, 16, 16, 16};
        waiting->Resize(180, 140, 280, 70);
    }
    return VarnApp::OpenBrowser(url, quitAfter);
}

void WinLodeApp::BrowserOpenFailed(const std::string& url) {
    VarnApp::BrowserOpenFailed(url);
    CloseDialog(kOpeningBrowserDialog);
    Dialog* dialog =
        ShowDialog(kOpenBrowserDialog, true, "OPEN BROWSER",
                   "Please open the following URL in your browser:\n" + url, "OK", kFooterButton);
    if (!dialog) return;
    if (dialog->bodyFont)
        dialog->body = "Please open the following URL in your browser:\n" +
                       AddressLines(url, *dialog->bodyFont, dialog->BodyWidth(440));
    dialog->Resize(100, 50, 440, dialog->GetPreferredHeight(440));
}

// In the dialog that tells other failed opens, with nothing to copy.
void WinLodeApp::PageNotOpened(const std::string& reason) {
    Dialog* dialog =
        ShowDialog(kOpenBrowserDialog, true, "OPEN BROWSER",
                   "The update page could not be opened: " + reason + ".", "OK", kFooterButton);
    if (dialog) dialog->Resize(100, 50, 440, dialog->GetPreferredHeight(440));
}

void WinLodeApp::BrowserReturned(const std::string& url) {
    VarnApp::BrowserReturned(url);
    CloseDialog(kOpeningBrowserDialog);
}

}  // namespace Varn
