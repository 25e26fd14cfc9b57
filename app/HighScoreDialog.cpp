// HighScoreDialog: construction and the drawing of both tables.
#include "app/HighScoreDialog.h"

#include <string>

#include "app/HighScoreWidget.h"
#include "app/HighScoresText.h"
#include "app/WinLodeApp.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"

namespace Varn {

namespace {

constexpr int kColumnOffset = 90;
constexpr int kColumnHalfWidth = 74;
const Color kHeadingColor(255, 255, 128);
const Color kEntryColor(255, 255, 0);

}  // namespace

HighScoreDialog::HighScoreDialog(WinLodeApp* application)
    : Dialog(application->GetImage(12), application->GetImage(13), kDialogId, true, "HIGH SCORES",
             "", "DONE", kFooterButton),
      app(application),
      holder(std::make_unique<HighScoreWidget>(application, false)) {
    SetHeaderFont(app->GetTitleFont());
    SetBodyFont(app->GetTextFont());
    SetButtonFont(app->GetTextFont());
    if (const HighScoreWidget* gameOver = app->GetGameOverScreen())
        holder->tables = gameOver->tables;
}

HighScoreDialog::~HighScoreDialog() = default;

int HighScoreDialog::GetPreferredHeight(int) {
    return kPreferredHeight;
}

void HighScoreDialog::Draw(Graphics* g) {
    Dialog::Draw(g);
    g->SetFont(app->GetTextFont());
    DrawModeTable(g, HighScoreTables::kNormalMode, width / 2 - kColumnOffset);
    DrawModeTable(g, HighScoreTables::kTimedMode, width / 2 + kColumnOffset);
}

void HighScoreDialog::DrawModeTable(Graphics* g, int mode, int centreX) {
    const HighScoreModeTable& table = holder->tables.Mode(mode);
    g->SetColor(kHeadingColor);
    DrawUnderlinedHeading(g, mode == HighScoreTables::kTimedMode ? "TIMED" : "NORMAL", centreX, 73);
    DrawUnderlinedHeading(g, "TODAY'S HIGH SCORE", centreX, 99);
    g->SetColor(kEntryColor);
    if (table.today.score < 1) {
        DrawTextCentredAt(g, "- Empty -", centreX, 125);
    } else {
        DrawScoreRow(g, table.today.name, table.today.score, centreX, kColumnHalfWidth, 125);
    }
    g->SetColor(kHeadingColor);
    DrawUnderlinedHeading(g, "ALL TIME HIGH SCORES", centreX, 155);
    g->SetColor(kEntryColor);
    for (int j = 0; j < HighScoreModeTable::kAllTimeEntries; ++j) {
        int baseline = 179 + 17 * j;
        DrawScoreRow(g, table.allTime[j].name, table.allTime[j].score, centreX, kColumnHalfWidth,
                     baseline);
    }
}

}  // namespace Varn
