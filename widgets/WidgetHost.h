// WidgetHost: what widgets may ask of the application that owns them.
// The application object implements it; tests use a small fake. Keeping it an
// interface lets the widget library sit below the framework.
#pragma once

#include <string>

namespace Varn {

class ButtonListener;
class Widget;

class WidgetHost {
public:
    virtual ~WidgetHost() = default;

    // 0 pointer, 1 finger, 2 dragging, 3 text.
    virtual void SetCursorKind(int kind) = 0;
    virtual void CopyToClipboard(const std::string& text) = 0;
    virtual std::string GetClipboardText() = 0;
    // Deletes the widget at the end of the current loop pass, so a widget may
    // remove itself from inside one of its own handlers.
    virtual void SafeDelete(Widget* widget) = 0;
    // Where dialogs forward their buttons' ids (dialog id + 2000 and + 3000);
    // null when nobody listens.
    virtual ButtonListener* GetButtonListener() = 0;
};

}  // namespace Varn
