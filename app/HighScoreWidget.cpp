// HighScoreWidget: construction, the slide, the result report, recording and
// the file at the end of its life. The drawing is HighScoreWidgetDraw.cpp.
#include "app/HighScoreWidget.h"

#include <cstdio>
#include <cstdlib>

#include "app/HighScoresFile.h"
#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/GameFolders.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/InputPrompts.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {

constexpr int kPlayAgainId = 0;
constexpr Rect kPlayAgainRect{265, 389, 286, 23};
const char* const kPlayAgainText = "CLICK HERE TO PLAY AGAIN";
const char* const kWriteFailedText =
    "Failed to create high score file!\n"
    "Please report this problem to support@zandrel.example";

const char* const kTips[HighScoreWidget::kTipCount] = {
    "TIP- You can click and drag a gem instead of clicking twice",
    "TIP- Fill the bonus bar to proceed to higher-scoring levels",
    "TIP- Make cascades of chain-reacting gems for extra points",
    "TIP- Create rows of 4 or 5 gems for extra points",
    "TIP- Complete 2 rows with one move for bonus points",
    "TIP- Replenish the bonus bar in Timetrial by scoring combos",
    "TIP- You can click and drag a gem to swap it with another",
    "TIP- Press any key to pause the game in Timetrial mode",
    "TIP- Visit zandrel.example for more great games",
};

int BoardMode(const Board& board) {
    return board.timedMode ? HighScoreTables::kTimedMode : HighScoreTables::kNormalMode;
}

}  // namespace

std::string FormatGameDuration(int seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%2d.%02d", seconds / 60, seconds % 60);
    return text;
}

std::string SeedText(std::uint32_t seed) {
    return "SEED " + std::to_string(seed);
}

const char* HighScoreWidget::TipText(int index) {
    return index >= 0 && index < kTipCount ? kTips[index] : "";
}

HighScoreWidget::HighScoreWidget(WinLodeApp* application, bool writesFileOnDestruction)
    : app(application),
      writesFile(writesFileOnDestruction),
      filePath(RunFolders().WritePath(kFileName).string()),
      playAgainLink(std::make_unique<HyperlinkWidget>(kPlayAgainId, this)) {
    playAgainLink->SetFont(app->GetTitleFont());
    playAgainLink->label = kPlayAgainText;
    playAgainLink->color = Color(0, 0, 0);
    playAgainLink->overColor = Color(255, 255, 255);
    playAgainLink->underline = false;
    tip = kTips[std::rand() % kTipCount];
    blinkCount = 0;
    // Read from where it is written, so the tables shown are the ones kept.
    if (!filePath.empty()) tables = ReadHighScoreFile(filePath, CurrentDayNumber());
}

HighScoreWidget::~HighScoreWidget() {
    if (writesFile) WriteFile();
}

bool HighScoreWidget::WriteFileNow() {
    if (!writesFile || filePath.empty()) return true;
    if (!WriteHighScoreFile(filePath, tables, CurrentDayNumber())) return false;
    writesFile = false;
    return true;
}

void HighScoreWidget::WriteFile() {
    if (filePath.empty()) return;  // nothing can be written; the player was told at start
    if (!WriteHighScoreFile(filePath, tables, CurrentDayNumber()))
        app->ShowFatalError(kWriteFailedText);
}

void HighScoreWidget::AddedToManager(WidgetManager* widgetManager) {
    Widget::AddedToManager(widgetManager);
    widgetManager->AddWidget(playAgainLink.get());
}

void HighScoreWidget::RemovedFromManager(WidgetManager* widgetManager) {
    Widget::RemovedFromManager(widgetManager);
    widgetManager->RemoveWidget(playAgainLink.get());
}

// The picture of the final board is taken once, at the first sizing, while
// the board still stands as it ended.
void HighScoreWidget::Resize(int newX, int newY, int newWidth, int newHeight) {
    Widget::Resize(newX, newY, newWidth, newHeight);
    slideOffset = -height;
    PlacePlayAgainLink();
    Board* board = app->GetBoard();
    if (boardPicture || !board || width <= 0 || height <= 0) return;
    boardPicture = std::make_unique<MemoryImage>(app->GetImageRegistry());
    boardPicture->Create(width, height);
    Graphics pictureGraphics(boardPicture.get());
    board->Draw(&pictureGraphics);
    boardPicture->CommitBits();
}

void HighScoreWidget::PlacePlayAgainLink() {
    playAgainLink->Resize(kPlayAgainRect.x, slideOffset + kPlayAgainRect.y, kPlayAgainRect.width,
                          kPlayAgainRect.height);
}

void HighScoreWidget::Update() {
    Widget::Update();
    const std::string label = InputPrompt(kPlayAgainText, app->PadInUse());
    if (playAgainLink->label != label) {
        playAgainLink->label = label;
        playAgainLink->MarkDirty();
    }
    if (slideOffset < 0) {
        slideOffset += kSlideStep;
        if (slideOffset >= 0) {
            slideOffset = 0;
            ReportResult();
        }
        MarkDirty();
        PlacePlayAgainLink();
    }
    if (updateCount % kBlinkInterval == 0) {
        ++blinkCount;
        MarkDirty();
    }
}

void HighScoreWidget::FinishSlide() {
    if (slideOffset < 0) {
        slideOffset = 0;
        PlacePlayAgainLink();
        MarkDirty();
    }
    ReportResult();
}

void HighScoreWidget::ReportResult() {
    // A second sizing would slide the panel in again; the question is asked once.
    if (resultReported) return;
    resultReported = true;
    Board* board = app->GetBoard();
    if (!board) return;
    std::string message = ResultMessage(tables, BoardMode(*board), board->score);
    if (!message.empty()) app->ShowRecordScore(message);
}

void HighScoreWidget::RecordScore(const std::string& name) {
    Board* board = app->GetBoard();
    if (!board) return;
    tables.Record(BoardMode(*board), name, board->score);
    MarkDirty();
}

void HighScoreWidget::ButtonClicked(int id) {
    if (id == kPlayAgainId) app->NewBoard();
}

}  // namespace Varn
