// ButtonWidget: a push button that reports pressed, clicked (released over
// it) and held to a ButtonListener by its id. Drawn from up to four images
// (normal, over, down, disabled) or, without normal and down images, in a
// bevelled grey look; the label is drawn centred in the button's font.
// Any mouse button presses it. A disabled button reports nothing.
// NOTE: a listener that deletes the button from ButtonClicked must use the
// application's SafeDelete: MouseUp still runs after the call.
#pragma once

#include <memory>
#include <string>

#include "graphics/Font.h"
#include "widgets/Widget.h"

namespace Varn {

class ButtonListener;

class ButtonWidget : public Widget {
public:
    ButtonWidget(int buttonId, ButtonListener* buttonListener);
    ~ButtonWidget() override;

    void SetDisabled(bool isDisabled) override;
    // A button drawn from pictures (or not at all) need not cover its
    // rectangle: the game screen's buttons draw nothing at rest.
    bool HasTransparency() override;
    void Draw(Graphics* g) override;
    void Update() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int mouseX, int mouseY, int clickCode) override;
    void MouseUp(int mouseX, int mouseY) override;

    // Stores a duplicate of the font (null drops the font).
    virtual void SetFont(Font* newFont);  // 41
    // Held down with the pointer over it, and enabled.
    virtual bool IsButtonDown();  // 42

    int id;
    std::string label;
    std::unique_ptr<Font> font;
    Image* normalImage = nullptr;
    Image* overImage = nullptr;
    Image* downImage = nullptr;
    Image* disabledImage = nullptr;
    bool inverted = false;
    bool notDrawn = false;
    ButtonListener* listener;

protected:
    // Creates the font if missing; the default is the widget's own choice.
    void EnsureFont(int pointSize, bool bold);
    // The label's left end and baseline for a given ascent rule.
    int LabelX() const;
    int LabelBaseline() const;
    void DrawLabel(Graphics* g, int offset, const Color& color);

private:
    void DrawWithImages(Graphics* g, bool pressed);
    void DrawBevelled(Graphics* g, bool pressed);
};

}  // namespace Varn
