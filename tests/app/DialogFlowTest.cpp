// Every dialog the game opens, in the real application: it and all its
// buttons and controls lie on the 640 x 480 screen; Enter and Escape press
// its buttons; and the keyboard goes back to the board when a modal dialog
// closes over the start tip.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/AddressLines.h"
#include "app/OptionsDialog.h"
#include "board/Board.h"
#include "graphics/Graphics.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

constexpr int kNewGame = 10, kNormal = 11, kTimed = 12, kOptions = 13, kQuit = 14;
constexpr int kLongBody = 40;  // sentences in the longest body the tests give a dialog

struct DialogOpener {
    const char* what;
    int id;
    std::function<void(AppHarness&)> open;
};

void ClickOptionsButton(AppHarness& h, bool help) {
    h.ClickButton(kOptions);
    auto* options = dynamic_cast<OptionsDialog*>(h.app->GetDialog(2));
    ASSERT_NE(options, nullptr);
    Widget* button = help ? options->helpButton.get() : options->highScoresButton.get();
    h.Click(button->x + button->width / 2, button->y + button->height / 2);
}

std::string LongText() {
    std::string text;
    for (int i = 0; i < kLongBody; ++i) text += "A damaged or hostile text runs on and on. ";
    return text;
}

// Each dialog of the game, opened the way the game opens it. New entries
// (further dialogs of the game) go here; the update check's answers 10018 and
// 20018 need a loopback server and are checked with it in
// tests/http/UpdateCheckFlowTest.cpp.
const DialogOpener kDialogs[] = {
    {"new game question", 0, [](AppHarness& h) { h.ClickButton(kNewGame); }},
    {"quit question with the saved-game note", 1,
     [](AppHarness& h) {
         h.app->GetBoard()->noMoveYet = false;
         h.ClickButton(kQuit);
     }},
    {"options", 2, [](AppHarness& h) { h.ClickButton(kOptions); }},
    {"normal mode question", 3,
     [](AppHarness& h) {
         h.app->SetMode(true, true);
         h.app->GetBoard()->noMoveYet = false;
         h.ClickButton(kNormal);
     }},
    {"timed mode question", 4,
     [](AppHarness& h) {
         h.app->GetBoard()->noMoveYet = false;
         h.ClickButton(kTimed);
     }},
    {"name entry", 8,
     [](AppHarness& h) { h.app->ShowRecordScore("Congratulations!\nA new high score!"); }},
    {"start tip", 9, [](AppHarness& h) { h.app->ShowStartTip(); }},
    {"opening browser", 10,
     [](AppHarness& h) { h.app->OpenBrowser("http://zandrel.example/", false); }},
    {"open browser by hand", 11,
     [](AppHarness& h) { h.app->BrowserOpenFailed("http://zandrel.example/" + LongText()); }},
    {"instructions (Help)", 12, [](AppHarness& h) { ClickOptionsButton(h, true); }},
    {"no windowed mode", 12, [](AppHarness& h) { h.app->ShowNoWindowedMode(); }},
    {"high scores", 13, [](AppHarness& h) { ClickOptionsButton(h, false); }},
    {"any message dialog with a long text", 5,
     [](AppHarness& h) { h.app->ShowDialog(5, true, "LONG", LongText(), "OK", 3); }},
    {"saved game unreadable", 17, [](AppHarness& h) { h.app->ShowSavedGameUnreadable(); }},
    {"continue question", 16,
     [](AppHarness& h) {
         ASSERT_TRUE(h.MakeMove());
         h.Restart();  // the game in progress is saved at exit
         h.StartPlaying();
     }},
    {"update check without an answer", 18,
     [](AppHarness& h) {
         h.app->updateServer = "http://127.0.0.1:9";
         h.app->StartUpdateCheck();
     }},
};
const std::set<int> kEnterSaysNo = {0, 3, 4};  // YES gives the game up

bool OnScreen(const Rect& r) {
    return r.x >= 0 && r.y >= 0 && r.x + r.width <= 640 && r.y + r.height <= 480;
}

void ExpectWidgetsOnScreen(AppHarness& h, const std::set<Widget*>& before, const char* what) {
    for (Widget* w : h.app->GetWidgetManager()->GetWidgets()) {
        if (before.count(w) || w->width <= 0 || w->height <= 0) continue;
        const Rect r = w->GetRect();
        EXPECT_TRUE(OnScreen(r)) << what << ": a widget at (" << r.x << ", " << r.y << ", "
                                 << r.width << ", " << r.height << ") leaves the screen";
    }
}

TEST(DialogFlowTest, EveryDialogOfTheGameAndAllItsButtonsLieOnTheScreen) {
    AppHarness h;
    h.Start();
    h.StartPlaying();
    for (const DialogOpener& entry : kDialogs) {
        SCOPED_TRACE(entry.what);
        const auto& listed = h.app->GetWidgetManager()->GetWidgets();
        const std::set<Widget*> before(listed.begin(), listed.end());
        entry.open(h);
        h.Tick();
        Dialog* dialog = h.app->GetDialog(entry.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(OnScreen(dialog->GetRect()));
        for (DialogButton* button : {dialog->firstButton.get(), dialog->secondButton.get()}) {
            if (button) {
                EXPECT_TRUE(OnScreen(button->GetRect())) << button->label;
            }
        }
        ExpectWidgetsOnScreen(h, before, entry.what);
        for (int id : {entry.id, 2}) h.app->CloseDialog(id);
        h.app->BrowserReturned("");  // no browser answer is left pending
        h.Tick();
        if (h.app->timedMode) h.app->SetMode(false, true);
        h.Tick();
    }
}

// An address has no blank to wrap at: it is broken into lines inside the frame.
TEST(DialogFlowTest, ALongAddressIsShownWithinTheOpenBrowserDialog) {
    AppHarness h;
    h.Start();
    const std::string url = "http://zandrel.example/^" + std::string(300, 'x');
    h.app->BrowserOpenFailed(url);
    Dialog* dialog = h.app->GetDialog(11);
    ASSERT_TRUE(dialog && dialog->bodyFont);
    Graphics g;
    g.SetFont(dialog->bodyFont.get());
    std::istringstream lines(dialog->body);
    std::string line, shown;
    std::getline(lines, line);  // the sentence before the address
    while (std::getline(lines, line)) {
        EXPECT_LE(dialog->DrawCodedText(&g, line, 0, 0, 0, -1, false), 440 - 48 - 4) << line;
        shown += line;
    }
    EXPECT_EQ(shown, "http://zandrel.example/^^" + std::string(300, 'x'));  // no colour code
    h.app->BrowserOpenFailed("http://zandrel.example/" + std::string(2000, 'y'));
    const std::string& body = h.app->GetDialog(11)->body;  // too long: shortened
    EXPECT_EQ(std::count(body.begin(), body.end(), '\n'), kMaxAddressLines);
    EXPECT_EQ(body.substr(body.size() - 4), "y...");
}

TEST(DialogFlowTest, ClosingAModalDialogOverTheStartTipGivesTheKeysBackToTheBoard) {
    AppHarness h;
    h.Start();
    h.StartPlaying();
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetDialog(9) != nullptr; }, 300));
    h.ClickButton(kNewGame);
    Dialog* question = h.app->GetDialog(0);
    ASSERT_NE(question, nullptr);
    DialogButton* no = question->secondButton.get();
    h.Click(no->x + no->width / 2, no->y + no->height / 2);
    ASSERT_NE(h.app->GetDialog(9), nullptr);
    Board* board = h.app->GetBoard();
    EXPECT_EQ(h.app->GetWidgetManager()->focusWidget, board);
    h.app->GetWidgetManager()->KeyChar('p');
    EXPECT_GT(board->playerPauseCount, 0) << "any key pauses";
}

// Escape presses each dialog's cancelling button and Enter its default one (the
// single button where there is only one), as a click would; neither key reaches
// the board (a key pauses it).
TEST(DialogFlowTest, EnterAndEscapePressTheButtonsOfEveryDialogAndNeverReachTheBoard) {
    for (const DialogOpener& entry : kDialogs) {
        SCOPED_TRACE(entry.what);
        AppHarness h;
        h.Start();
        h.StartPlaying();
        for (int key : {27, 13}) {
            entry.open(h);
            h.Tick();
            Dialog* dialog = h.app->GetDialog(entry.id);
            if (!dialog || !dialog->firstButton) break;  // the start tip, "Opening Browser ..."
            const bool no = key == 27 || kEnterSaysNo.count(entry.id);
            const int button = entry.id + (no && dialog->secondButton ? 3000 : 2000);
            h.app->clicks.clear();
            for (int message : {kMsgKeyDown, kMsgChar, kMsgKeyUp})
                h.platform.window.PostKey(message, key);
            h.Tick();
            EXPECT_EQ(h.app->clicks, std::vector<int>{button}) << "key " << key;
            EXPECT_EQ(h.app->GetBoard()->playerPauseCount, 0) << "key " << key;
        }
    }
}

}  // namespace
}  // namespace Varn::test
