// HyperlinkWidget: a clickable text, underlined by default, drawn in one
// colour normally and another while the pointer is over it. Reports like a
// ButtonWidget and shows the finger cursor while hovered.
#pragma once

#include "widgets/ButtonWidget.h"

namespace Varn {

class HyperlinkWidget : public ButtonWidget {
public:
    HyperlinkWidget(int buttonId, ButtonListener* buttonListener);

    void Draw(Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;

    Color color = Color::White;
    Color overColor = Color::White;
    bool underline = true;
};

}  // namespace Varn
