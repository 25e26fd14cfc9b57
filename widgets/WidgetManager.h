// WidgetManager: the flat, bottom-to-top list of widgets. It runs the update
// and drawing passes, keeps dirty marks consistent, and routes pointer and
// keyboard input (hover, press, drag, focus, the modal barrier). Enter and
// Escape go first to the top modal dialog (see Dialog::AnswerKey); a key it
// takes, with its character and release, reaches no other widget.
//
// NOTE: it owns no listed widget, only its software cursor widget. Everything
// runs on the main thread.
#pragma once

#include <array>
#include <list>
#include <memory>
#include <vector>

#include "graphics/Rect.h"

namespace Varn {

class CursorWidget;
class Image;
class Widget;
class WidgetHost;

class WidgetManager {
public:
    explicit WidgetManager(WidgetHost* host);
    virtual ~WidgetManager();
    WidgetManager(const WidgetManager&) = delete;
    WidgetManager& operator=(const WidgetManager&) = delete;

    void AddWidget(Widget* w);
    bool RemoveWidget(Widget* w);
    bool HasWidget(Widget* w) const;
    void BringToFront(Widget* w);
    void SendToBack(Widget* w);
    void SetFocus(Widget* w);
    void SetModalWidget(Widget* w);
    void SetWidgetDisabled(Widget* w, bool isDisabled);

    void MarkDirty(Widget* w);
    void MarkRegionDirty(Widget* w);
    // Part of w changed (screen coordinates): see Widget::MarkAreaDirty.
    void MarkAreaDirty(Widget* w, const Rect& area);
    void MarkAllDirty();

    void SetScreenSize(int screenWidth, int screenHeight);
    void SetScreenImage(Image* image) { screenImage = image; }
    Image* GetScreenImage() const { return screenImage; }
    void SetCursorImage(Image* image);

    void UpdateFrame();
    // Draws the dirty widgets; true if any widget was drawn.
    bool DrawScreen();

    bool MouseMove(int mouseX, int mouseY);
    bool MouseDrag(int mouseX, int mouseY);
    bool MouseDown(int mouseX, int mouseY, int clickCode);
    bool MouseUp(int mouseX, int mouseY);
    bool MouseExit();
    bool KeyDown(int keyCode);
    bool KeyUp(int keyCode);
    bool KeyChar(char ch);
    void AppGotFocus();
    void AppLostFocus();

    Widget* GetWidgetAt(int px, int py);
    bool IsKeyDown(int keyCode) const;
    const std::list<Widget*>& GetWidgets() const { return widgets; }

    WidgetHost* app;
    Image* screenImage = nullptr;
    int width = 0;
    int height = 0;
    std::unique_ptr<CursorWidget> cursorWidget;
    bool cursorShown = false;
    bool appHasFocus = true;
    Widget* focusWidget = nullptr;
    Widget* pressedWidget = nullptr;
    Widget* hoverWidget = nullptr;
    Widget* modalWidget = nullptr;
    bool mouseInWindow = false;
    int lastMouseX = 0;
    int lastMouseY = 0;

private:
    std::list<Widget*>::iterator Find(Widget* w);
    bool MarkAreaBeneath(std::list<Widget*>::iterator it, const Rect& part);
    void UpdatePointerPosition(int mouseX, int mouseY);
    void PlaceCursor(int mouseX, int mouseY);
    void ReleaseWidget(Widget* w);
    bool IsAtOrBelow(Widget* w, Widget* limit);
    void DrawWidget(const class Graphics& screen, Widget* w);

    std::list<Widget*> widgets;
    std::array<bool, 255> keyDownTable{};
    // The key the top modal dialog took at its last key-down, or -1: its
    // character and release follow and must not reach the widget that has
    // the focus once the dialog is gone.
    int dialogTakenKey = -1;
    // The widgets of the running update pass, in order; removed ones are
    // nulled, added ones appended, so each is updated at most once per pass
    // whatever the list does meanwhile.
    std::vector<Widget*> updateQueue;
    bool inUpdatePass = false;
};

}  // namespace Varn
