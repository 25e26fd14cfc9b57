// Dialog: a framed window with a header, a wrapped body and buttons.
// (Minimal form: the application's dialog registry needs the widget and its
// modal flag; the full dialog is built on top of this.)
#pragma once

#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Varn {

class Dialog : public Widget, public ButtonListener {
public:
    explicit Dialog(bool modal = true) : isModal(modal) {}

    virtual bool IsModal() { return isModal; }

    bool isModal;
};

}  // namespace Varn
