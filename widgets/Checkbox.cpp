// Checkbox: drawing and toggling.
#include "widgets/Checkbox.h"

#include "graphics/Graphics.h"
#include "widgets/CheckboxListener.h"

namespace Varn {

Checkbox::Checkbox(Image* unchecked, Image* checkedPicture, int checkboxId,
                   CheckboxListener* checkboxListener)
    : id(checkboxId),
      listener(checkboxListener),
      uncheckedImage(unchecked),
      checkedImage(checkedPicture) {
    fingerOnHover = true;
    // The box picture does not fill the whole rectangle.
    transparent = true;
}

void Checkbox::Draw(Graphics* g) {
    g->DrawImage(checked ? checkedImage : uncheckedImage, 0, 0);
}

void Checkbox::MouseDown(int mouseX, int mouseY, int clickCode) {
    Widget::MouseDown(mouseX, mouseY, clickCode);
    checked = !checked;
    if (listener) listener->CheckboxChecked(id, checked);
    MarkDirty();
}

void Checkbox::SetChecked(bool isChecked) {
    checked = isChecked;
    if (listener) listener->CheckboxChecked(id, checked);
    MarkDirty();
}

bool Checkbox::IsChecked() {
    return checked;
}

}  // namespace Varn
