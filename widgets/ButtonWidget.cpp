// ButtonWidget: image and bevelled drawing, press/click/held reporting.
#include "widgets/ButtonWidget.h"

#include "graphics/Graphics.h"
#include "widgets/ButtonListener.h"
#include "widgets/ControlSupport.h"

namespace Varn {

namespace {
constexpr int kDefaultPointSize = 10;
const Color kFace(212, 212, 212);
const Color kShade(132, 132, 132);
}  // namespace

ButtonWidget::ButtonWidget(int buttonId, ButtonListener* buttonListener)
    : id(buttonId), listener(buttonListener) {
    colors = {Color::Black};
}

ButtonWidget::~ButtonWidget() = default;

void ButtonWidget::SetFont(Font* newFont) {
    font = newFont ? newFont->Duplicate() : nullptr;
}

bool ButtonWidget::IsButtonDown() {
    return isDown && isOver && !disabled;
}

void ButtonWidget::EnsureFont(int pointSize, bool bold) {
    if (!font) font = MakeSansSerifFont(pointSize, bold);
}

int ButtonWidget::LabelX() const {
    return (width - font->StringWidth(label)) / 2;
}

int ButtonWidget::LabelBaseline() const {
    int ascent = font->GetAscent();
    return (ascent + height - ascent / 6 - 1) / 2;
}

void ButtonWidget::DrawLabel(Graphics* g, int offset, const Color& color) {
    if (label.empty() || !font) return;
    g->SetColor(color);
    g->DrawString(label, LabelX() + offset, LabelBaseline() + offset);
}

void ButtonWidget::Draw(Graphics* g) {
    if (notDrawn) return;
    if (!label.empty()) EnsureFont(kDefaultPointSize, false);
    g->SetFont(font.get());
    bool pressed = IsButtonDown() != inverted;
    if (normalImage || downImage)
        DrawWithImages(g, pressed);
    else
        DrawBevelled(g, pressed);
}

void ButtonWidget::DrawWithImages(Graphics* g, bool pressed) {
    const Color& labelColor = TableColor(colors, 0);
    if (pressed) {
        if (downImage)
            g->DrawImage(downImage, 0, 0);
        else
            g->DrawImage(normalImage, 1, 1);
        DrawLabel(g, 1, labelColor);
        return;
    }
    Image* image = normalImage;
    if (disabled && disabledImage)
        image = disabledImage;
    else if ((isOver || isDown) && overImage)
        image = overImage;
    if (image) g->DrawImage(image, 0, 0);
    DrawLabel(g, 0, labelColor);
}

void ButtonWidget::DrawBevelled(Graphics* g, bool pressed) {
    const int w = width;
    const int h = height;
    g->SetColor(kFace);
    g->FillRect(0, 0, w, h);
    g->SetColor(pressed ? Color::Black : Color::White);
    g->FillRect(0, 0, w - 1, 1);
    g->FillRect(0, 0, 1, h - 1);
    g->SetColor(pressed ? Color::White : Color::Black);
    g->FillRect(0, h - 1, w, 1);
    g->FillRect(w - 1, 0, 1, h);
    g->SetColor(kShade);
    if (pressed) {
        g->FillRect(1, 1, w - 3, 1);
        g->FillRect(1, 1, 1, h - 3);
    } else {
        g->FillRect(1, h - 2, w - 2, 1);
        g->FillRect(w - 2, 1, 1, h - 2);
    }
    DrawLabel(g, pressed ? 1 : 0, Color::Black);
}

void ButtonWidget::Update() {
    if (IsButtonDown() && listener) listener->ButtonHeld(id);
}

void ButtonWidget::MouseEnter() {
    Widget::MouseEnter();
    if (isDown || overImage) MarkRegionDirty();
}

void ButtonWidget::MouseLeave() {
    Widget::MouseLeave();
    if (isDown || overImage) MarkRegionDirty();
}

void ButtonWidget::MouseDown(int mouseX, int mouseY, int clickCode) {
    Widget::MouseDown(mouseX, mouseY, clickCode);
    if (!disabled && listener) listener->ButtonPressed(id);
    MarkRegionDirty();
}

void ButtonWidget::MouseUp(int mouseX, int mouseY) {
    Widget::MouseUp(mouseX, mouseY);
    if (isOver && !disabled && listener) listener->ButtonClicked(id);
    MarkRegionDirty();
}

bool ButtonWidget::HasTransparency() {
    return transparent || notDrawn || normalImage || downImage;
}

void ButtonWidget::SetDisabled(bool isDisabled) {
    Widget::SetDisabled(isDisabled);
    if (disabledImage) MarkDirty();
}

}  // namespace Varn
