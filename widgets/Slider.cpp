// Slider: track and thumb drawing, thumb dragging with clamping.
#include "widgets/Slider.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/ControlSupport.h"
#include "widgets/SliderListener.h"

namespace Varn {

namespace {
// Truncates towards zero; a value SetValue let through beyond the int range
// (or not a number) must not make the conversion undefined.
int TruncateToInt(double v) {
    if (!(v == v)) return 0;
    if (v > 1e9) return 1000000000;
    if (v < -1e9) return -1000000000;
    return static_cast<int>(v);
}
}  // namespace

Slider::Slider(Image* track, Image* thumb, int sliderId, SliderListener* sliderListener)
    : listener(sliderListener), id(sliderId), trackImage(track), thumbImage(thumb) {}

bool Slider::HasTransparency() {
    return true;
}

int Slider::ThumbPointerLeft() const {
    return TruncateToInt((width - kThumbSpan) * value);
}

bool Slider::OverThumb(int mouseX) const {
    int left = ThumbPointerLeft();
    return mouseX >= left && mouseX < left + kThumbSpan;
}

void Slider::Draw(Graphics* g) {
    DrawTrack(g);
    if (!thumbImage) return;
    int thumbX = TruncateToInt((width - thumbImage->GetWidth()) * value);
    g->DrawImage(thumbImage, thumbX, (height - thumbImage->GetHeight()) / 2);
}

void Slider::DrawTrack(Graphics* g) {
    if (!trackImage) return;
    const int cell = trackImage->GetWidth() / 3;
    const int trackHeight = trackImage->GetHeight();
    if (cell < 1) return;  // no cells to tile; the loop below would never end
    const int top = (height - trackHeight) / 2;
    g->DrawImage(trackImage, 0, top, Rect(0, 0, cell, trackHeight));
    Graphics middle(*g);
    middle.ClipRect(cell, top, width - 2 * cell, trackHeight);
    for (int i = 0; i < (width - cell - 1) / cell; ++i)
        middle.DrawImage(trackImage, cell + i * cell, top, Rect(cell, 0, cell, trackHeight));
    g->DrawImage(trackImage, width - cell, top, Rect(2 * cell, 0, cell, trackHeight));
}

void Slider::MouseMove(int mouseX, int) {
    SetWidgetCursor(this, OverThumb(mouseX) ? CursorKind::Dragging : CursorKind::Pointer);
}

void Slider::MouseDown(int mouseX, int, int) {
    if (!OverThumb(mouseX)) return;
    SetWidgetCursor(this, CursorKind::Dragging);
    dragging = true;
    dragOffset = mouseX - ThumbPointerLeft();
}

void Slider::MouseDrag(int mouseX, int) {
    // Without room to travel the division below has no meaning.
    if (!dragging || width <= kThumbSpan) return;
    double newValue = static_cast<double>(mouseX - dragOffset) / (width - kThumbSpan);
    if (!(newValue >= 0.0)) newValue = 0.0;
    if (newValue > 1.0) newValue = 1.0;
    if (newValue == value) return;
    value = newValue;
    if (listener) listener->SliderValueChanged(id, value);
    MarkRegionDirty();
}

void Slider::MouseUp(int, int) {
    dragging = false;
    SetWidgetCursor(this, CursorKind::Pointer);
}

void Slider::MouseLeave() {
    // The inherited MouseEnter raised it; nothing else would ever lower it.
    isOver = false;
    if (!dragging) SetWidgetCursor(this, CursorKind::Pointer);
}

void Slider::SetValue(double newValue) {
    value = newValue;
    MarkRegionDirty();
}

}  // namespace Varn
