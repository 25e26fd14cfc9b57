// ButtonListener: told by buttons, by their integer id, when they are pressed,
// clicked (released over the button) and held. Every operation does nothing
// by default. A press that comes from a key or a controller goes through
// PressAsClick, so that it does what a click on the button does.
#pragma once

namespace Varn {

class ButtonListener {
public:
    virtual ~ButtonListener() = default;
    virtual void ButtonPressed(int id) {}
    virtual void ButtonClicked(int id) {}
    virtual void ButtonHeld(int id) {}

    // Pressed, then clicked: what the mouse does. The listener may delete the
    // button in either call; only the id is passed on.
    void PressAsClick(int id) {
        ButtonPressed(id);
        ButtonClicked(id);
    }
};

}  // namespace Varn
