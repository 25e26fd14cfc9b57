// ControlSupport: small helpers the controls share: the pointer kinds they ask
// the application for, safe colour-table reads, and the default "SansSerif" system font each
// control falls back to when no font was set. Limits: both reach the application through the
// widget's manager; a widget outside any manager changes no cursor.
#pragma once

#include <memory>
#include <vector>

#include "graphics/Color.h"

namespace Varn {

class Font;
class Widget;

namespace CursorKind {
inline constexpr int Pointer = 0;
inline constexpr int Finger = 1;
inline constexpr int Dragging = 2;
inline constexpr int Text = 3;
}  // namespace CursorKind

// Asks the application of the widget's manager for a pointer kind.
void SetWidgetCursor(Widget* widget, int kind);

// Entry `index` of a colour table, or black if a caller replaced the table by a
// shorter one.
const Color& TableColor(const std::vector<Color>& table, int index);

// The system font "SansSerif" at the given point size, the controls' default.
std::unique_ptr<Font> MakeSansSerifFont(int pointSize, bool bold);

}  // namespace Varn
