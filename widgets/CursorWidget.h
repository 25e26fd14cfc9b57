// CursorWidget: the software mouse cursor, drawn as a widget the manager keeps
// above all others. It never catches the pointer itself.
#pragma once

#include "graphics/Rect.h"
#include "widgets/Widget.h"

namespace Varn {

class CursorWidget : public Widget {
public:
    CursorWidget();

    void Draw(Graphics* g) override;

    void SetImage(Image* cursorImage);
    Image* GetImage() const { return image; }
    // The point of the image that sits on the pointer: its centre.
    Point GetHotspot() const;

private:
    Image* image = nullptr;  // not owned
};

}  // namespace Varn
