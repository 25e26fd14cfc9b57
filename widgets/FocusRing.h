// FocusRing: the frame a game-controller player steers over the buttons, since a pad has no
// pointer. It goes round the visible, enabled buttons, checkboxes and sliders that take
// input (those of the open modal dialog when there is one), in reading order, presses the
// one it frames as a click would, and moves a framed slider in tenths. It takes no pointer
// input itself.
//
// NOTE: the application lists it with the manager and keeps it on top (Follow); it holds
// its target only while the manager lists that widget, and re-aims each update.
#pragma once

#include <vector>

#include "widgets/Widget.h"

namespace Varn {

class FocusRing : public Widget {
public:
    static constexpr int kMargin = 6;  // the ring lies this far around its button

    FocusRing();

    // The widgets the ring may frame, top to bottom, then left to right.
    static std::vector<Widget*> Candidates(WidgetManager& widgetManager);

    // Shows the ring (listed with the manager) on its target or, if that is gone, on the
    // default: the open dialog's default button, else the first candidate.
    void Show(WidgetManager& widgetManager);
    void Hide();
    bool Shown() const { return manager != nullptr && visible; }
    // Moves to the next (delta > 0) or previous candidate, wrapping round.
    void Step(int delta);
    // The framed widget reacts as to a click; false when nothing is framed.
    bool Press();
    // A framed slider moves a tenth to the right (delta > 0) or left; false for any other.
    bool Nudge(int delta);
    Widget* Target() const { return target; }

    void Update() override;
    void Draw(Graphics* g) override;

private:
    // Re-aims at a valid target and stays above every other widget.
    void Follow();
    void Aim(Widget* widget);
    Widget* DefaultTarget(const std::vector<Widget*>& candidates) const;

    Widget* target = nullptr;
};

}  // namespace Varn
