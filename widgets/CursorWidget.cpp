#include "widgets/CursorWidget.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"

namespace Varn {

CursorWidget::CursorWidget() {
    mouseVisible = false;
}

void CursorWidget::Draw(Graphics* g) {
    if (image) g->DrawImage(image, 0, 0);
}

void CursorWidget::SetImage(Image* cursorImage) {
    image = cursorImage;
    if (image) Resize(x, y, image->GetWidth(), image->GetHeight());
}

Point CursorWidget::GetHotspot() const {
    if (!image) return Point{0, 0};
    return Point{image->GetWidth() / 2, image->GetHeight() / 2};
}

}  // namespace Varn
