#include "app/HighScoresText.h"

#include <algorithm>

#include "graphics/Font.h"
#include "graphics/Graphics.h"

namespace Varn {

int HighScoreTextWidth(Graphics* g, const std::string& text) {
    Font* font = g->GetFont();
    return font ? font->StringWidth(text) : 0;
}

void DrawTextCentredAt(Graphics* g, const std::string& text, int centreX, int baseline) {
    g->DrawString(text, centreX - HighScoreTextWidth(g, text) / 2, baseline);
}

void DrawTextEndingAt(Graphics* g, const std::string& text, int rightX, int baseline) {
    g->DrawString(text, rightX - HighScoreTextWidth(g, text), baseline);
}

void DrawScoreRow(Graphics* g, const std::string& name, int score, int centreX, int halfWidth,
                  int baseline) {
    constexpr int kNameGap = 6;
    const std::string points = std::to_string(score);
    const int right = centreX + halfWidth;
    const int left = centreX - halfWidth;
    const int nameRight = right - HighScoreTextWidth(g, points) - kNameGap;
    Font* font = g->GetFont();
    const int lineHeight = font ? std::max(font->GetHeight(), font->GetLineSpacing()) : 0;
    Graphics clipped(*g);
    clipped.ClipRect(left, baseline - lineHeight, std::max(0, nameRight - left), 2 * lineHeight);
    clipped.DrawString(name, left, baseline);
    DrawTextEndingAt(g, points, right, baseline);
}

void DrawUnderlinedHeading(Graphics* g, const std::string& text, int centreX, int baseline) {
    int textWidth = HighScoreTextWidth(g, text);
    g->DrawString(text, centreX - textWidth / 2, baseline);
    g->FillRect(centreX - textWidth / 2, baseline + 3, textWidth, 1);
}

}  // namespace Varn
