// HighScoreWidget drawing: the sliding panel with statistics, tip and both
// tables, the still background over it, the final score, and the picture of
// the final board below the panel.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/HighScoreWidget.h"
#include "app/HighScoresText.h"
#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "board/ImageColor.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/InputPrompts.h"

namespace Varn {

namespace {

constexpr int kPanelBottomLimit = 436;
constexpr int kCentreX = 408;
constexpr int kBandX = 191;
constexpr int kBandWidth = 434;
constexpr int kBandHeight = 23;
constexpr int kColumnHalfWidth = 74;
constexpr int kRainbowStep = 20;
constexpr int kRainbowSaturation = 255;
constexpr int kRainbowLightness = 180;
const Color kPanelColor(21, 0, 56);
const Color kBandColor(0, 218, 0);
const Color kHeadingColor(46, 216, 0);
const Color kModeColor(255, 193, 0);

Color RainbowColor(int64_t step) {
    return ImageColor::HslColor(int((step * kRainbowStep) % 256), kRainbowSaturation,
                                kRainbowLightness);
}

}  // namespace

Color HighScoreWidget::TodayColor() const {
    return RainbowColor(blinkCount);
}

Color HighScoreWidget::AllTimeColor(int row) const {
    return RainbowColor(int64_t(blinkCount) + row + 2);
}

void HighScoreWidget::Draw(Graphics* g) {
    Board* board = app->GetBoard();
    g->SetColor(Color(0, 0, 0));
    g->FillRect(0, 0, width, height);
    int panelBottom = std::min(height + slideOffset, kPanelBottomLimit);
    if (panelBottom > 0) DrawPanel(g, board);
    if (boardPicture && panelBottom < height) {
        Graphics below(*g);
        below.ClipRect(0, panelBottom, width, height - panelBottom);
        below.DrawImage(boardPicture.get(), 0, 0);
    }
}

void HighScoreWidget::DrawPanel(Graphics* g, Board* board) {
    int panelBottom = std::min(height + slideOffset, kPanelBottomLimit);
    Graphics panel(*g);
    panel.ClipRect(0, 0, width, panelBottom);
    panel.Translate(0, slideOffset);
    panel.SetColor(kPanelColor);
    panel.FillRect(0, 0, width, height);
    Font* titleFont = app->GetTitleFont();
    panel.SetFont(titleFont);
    panel.SetColor(Color(255, 0, 177));
    DrawTextCentredAt(&panel, "GAME OVER", kCentreX, 45);
    DrawStatistics(&panel, board);
    DrawTables(&panel);

    // The background does not slide: it is drawn without the offset.
    Graphics still(*g);
    still.ClipRect(0, 0, width, panelBottom);
    still.DrawImage(app->GetImage(9), 0, 0);
    if (!board) return;
    still.SetFont(app->ScoreFont());
    still.SetColor(Color(173, 231, 255));
    DrawTextCentredAt(&still, std::to_string(board->score), 93, 106);
    // A game dealt from --seed names its seed, so the player can replay or report it.
    if (board->dealtFromSeed) {
        still.SetFont(app->GetTextFont());
        DrawTextCentredAt(&still, SeedText(*board->dealtFromSeed), 93, 136);
    }
}

void HighScoreWidget::DrawStatistics(Graphics* g, Board* board) {
    g->SetFont(app->GetTextFont());
    g->SetColor(Color(252, 0, 195));
    DrawTextEndingAt(g, "GAME DURATION", 341, 88);
    DrawTextEndingAt(g, "GEMS CLEARED", 341, 105);
    DrawTextEndingAt(g, "LONGEST CASCADE", 546, 88);
    DrawTextEndingAt(g, "BEST SINGLE MOVE", 546, 105);
    if (board) {
        g->SetColor(Color(255, 100, 220));
        DrawTextEndingAt(g, FormatGameDuration(board->gameSeconds), 382, 88);
        DrawTextEndingAt(g, std::to_string(board->gemsCleared), 382, 105);
        DrawTextEndingAt(g, std::to_string(board->longestCascade), 587, 88);
        DrawTextEndingAt(g, std::to_string(board->bestMove), 587, 105);
    }
    g->SetColor(Color(250, 0, 0));
    DrawTextCentredAt(g, InputPrompt(tip, app->PadInUse()), kCentreX, 136);
}

void HighScoreWidget::DrawTables(Graphics* g) {
    g->SetColor(kBandColor);
    g->FillRect(kBandX, 151, kBandWidth, kBandHeight);
    Font* titleFont = app->GetTitleFont();
    if (titleFont) {
        g->SetFont(titleFont);
        g->SetColor(Color(0, 0, 0));
        std::string text = "HIGH SCORES";
        g->DrawString(text, kBandX + (kBandWidth - HighScoreTextWidth(g, text)) / 2,
                      150 + (titleFont->GetAscent() + kBandHeight) / 2);
    }
    g->SetColor(kBandColor);
    g->FillRect(kBandX, 389, kBandWidth, kBandHeight);
    g->SetFont(app->GetTextFont());
    DrawModeTable(g, HighScoreTables::kNormalMode, 287);
    DrawModeTable(g, HighScoreTables::kTimedMode, 525);
}

void HighScoreWidget::DrawModeTable(Graphics* g, int mode, int centreX) {
    const HighScoreModeTable& table = tables.Mode(mode);
    g->SetColor(kModeColor);
    DrawUnderlinedHeading(g, mode == HighScoreTables::kTimedMode ? "TIMED" : "NORMAL", centreX,
                          197);
    g->SetColor(kHeadingColor);
    DrawUnderlinedHeading(g, "TODAY'S HIGH SCORE", centreX, 223);
    g->SetColor(TodayColor());
    if (table.today.score < 1) {
        DrawTextCentredAt(g, "- Empty -", centreX, 249);
    } else {
        DrawScoreRow(g, table.today.name, table.today.score, centreX, kColumnHalfWidth, 249);
    }
    g->SetColor(kHeadingColor);
    DrawUnderlinedHeading(g, "ALL TIME HIGH SCORES", centreX, 279);
    for (int j = 0; j < HighScoreModeTable::kAllTimeEntries; ++j) {
        int baseline = 303 + 17 * j;
        g->SetColor(AllTimeColor(j));
        DrawScoreRow(g, table.allTime[j].name, table.allTime[j].score, centreX, kColumnHalfWidth,
                     baseline);
    }
}

}  // namespace Varn
