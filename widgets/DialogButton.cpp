// DialogButton: frame-image drawing with a colourised label.
#include "widgets/DialogButton.h"

#include "graphics/Graphics.h"
#include "widgets/ControlSupport.h"

namespace Varn {

namespace {
constexpr int kDefaultPointSize = 12;
}  // namespace

DialogButton::DialogButton(Image* frame, int buttonId, ButtonListener* buttonListener)
    : ButtonWidget(buttonId, buttonListener), frameImage(frame) {
    fingerOnHover = true;
    // The frame may have see-through edges, and a pressed button is drawn
    // one pixel down and right.
    transparent = true;
    colors = {Color::White};
}

void DialogButton::Draw(Graphics* g) {
    EnsureFont(kDefaultPointSize, true);
    // A copy keeps the caller's translation, colourise flag and font untouched.
    Graphics local(*g);
    if (IsButtonDown()) local.Translate(1, 1);
    local.DrawImageBox(Rect(0, 0, width, height), frameImage);
    local.SetColorizeImages(true);
    local.SetFont(font.get());
    DrawLabel(&local, 0, TableColor(colors, 0));
}

}  // namespace Varn
