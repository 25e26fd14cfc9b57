// Widget base behaviour: flags, colour table, geometry and dirty forwarding.
// The text operations live in WidgetText.cpp.
#include "widgets/Widget.h"

#include <cassert>

#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kTabKey = 9;
constexpr int kShiftKey = 16;
}  // namespace

Widget::~Widget() = default;

void Widget::AddedToManager(WidgetManager* widgetManager) {
    manager = widgetManager;
}

void Widget::RemovedFromManager(WidgetManager*) {
    manager = nullptr;
}

void Widget::SetVisible(bool isVisible) {
    if (visible == isVisible) return;
    visible = isVisible;
    if (visible)
        MarkDirty();
    else
        MarkRegionDirty();
}

void Widget::SetColorsRGBA(const int rows[][4], int count) {
    colors.assign(count, Color());
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(rows[i][0], rows[i][1], rows[i][2], rows[i][3]));
    MarkDirty();
}

void Widget::SetColorsRGB(const int rows[][3], int count) {
    colors.clear();
    for (int i = 0; i < count; ++i) colors.emplace_back(rows[i][0], rows[i][1], rows[i][2]);
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color) {
    assert(index >= 0 && index < static_cast<int>(colors.size()) && "colour index out of table");
    if (index >= 0 && index < static_cast<int>(colors.size())) colors[index] = color;
}

void Widget::SetOverlay(bool isOverlay) {
    if (overlay == isOverlay) return;
    if (isOverlay) {
        MarkRegionDirty();
        overlay = true;
    } else {
        overlay = false;
        MarkDirty();
    }
}

bool Widget::HasTransparency() {
    return transparent;
}

void Widget::SetDisabled(bool isDisabled) {
    if (manager) manager->SetWidgetDisabled(this, isDisabled);
}

void Widget::ShowFingerCursor(bool show) {
    if (manager && manager->app) manager->app->SetCursorKind(show ? 1 : 0);
}

void Widget::Resize(const Rect& rect) {
    Resize(rect.x, rect.y, rect.width, rect.height);
}

void Widget::Resize(int newX, int newY, int newWidth, int newHeight) {
    if (x == newX && y == newY && width == newWidth && height == newHeight) return;
    MarkRegionDirty();
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    MarkDirty();
}

void Widget::Move(int newX, int newY) {
    Resize(newX, newY, width, height);
}

bool Widget::WantsFocus() {
    return false;
}

void Widget::Draw(Graphics*) {}

void Widget::Update() {
    ++updateCount;
}

void Widget::GotFocus() {
    hasFocus = true;
}

void Widget::LostFocus() {
    hasFocus = false;
}

void Widget::KeyChar(char) {}

void Widget::KeyDown(int keyCode) {
    if (keyCode != kTabKey || !manager) return;
    Widget* next = manager->IsKeyDown(kShiftKey) ? tabPrev : tabNext;
    if (next) manager->SetFocus(next);
}

void Widget::KeyUp(int) {}

void Widget::MouseEnter() {
    isOver = true;
    if (fingerOnHover) ShowFingerCursor(true);
}

void Widget::MouseLeave() {
    isOver = false;
    if (fingerOnHover) ShowFingerCursor(false);
}

void Widget::MouseMove(int, int) {}

void Widget::MouseDown(int, int, int) {
    isDown = true;
}

void Widget::MouseUp(int, int) {
    isDown = false;
}

void Widget::MouseDrag(int, int) {}

bool Widget::Contains(int px, int py) {
    return GetRect().Contains(px, py);
}

Rect Widget::GetHitRect() {
    return Rect(x + hitInsets.left, y + hitInsets.top, width - hitInsets.left - hitInsets.right,
                height - hitInsets.top - hitInsets.bottom);
}

Rect Widget::GetRect() {
    return Rect(x, y, width, height);
}

bool Widget::Overlaps(Widget* other) {
    return GetRect().Intersects(other->GetRect());
}

void Widget::MarkRegionDirty() {
    if (manager) manager->MarkRegionDirty(this);
}

void Widget::MarkAreaDirty(const Rect& area) {
    if (manager)
        manager->MarkAreaDirty(this, Rect(x + area.x, y + area.y, area.width, area.height));
}

void Widget::MarkDirty() {
    if (manager) manager->MarkDirty(this);
}

}  // namespace Varn
