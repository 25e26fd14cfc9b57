#include "widgets/FocusRing.h"

#include <algorithm>

#include "graphics/Graphics.h"
#include "widgets/ButtonListener.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/Dialog.h"
#include "widgets/Slider.h"
#include "widgets/SliderListener.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
const Color kRingColor(255, 214, 64);
const Color kRingShadow(0, 0, 0, 170);

bool Pressable(Widget* w) {
    if (!w->visible || !w->mouseVisible || w->disabled) return false;
    return dynamic_cast<ButtonWidget*>(w) || dynamic_cast<Checkbox*>(w) || dynamic_cast<Slider*>(w);
}
}  // namespace

FocusRing::FocusRing() {
    mouseVisible = false;
    transparent = true;
    visible = false;
}

std::vector<Widget*> FocusRing::Candidates(WidgetManager& widgetManager) {
    std::vector<Widget*> found;
    const auto& widgets = widgetManager.GetWidgets();
    auto from = widgets.begin();
    // Input reaches only the modal widget and what lies above it.
    if (widgetManager.modalWidget)
        from = std::find(widgets.begin(), widgets.end(), widgetManager.modalWidget);
    std::copy_if(from, widgets.end(), std::back_inserter(found), Pressable);
    std::stable_sort(found.begin(), found.end(),
                     [](Widget* a, Widget* b) { return a->y != b->y ? a->y < b->y : a->x < b->x; });
    return found;
}

Widget* FocusRing::DefaultTarget(const std::vector<Widget*>& candidates) const {
    if (candidates.empty()) return nullptr;
    if (auto* dialog = dynamic_cast<Dialog*>(manager->modalWidget)) {
        Widget* first = dialog->DefaultButton();
        if (std::find(candidates.begin(), candidates.end(), first) != candidates.end())
            return first;
    }
    return candidates.front();
}

void FocusRing::Show(WidgetManager& widgetManager) {
    if (!manager) widgetManager.AddWidget(this);
    visible = true;
    Follow();
}

void FocusRing::Hide() {
    target = nullptr;
    if (manager) manager->RemoveWidget(this);
    visible = false;
}

void FocusRing::Aim(Widget* widget) {
    target = widget;
    if (!widget) {
        SetVisible(false);
        return;
    }
    SetVisible(true);
    Rect around = widget->GetRect();
    Resize(around.x - kMargin, around.y - kMargin, around.width + 2 * kMargin,
           around.height + 2 * kMargin);
}

void FocusRing::Follow() {
    if (!manager) return;
    std::vector<Widget*> candidates = Candidates(*manager);
    bool valid = std::find(candidates.begin(), candidates.end(), target) != candidates.end();
    Aim(valid ? target : DefaultTarget(candidates));
    // Dialogs opened after the ring would cover it.
    const auto& widgets = manager->GetWidgets();
    auto top = widgets.rbegin();
    if (top != widgets.rend() && *top != this && manager->cursorShown) ++top;
    if (top != widgets.rend() && *top != this) manager->BringToFront(this);
}

void FocusRing::Step(int delta) {
    if (!manager) return;
    Follow();
    std::vector<Widget*> candidates = Candidates(*manager);
    if (candidates.empty()) return;
    auto at = std::find(candidates.begin(), candidates.end(), target);
    int index = at == candidates.end() ? 0 : int(at - candidates.begin());
    int count = int(candidates.size());
    Aim(candidates[size_t(((index + delta) % count + count) % count)]);
}

bool FocusRing::Press() {
    if (!manager) return false;
    Follow();
    if (!target) return false;
    // The listener may take the button away: nothing of it is touched after the call.
    if (auto* button = dynamic_cast<ButtonWidget*>(target)) {
        if (!button->listener) return false;
        button->listener->PressAsClick(button->id);
        return true;
    }
    if (dynamic_cast<Slider*>(target)) return false;
    target->MouseDown(target->width / 2, target->height / 2, 1);
    target->MouseUp(target->width / 2, target->height / 2);
    return true;
}

bool FocusRing::Nudge(int delta) {
    if (!manager) return false;
    Follow();  // the target may have gone since the last update
    auto* slider = dynamic_cast<Slider*>(target);
    if (!slider) return false;
    const double value = std::clamp(slider->value + (delta > 0 ? 0.1 : -0.1), 0.0, 1.0);
    if (value == slider->value) return true;
    slider->SetValue(value);
    slider->MarkDirty();
    if (slider->listener) slider->listener->SliderValueChanged(slider->id, value);
    return true;
}

void FocusRing::Update() {
    Follow();
}

void FocusRing::Draw(Graphics* g) {
    if (!target) return;
    // Three gold lines between two dark ones, so the ring reads on light and dark art.
    g->SetColor(kRingShadow);
    g->DrawRect(0, 0, width - 1, height - 1);
    g->DrawRect(4, 4, width - 9, height - 9);
    g->SetColor(kRingColor);
    for (int i = 1; i <= 3; ++i) g->DrawRect(i, i, width - 1 - 2 * i, height - 1 - 2 * i);
}

}  // namespace Varn
