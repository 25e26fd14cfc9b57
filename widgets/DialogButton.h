// DialogButton: the button of a dialog, drawn from a 3 x 3 frame image
// stretched over the whole button by tiling, with the label tinted by colour
// entry 0 (white). Shows the finger cursor while hovered; shifts one pixel
// right and down while held. The frame image is not owned.
#pragma once

#include "widgets/ButtonWidget.h"

namespace Varn {

class DialogButton : public ButtonWidget {
public:
    DialogButton(Image* frame, int buttonId, ButtonListener* buttonListener);

    void Draw(Graphics* g) override;

    Image* frameImage;
};

}  // namespace Varn
