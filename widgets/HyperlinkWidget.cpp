// HyperlinkWidget: label and underline drawing, hover redraw.
#include "widgets/HyperlinkWidget.h"

#include "graphics/Graphics.h"

namespace Varn {

namespace {
constexpr int kDefaultPointSize = 10;
constexpr int kUnderlineBelowBaseline = 3;
}  // namespace

HyperlinkWidget::HyperlinkWidget(int buttonId, ButtonListener* buttonListener)
    : ButtonWidget(buttonId, buttonListener) {
    fingerOnHover = true;
    // Only the text is drawn.
    transparent = true;
}

void HyperlinkWidget::Draw(Graphics* g) {
    EnsureFont(kDefaultPointSize, false);
    if (!font || label.empty()) return;
    g->SetFont(font.get());
    g->SetColor(isOver ? overColor : color);
    int textWidth = font->StringWidth(label);
    int textX = (width - textWidth) / 2;
    // The link sits a little lower than a button's label.
    int baseline = (font->GetAscent() + height) / 2 - 1;
    g->DrawString(label, textX, baseline);
    if (underline) g->FillRect(textX, baseline + kUnderlineBelowBaseline, textWidth, 1);
}

void HyperlinkWidget::MouseEnter() {
    ButtonWidget::MouseEnter();
    MarkRegionDirty();
}

void HyperlinkWidget::MouseLeave() {
    ButtonWidget::MouseLeave();
    MarkRegionDirty();
}

}  // namespace Varn
