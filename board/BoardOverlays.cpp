// BoardRenderer: what is drawn over the gems: floating scores, start-tip
// arrows, the wipe's electric line, the wavy message, the hole mask of the
// level-up whirl and the pause texts.
#include <algorithm>
#include <string>

#include "board/Board.h"
#include "board/BoardArt.h"
#include "board/BoardRenderer.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"

namespace Varn {

namespace {
constexpr int kElectricTile = 128;
constexpr int kWipeBand = 16;  // 8 pixels above and below the wipe line
}  // namespace

void BoardRenderer::DrawScorePopups(Graphics& g) {
    Font* digits = art.DigitFont();
    if (!digits) return;
    Graphics text(g);
    text.SetColor(Color::White);
    for (const ScorePopup& popup : board.scorePopups) {
        Font* font = popup.fade == -1 ? digits
                     : popup.fade >= 0 && popup.fade < BoardArt::kFadedDigitFonts
                         ? art.FadedDigitFont(popup.fade)
                         : nullptr;
        if (!font) continue;
        const std::string value = std::to_string(popup.value);
        text.SetFont(font);
        text.DrawString(value, popup.x - digits->StringWidth(value) / 2,
                        popup.y + digits->GetAscent() / 2);
    }
}

Rect BoardRenderer::PopupArea(const ScorePopup& popup) const {
    Font* digits = art.DigitFont();
    if (!digits) return Rect();
    const int width = digits->StringWidth(std::to_string(popup.value));
    const int ascent = digits->GetAscent();
    const int top = popup.y + ascent / 2 - ascent;
    return Rect(popup.x - width / 2 - 2, top - 3, width + 4, digits->GetHeight() + 6);
}

// The pointer shows the left gem of the suggested pair until that gem is
// selected, then the right one.
int BoardRenderer::PointerColumn() const {
    const TutorialMove& move = board.tutorialMove;
    const Gem* selected = board.selected;
    const bool firstChosen = selected && selected->column == move.c1 && selected->row == move.r;
    return firstChosen ? move.c2 : move.c1;
}

void BoardRenderer::DrawTutorialArrows(Graphics& g) {
    const TutorialMove& move = board.tutorialMove;
    if (!board.tutorialArrows || move.c1 < 0 || move.r < 0) return;
    g.DrawImage(art.GetImage(BoardImage::kSwapper1), ColumnX(move.c1) + 3, RowY(move.r) + 38);
    g.DrawImage(art.GetImage(BoardImage::kSwapper2), ColumnX(PointerColumn()) - 5,
                RowY(move.r) - 42 + board.arrowOffset);
}

Rect BoardRenderer::MovingArrowArea(int offsetA, int offsetB) const {
    const TutorialMove& move = board.tutorialMove;
    Image* pointer = art.GetImage(BoardImage::kSwapper2);
    if (!board.tutorialArrows || move.c1 < 0 || move.r < 0 || !pointer) return Rect();
    const int top = RowY(move.r) - 42 + std::min(offsetA, offsetB);
    const int travel = std::abs(offsetA - offsetB);
    return Rect(ColumnX(PointerColumn()) - 5, top, pointer->GetWidth(),
                pointer->GetHeight() + travel);
}

// The electric line shows only through the transparent board area: the
// screen frame is drawn over it again inside the band.
void BoardRenderer::DrawWipe(Graphics& g) {
    if (board.state != BoardState::NewLevelWipe) return;
    const int top = board.wipeLine - kWipeBand / 2;
    Graphics band(g);
    band.ClipRect(0, top, board.width, kWipeBand);
    band.SetDrawMode(DrawMode::Additive);
    const int jitter = std::clamp(board.wipeJitter, 0, kElectricTile - 1);
    Image* line = art.GetImage(BoardImage::kElectricLine);
    for (int i = 0; i < (board.width + kElectricTile - 1 + jitter) / kElectricTile; ++i)
        band.DrawImage(line, kElectricTile * i - jitter, top);
    band.SetDrawMode(DrawMode::Normal);
    band.DrawImage(art.GetImage(BoardImage::kScreenFrame), 0, 0);
}

void BoardRenderer::DrawMessage(Graphics& g) {
    if (!board.message.active) return;
    MemoryImage* frame = messageFrame.Render(board.message, art.OverFont());
    if (!frame) return;
    g.DrawImage(frame, kBoardCenterX - frame->GetWidth() / 2,
                kBoardCenterY - frame->GetHeight() / 2 - board.height / 6);
}

void BoardRenderer::DrawHoleMask(Graphics& g) {
    if (!(board.whirlpoolVolume > 0.0)) return;
    Image* mask = art.GetImage(BoardImage::kHoleMask);
    if (!mask) return;
    Graphics tinted(g);
    tinted.SetColorizeImages(true);
    tinted.SetColor(FadedWhite(board.whirlpoolVolume));
    tinted.DrawImage(mask, kBoardCenterX - mask->GetWidth() / 2,
                     kBoardCenterY - mask->GetHeight() / 2);
}

void BoardRenderer::DrawPauseTexts(Graphics& g) {
    Font* font = art.TitleFont();
    if (!font) return;
    Graphics text(g);
    text.SetFont(font);
    text.SetColor(Color::White);
    const std::string paused = "*** GAME PAUSED ***";
    const std::string resume = board.ResumePrompt();
    text.DrawString(paused, kBoardCenterX - font->StringWidth(paused) / 2,
                    kBoardCenterY - font->GetHeight() / 2);
    text.DrawString(resume, kBoardCenterX - font->StringWidth(resume) / 2,
                    kBoardCenterY + font->GetHeight());
}

}  // namespace Varn
