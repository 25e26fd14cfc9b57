#include "widgets/WidgetManager.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "graphics/Graphics.h"
#include "widgets/CursorWidget.h"
#include "widgets/Dialog.h"
#include "widgets/Widget.h"

namespace Varn {

namespace {
constexpr int kTabKey = 9;
constexpr int kControlKey = 17;

// True if the widget covers both corners of the other's rectangle.
bool CoversRect(Widget* s, Widget* w) {
    return s->Contains(w->x, w->y) && s->Contains(w->x + w->width - 1, w->y + w->height - 1);
}
}  // namespace

WidgetManager::WidgetManager(WidgetHost* host)
    : app(host), cursorWidget(std::make_unique<CursorWidget>()) {}

// Listed widgets are not touched (not even to mark what lies under the
// cursor): their owners may already have deleted them.
WidgetManager::~WidgetManager() {
    cursorWidget->manager = nullptr;
}

std::list<Widget*>::iterator WidgetManager::Find(Widget* w) {
    return std::find(widgets.begin(), widgets.end(), w);
}

bool WidgetManager::HasWidget(Widget* w) const {
    return std::find(widgets.begin(), widgets.end(), w) != widgets.end();
}

bool WidgetManager::IsKeyDown(int keyCode) const {
    return keyCode >= 0 && keyCode < 255 && keyDownTable[keyCode];
}

// ---- list operations ----

void WidgetManager::AddWidget(Widget* w) {
    if (!HasWidget(w)) {
        widgets.push_back(w);
        if (inUpdatePass) updateQueue.push_back(w);
        w->AddedToManager(this);
        MarkDirty(w);
    }
    if (cursorShown && w != cursorWidget.get()) BringToFront(cursorWidget.get());
}

bool WidgetManager::RemoveWidget(Widget* w) {
    auto it = Find(w);
    if (it == widgets.end()) return false;
    ReleaseWidget(w);
    MarkRegionDirty(w);
    w->RemovedFromManager(this);
    widgets.erase(it);
    if (inUpdatePass) std::replace(updateQueue.begin(), updateQueue.end(), w, (Widget*)nullptr);
    return true;
}

void WidgetManager::BringToFront(Widget* w) {
    auto it = Find(w);
    if (it != widgets.end()) widgets.splice(widgets.end(), widgets, it);
    if (cursorShown && w != cursorWidget.get()) {
        auto cursor = Find(cursorWidget.get());
        if (cursor != widgets.end()) widgets.splice(widgets.end(), widgets, cursor);
    }
}

void WidgetManager::SendToBack(Widget* w) {
    auto it = Find(w);
    if (it != widgets.end()) widgets.splice(widgets.begin(), widgets, it);
}

void WidgetManager::ReleaseWidget(Widget* w) {
    if (w == hoverWidget) {
        hoverWidget = nullptr;
        w->MouseLeave();
    }
    if (w == pressedWidget) {
        pressedWidget = nullptr;
        w->MouseUp(lastMouseX - w->x, lastMouseY - w->y);
    }
    if (w == focusWidget) {
        focusWidget = nullptr;
        w->LostFocus();
    }
    if (w == modalWidget) modalWidget = nullptr;
}

bool WidgetManager::IsAtOrBelow(Widget* w, Widget* limit) {
    if (!limit) return HasWidget(w);
    for (Widget* listed : widgets) {
        if (listed == w) return true;
        if (listed == limit) return false;
    }
    return false;
}

void WidgetManager::SetModalWidget(Widget* w) {
    modalWidget = w;
    if (hoverWidget && IsAtOrBelow(hoverWidget, w)) {
        Widget* old = hoverWidget;
        hoverWidget = nullptr;
        old->MouseLeave();
    }
    if (pressedWidget && IsAtOrBelow(pressedWidget, w)) {
        Widget* old = pressedWidget;
        pressedWidget = nullptr;
        old->MouseUp(lastMouseX - old->x, lastMouseY - old->y);
    }
    if (focusWidget && IsAtOrBelow(focusWidget, w)) {
        Widget* old = focusWidget;
        focusWidget = nullptr;
        old->LostFocus();
    }
}

void WidgetManager::SetWidgetDisabled(Widget* w, bool isDisabled) {
    if (isDisabled) ReleaseWidget(w);
    w->disabled = isDisabled;
    MarkDirty(w);
    if (!isDisabled && w->Contains(lastMouseX, lastMouseY))
        UpdatePointerPosition(lastMouseX, lastMouseY);
}

void WidgetManager::SetScreenSize(int screenWidth, int screenHeight) {
    if (width == screenWidth && height == screenHeight) return;
    width = screenWidth;
    height = screenHeight;
}

// ---- dirty marking ----

void WidgetManager::MarkDirty(Widget* w) {
    if (w->dirty) return;
    w->dirty = true;
    if (w->overlay) return;
    if (w->translucent) {
        MarkRegionDirty(w);
        return;
    }
    auto it = Find(w);
    if (it == widgets.end()) return;
    for (++it; it != widgets.end(); ++it)
        if ((*it)->Overlaps(w)) MarkDirty(*it);
}

// What lies under the region is redrawn from the top down to the first
// widget that covers it and lets nothing through (HasTransparency false).
void WidgetManager::MarkRegionDirty(Widget* w) {
    w->dirty = true;
    if (w->overlay) return;
    auto it = Find(w);
    if (it == widgets.end()) return;
    for (auto below = std::make_reverse_iterator(it); below != widgets.rend(); ++below) {
        Widget* s = *below;
        if (!s->HasTransparency() && CoversRect(s, w)) {
            MarkDirty(s);
            break;
        }
        if (s->Overlaps(w)) MarkDirty(s);
    }
    for (auto above = it; above != widgets.end(); ++above)
        if ((*above)->Overlaps(w)) MarkDirty(*above);
}

// The area spreads upwards like MarkDirty, limited to where it overlaps; a second area
// grows the mark to hold both. Where drawing only part of a widget could differ from
// drawing it whole, the mark becomes a full one: a widget drawn a second time over an
// area that was not redrawn beneath it would blend with its own old pixels.
void WidgetManager::MarkAreaDirty(Widget* w, const Rect& area) {
    if (w->dirty) return;
    Rect part = area.Intersection(w->GetRect());
    if (part.width <= 0 || part.height <= 0) return;
    if (w->overlay) {
        MarkDirty(w);
        return;
    }
    if (w->areaDirty) {
        if (part.Intersection(w->dirtyArea) == part) return;
        if (w->translucent) {
            MarkDirty(w);
            return;
        }
        part = part.BoundingUnion(w->dirtyArea);
    }
    auto it = Find(w);
    if (w->translucent && it != widgets.end() && !MarkAreaBeneath(it, part)) {
        MarkDirty(w);
        return;
    }
    w->areaDirty = true;
    w->dirtyArea = part;
    if (it == widgets.end()) return;
    for (++it; it != widgets.end(); ++it)
        if ((*it)->GetRect().Intersects(part)) MarkAreaDirty(*it, part);
}

// A translucent widget blends over what lies beneath it, so its part is redrawn beneath
// it first, down to the first widget that covers the part and lets nothing through.
// False, with nothing marked, where a widget beneath already has a different mark: the
// caller then falls back to a full mark.
bool WidgetManager::MarkAreaBeneath(std::list<Widget*>::iterator it, const Rect& part) {
    std::vector<Widget*> beneath;
    for (auto below = std::make_reverse_iterator(it); below != widgets.rend(); ++below) {
        Widget* s = *below;
        Rect own = part.Intersection(s->GetRect());
        if (s->overlay || own.width <= 0 || own.height <= 0) continue;
        if (s->dirty) return false;
        if (s->areaDirty && !(own.Intersection(s->dirtyArea) == own)) return false;
        beneath.push_back(s);
        if (!s->translucent && !s->HasTransparency() && own == part) break;
    }
    for (Widget* s : beneath) {
        if (s->areaDirty) continue;
        s->areaDirty = true;
        s->dirtyArea = part.Intersection(s->GetRect());
    }
    return true;
}

void WidgetManager::MarkAllDirty() {
    for (Widget* w : widgets) w->dirty = true;
}

// ---- passes ----

void WidgetManager::UpdateFrame() {
    updateQueue.assign(widgets.begin(), widgets.end());
    inUpdatePass = true;
    for (size_t i = 0; i < updateQueue.size(); ++i)
        if (Widget* w = updateQueue[i]) w->Update();
    inUpdatePass = false;
    updateQueue.clear();
}

void WidgetManager::DrawWidget(const Graphics& screen, Widget* w) {
    Graphics g(screen);
    g.ClipRect(w->areaDirty && !w->dirty ? w->dirtyArea : w->GetRect());
    g.Translate(w->x, w->y);
    w->Draw(&g);
    w->dirty = false;
    w->areaDirty = false;
}

bool WidgetManager::DrawScreen() {
    if (!screenImage) return false;
    Graphics screen(screenImage);
    bool drewAny = false;
    bool hasOverlay = false;
    bool overlayDirty = false;
    // Drawing may reorder nothing, but a copy keeps the walk safe if a widget's
    // Draw touches the list.
    std::vector<Widget*> order(widgets.begin(), widgets.end());
    for (Widget* w : order) {
        if (w->overlay) {
            hasOverlay = true;
            overlayDirty = overlayDirty || w->dirty;
            continue;
        }
        if (!(w->dirty || w->areaDirty) || !w->visible) continue;
        DrawWidget(screen, w);
        drewAny = true;
    }
    if (hasOverlay && (drewAny || overlayDirty)) {
        for (Widget* w : order) {
            if (!w->overlay || !w->visible) continue;
            DrawWidget(screen, w);
            drewAny = true;
        }
    }
    return drewAny;
}

// ---- pointer ----

Widget* WidgetManager::GetWidgetAt(int px, int py) {
    for (auto it = widgets.rbegin(); it != widgets.rend(); ++it) {
        Widget* w = *it;
        if (w->visible && w->mouseVisible && w->GetHitRect().Contains(px, py))
            return w->disabled ? nullptr : w;
        if (w == modalWidget) return nullptr;
    }
    return nullptr;
}

void WidgetManager::PlaceCursor(int mouseX, int mouseY) {
    if (!cursorShown) return;
    Point hotspot = cursorWidget->GetHotspot();
    cursorWidget->Move(mouseX - hotspot.x, mouseY - hotspot.y);
}

void WidgetManager::UpdatePointerPosition(int mouseX, int mouseY) {
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    Widget* target = GetWidgetAt(mouseX, mouseY);
    if (target != hoverWidget) {
        Widget* old = hoverWidget;
        hoverWidget = nullptr;
        if (old) old->MouseLeave();
        hoverWidget = target;
        if (target) target->MouseEnter();
    }
    if (target) target->MouseMove(mouseX - target->x, mouseY - target->y);
    PlaceCursor(mouseX, mouseY);
}

bool WidgetManager::MouseMove(int mouseX, int mouseY) {
    mouseInWindow = true;
    UpdatePointerPosition(mouseX, mouseY);
    return true;
}

bool WidgetManager::MouseDrag(int mouseX, int mouseY) {
    mouseInWindow = true;
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    if (hoverWidget && hoverWidget != pressedWidget) {
        Widget* old = hoverWidget;
        hoverWidget = nullptr;
        old->MouseLeave();
    }
    if (Widget* pressed = pressedWidget) {
        pressed->MouseDrag(mouseX - pressed->x, mouseY - pressed->y);
        if (!pressed->Contains(mouseX, mouseY)) {
            if (Widget* old = hoverWidget) {
                hoverWidget = nullptr;
                old->MouseLeave();
            }
        } else if (!hoverWidget && pressedWidget == pressed) {
            hoverWidget = pressed;
            pressed->MouseEnter();
        }
    }
    PlaceCursor(mouseX, mouseY);
    return true;
}

bool WidgetManager::MouseDown(int mouseX, int mouseY, int clickCode) {
    UpdatePointerPosition(mouseX, mouseY);
    if (Widget* old = pressedWidget) {
        pressedWidget = nullptr;
        old->MouseUp(mouseX - old->x, mouseY - old->y);
    }
    pressedWidget = GetWidgetAt(mouseX, mouseY);
    if (Widget* pressed = pressedWidget) {
        if (pressed->WantsFocus()) SetFocus(pressed);
        pressed->MouseDown(mouseX - pressed->x, mouseY - pressed->y, clickCode);
    }
    return true;
}

bool WidgetManager::MouseUp(int mouseX, int mouseY) {
    if (Widget* pressed = pressedWidget) {
        pressedWidget = nullptr;
        pressed->MouseUp(mouseX - pressed->x, mouseY - pressed->y);
    }
    UpdatePointerPosition(mouseX, mouseY);
    return true;
}

bool WidgetManager::MouseExit() {
    mouseInWindow = false;
    if (Widget* old = hoverWidget) {
        hoverWidget = nullptr;
        old->MouseLeave();
    }
    return true;
}

// ---- keyboard and focus ----

bool WidgetManager::KeyDown(int keyCode) {
    const bool held = IsKeyDown(keyCode);  // no key-up since its last press: a repeat
    if (keyCode >= 0 && keyCode < 255) keyDownTable[keyCode] = true;
    dialogTakenKey = -1;
    auto* dialog = dynamic_cast<Dialog*>(modalWidget);
    if (dialog && dialog->AnswerKey(keyCode, held)) {
        dialogTakenKey = keyCode;
        return true;
    }
    if (focusWidget) focusWidget->KeyDown(keyCode);
    return true;
}

bool WidgetManager::KeyUp(int keyCode) {
    if (keyCode >= 0 && keyCode < 255) keyDownTable[keyCode] = false;
    if (keyCode == dialogTakenKey) {
        dialogTakenKey = -1;
        return true;
    }
    bool controlTab = keyCode == kTabKey && IsKeyDown(kControlKey);
    if (focusWidget && !controlTab) focusWidget->KeyUp(keyCode);
    return true;
}

bool WidgetManager::KeyChar(char ch) {
    if (ch == kTabKey && IsKeyDown(kControlKey)) return true;
    if (dialogTakenKey >= 0 && static_cast<unsigned char>(ch) == dialogTakenKey) return true;
    if (focusWidget) focusWidget->KeyChar(ch);
    return true;
}

void WidgetManager::SetFocus(Widget* w) {
    if (Widget* old = focusWidget) {
        focusWidget = nullptr;
        old->LostFocus();
    }
    if (w && HasWidget(w)) {
        focusWidget = w;
        if (appHasFocus) w->GotFocus();
    }
}

void WidgetManager::AppGotFocus() {
    if (appHasFocus) return;
    appHasFocus = true;
    if (focusWidget) focusWidget->GotFocus();
}

void WidgetManager::AppLostFocus() {
    if (!appHasFocus) return;
    appHasFocus = false;
    if (focusWidget) focusWidget->LostFocus();
}

// ---- software cursor ----

void WidgetManager::SetCursorImage(Image* image) {
    bool show = image != nullptr;
    if (show != cursorShown) {
        cursorShown = show;
        if (show)
            AddWidget(cursorWidget.get());
        else
            RemoveWidget(cursorWidget.get());
    }
    if (image && image != cursorWidget->GetImage()) {
        cursorWidget->SetImage(image);
        UpdatePointerPosition(lastMouseX, lastMouseY);
    }
}

}  // namespace Varn
