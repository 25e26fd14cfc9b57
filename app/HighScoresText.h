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
// A table row: the score ends at centreX + halfWidth, the name starts at
// centreX - halfWidth and is cut off a few pixels before the score, however
// long it is.
void DrawScoreRow(Graphics* g, const std::string& name, int score, int centreX, int halfWidth,
                  int baseline);
// Centred, with a 1-pixel line as wide as the text 3 pixels below the baseline.
void DrawUnderlinedHeading(Graphics* g, const std::string& text, int centreX, int baseline);

}  // namespace Varn
