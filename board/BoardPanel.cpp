// BoardRenderer: the readouts of the side panel and the bottom bar: score,
// bonus bar, level number, the current move's points and the hint button's
// highlight.
#include <algorithm>
#include <cmath>
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
// The window of the HINT badge that the move bonus stands in, a pixel in from
// its rim on either side.
constexpr int kBonusLeft = 74;
constexpr int kBonusRoom = 33;
// A long bonus is first drawn narrower, down to this share of its width; only
// past that does it shrink in height too.
constexpr double kNarrowestShare = 0.75;

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
    const std::string value = "+" + std::to_string(board.movePoints);
    const int textWidth = font->StringWidth(value);
    // Centred a little right of the middle, so the digits rather than the sign are.
    const int left = 91 - textWidth / 2 - font->CharWidth('+') / 3;
    Graphics text(g);
    text.SetFont(font);
    text.SetColor(FadedWhite(board.moveBonusStrength));
    if (left >= kBonusLeft && left + textWidth <= kBonusLeft + kBonusRoom) {
        text.DrawString(value, left, kMoveBonusBaseline);
        return;
    }
    DrawSqueezedText(text, value, Rect(kBonusLeft, kMoveBonusBaseline, kBonusRoom, 0));
}

// Text too wide for its room: drawn in the Graphics' font and colour into a
// picture of its own, then scaled into the room (room.y is the baseline).
void BoardRenderer::DrawSqueezedText(Graphics& g, const std::string& value, const Rect& room) {
    Font* font = g.GetFont();
    // The picture keeps what reaches past the text's ends (outline, shadow); the text itself
    // fills the room and those edges stand just outside it, as unsqueezed text's do.
    const int reach = std::clamp(font->GetOverhang(), 0, 64);
    const int textWidth = font->StringWidth(value);
    MemoryImage picture(nullptr);
    picture.Create(textWidth + 2 * reach, font->GetHeight());
    Graphics inside(&picture);
    inside.SetFont(font);
    inside.SetColor(g.GetColor());
    inside.DrawString(value, reach, font->GetAscent());
    const double share = double(room.width) / textWidth;
    const double heightShare = std::min(1.0, share / kNarrowestShare);
    const int ascent = int(std::lround(font->GetAscent() * heightShare));
    const int height = int(std::lround(font->GetHeight() * heightShare));
    const int margin = int(std::lround(reach * share));
    g.DrawImage(&picture, Rect(room.x - margin, room.y - ascent, room.width + 2 * margin, height),
                Rect(0, 0, textWidth + 2 * reach, font->GetHeight()));
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
