// Checkbox: a two-image control that toggles on every press (any mouse
// button) and tells its listener the new state. SetChecked notifies even when
// the state does not change. Images and listener are not owned.
#pragma once

#include "widgets/Widget.h"

namespace Varn {

class CheckboxListener;

class Checkbox : public Widget {
public:
    Checkbox(Image* unchecked, Image* checkedPicture, int checkboxId,
             CheckboxListener* checkboxListener);

    void Draw(Graphics* g) override;
    void MouseDown(int mouseX, int mouseY, int clickCode) override;

    virtual void SetChecked(bool isChecked);  // 41
    virtual bool IsChecked();                 // 42

    int id;
    CheckboxListener* listener;
    bool checked = false;
    Image* uncheckedImage;
    Image* checkedImage;
};

}  // namespace Varn
