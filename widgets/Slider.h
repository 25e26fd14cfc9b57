// Slider: a horizontal control with a value from 0 to 1, drawn as a
// three-cell track image and a thumb image, changed only by dragging the
// thumb (a press beside the thumb does nothing). Each distinct new value goes
// to the listener once; SetValue stores without notifying.
// The pointer logic assumes a thumb 32 pixels wide (kThumbSpan), whatever the
// thumb image's width; a slider no wider than that cannot be dragged.
// The slider never reports isDown; isOver follows the pointer. Images and
// listener are not owned.
#pragma once

#include "widgets/Widget.h"

namespace Varn {

class SliderListener;

class Slider : public Widget {
public:
    static constexpr int kThumbSpan = 32;

    Slider(Image* track, Image* thumb, int sliderId, SliderListener* sliderListener);

    bool HasTransparency() override;
    void Draw(Graphics* g) override;
    void MouseLeave() override;
    void MouseMove(int mouseX, int mouseY) override;
    void MouseDown(int mouseX, int mouseY, int clickCode) override;
    void MouseUp(int mouseX, int mouseY) override;
    void MouseDrag(int mouseX, int mouseY) override;

    // Stored as given (not clamped), without notification.
    virtual void SetValue(double newValue);  // 41

    SliderListener* listener;
    double value = 0.0;
    int id;
    Image* trackImage;
    Image* thumbImage;
    bool dragging = false;
    int dragOffset = 0;

private:
    // Left end of the thumb's 32-pixel pointer range.
    int ThumbPointerLeft() const;
    bool OverThumb(int mouseX) const;
    void DrawTrack(Graphics* g);
};

}  // namespace Varn
