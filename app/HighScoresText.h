// Text placement shared by the game-over screen and the high-score dialog,
// all with the Graphics' current font and colour at a given baseline.
#pragma once

#include <string>

namespace Varn {

class Graphics;

int HighScoreTextWidth(Graphics* g, const std::string& text);
// Drawn from centreX - width / 2.
void DrawTextCentredAt(Graphics* g, const std::string& text, int centreX, int baseline);
// Drawn from rightX - width.
void DrawTextEndingAt(Graphics* g, const std::string& text, int rightX, int baseline);
// Centred, with a 1-pixel line as wide as the text 3 pixels below the baseline.
void DrawUnderlinedHeading(Graphics* g, const std::string& text, int centreX, int baseline);

}  // namespace Varn
