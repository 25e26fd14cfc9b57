// BoardRenderer: the readouts of the side panel and the bottom bar: score,
// bonus bar, level number, the current move's points and the hint button's
// highlight.
#include <string>

#include "board/Board.h"
#include "board/BoardArt.h"
#include "board/BoardRenderer.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"

namespace Varn {

namespace {
constexpr Color kScoreColor(173, 231, 255);
constexpr int kWhiteBarFrame = 24;
constexpr int kBarX = 237;
constexpr int kBarY = 444;
constexpr int kBarHeight = 25;
constexpr int kScoreBaseline = 106;
constexpr int kMoveBonusBaseline = 350;

// A readout's old and new text differ in width, and a long one may reach past the
// panel, so its band spans the widget.
Rect TextBand(const Font* font, int baseline) {
    if (!font) return Rect();
    return Rect(0, baseline - font->GetAscent() - 2, kBoardWidgetWidth, font->GetHeight() + 4);
}
}  // namespace

void BoardRenderer::DrawScore(Graphics& g) {
    Font* font = art.ScoreFont();
    if (!font) return;
    Graphics text(g);
    text.SetFont(font);
    text.SetColor(kScoreColor);
    const std::string value = std::to_string(board.displayedScore);
    text.DrawString(value, 93 - font->StringWidth(value) / 2, kScoreBaseline);
}

// Frames 0-23 are the colours of the timed bar by fill, 24 its white flash;
// normal mode always shows frame 23.
void BoardRenderer::DrawBonusBar(Graphics& g) {
    if (board.barPixels <= 0) return;
    Image* bar = nullptr;
    if (board.barFrame >= 0 && board.barFrame < BoardArt::kTimerBarColors)
        bar = art.TimerBar(board.barFrame);
    else if (board.barFrame == kWhiteBarFrame)
        bar = art.WhiteTimerBar();
    g.DrawImage(bar, kBarX, kBarY, Rect(0, 0, board.barPixels, kBarHeight));
}

void BoardRenderer::DrawLevelNumber(Graphics& g) {
    Font* font = art.TitleFont();
    if (!font) return;
    Graphics text(g);
    text.SetFont(font);
    text.SetColor(Color::Black);
    const std::string value = std::to_string(board.levelNumber);
    text.DrawString(value, 606 - font->StringWidth(value) / 2, 465);
}

void BoardRenderer::DrawMoveBonus(Graphics& g) {
    Font* font = art.TitleFont();
    if (!font || !(board.moveBonusStrength > 0.0)) return;
    Graphics text(g);
    text.SetFont(font);
    text.SetColor(FadedWhite(board.moveBonusStrength));
    std::string value(1, '+');
    value += std::to_string(board.movePoints);
    text.DrawString(value, 91 - font->StringWidth(value) / 2 - font->CharWidth('+') / 3,
                    kMoveBonusBaseline);
}

Rect BoardRenderer::ScoreArea() const {
    return TextBand(art.ScoreFont(), kScoreBaseline);
}

Rect BoardRenderer::MoveBonusArea() const {
    return TextBand(art.TitleFont(), kMoveBonusBaseline);
}

Rect BoardRenderer::BonusBarArea() const {
    return Rect(kBarX, kBarY, kBarLength, kBarHeight);
}

Rect BoardRenderer::HintFlashArea() const {
    Image* highlight = art.GetImage(BoardImage::kHintHighlight);
    return highlight ? Rect(64, 303, highlight->GetWidth(), highlight->GetHeight()) : Rect();
}

void BoardRenderer::DrawHintFlash(Graphics& g) {
    if (!(board.hintFlashStrength > 0.0)) return;
    Graphics tinted(g);
    tinted.SetColorizeImages(true);
    tinted.SetColor(FadedWhite(board.hintFlashStrength));
    tinted.DrawImage(art.GetImage(BoardImage::kHintHighlight), 64, 303);
}

}  // namespace Varn
