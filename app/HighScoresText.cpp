#include "app/HighScoresText.h"

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

void DrawUnderlinedHeading(Graphics* g, const std::string& text, int centreX, int baseline) {
    int textWidth = HighScoreTextWidth(g, text);
    g->DrawString(text, centreX - textWidth / 2, baseline);
    g->FillRect(centreX - textWidth / 2, baseline + 3, textWidth, 1);
}

}  // namespace Varn
