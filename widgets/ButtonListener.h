// ButtonListener: told by buttons, by their integer id, when they are pressed,
// clicked (released over the button) and held. Every operation does nothing
// by default.
#pragma once

namespace Varn {

class ButtonListener {
public:
    virtual ~ButtonListener() = default;
    virtual void ButtonPressed(int id) {}
    virtual void ButtonClicked(int id) {}
    virtual void ButtonHeld(int id) {}
};

}  // namespace Varn
