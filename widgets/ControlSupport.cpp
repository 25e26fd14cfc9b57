// ControlSupport: cursor requests and the default system font.
#include "widgets/ControlSupport.h"

#include "graphics/SysFont.h"
#include "widgets/Widget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn {

void SetWidgetCursor(Widget* widget, int kind) {
    if (widget->manager && widget->manager->app) widget->manager->app->SetCursorKind(kind);
}

const Color& TableColor(const std::vector<Color>& table, int index) {
    return index >= 0 && index < static_cast<int>(table.size()) ? table[index] : Color::Black;
}

std::unique_ptr<Font> MakeSansSerifFont(int pointSize, bool bold) {
    // A face fontconfig cannot find still gives a font: one that measures and
    // draws nothing, so the controls work without text rather than fail.
    return std::make_unique<SysFont>("SansSerif", pointSize, bold);
}

}  // namespace Varn
