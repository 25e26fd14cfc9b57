// Dialog: the framed message box: a header line, a word-wrapped body, a footer
// line and zero, one or two DialogButtons, drawn on a 3 x 3 frame image. The
// player drags it by its frame (left button only), never more than 8 pixels
// off any screen edge. Placed (listed, or given a new size) it is fitted
// wholly on the screen, never taller or wider than it. Its buttons report to
// the dialog, which forwards the ids id + 2000 (YES, OK or the single button)
// and id + 3000 (NO, CANCEL) to the application's ButtonListener.
//
// Keys: Enter presses the default button (YES, OK or the single button; NO or
// CANCEL in a dialog whose YES would give something up) and Escape the
// cancelling one (NO, CANCEL or the single button), just as a click would.
// The widget manager offers these keys to the top modal dialog before the
// focused widget; a key the dialog takes goes nowhere else. A key already held
// when it comes (a repeat, or one held down since before the dialog opened) is
// taken but presses nothing, so one long press never answers two dialogs.
//
// The dialog owns its buttons and fonts; the images are not owned. Its
// buttons are separate widgets of the same manager, added and removed with
// the dialog, stacked just above it.
#pragma once

#include <memory>
#include <string>

#include "graphics/Font.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogButton.h"
#include "widgets/Widget.h"

namespace Varn {

class Dialog : public Widget, public ButtonListener {
public:
    // Button modes: 1 YES/NO, 2 OK/CANCEL, 3 one button labelled with the
    // footer (which then is no line of its own), any other value none.
    enum ButtonMode { kYesNo = 1, kOkCancel = 2, kFooterButton = 3 };
    static constexpr int kFirstButtonOffset = 2000;
    static constexpr int kSecondButtonOffset = 3000;
    // How far the dialog may be dragged past each screen edge.
    static constexpr int kDragOverhang = 8;
    // Colour table entries.
    enum ColorIndex { kHeaderColor = 0, kBodyColor = 1, kFooterColor = 2, kButtonLabelColor = 3 };

    Dialog(Image* frame, Image* buttonPicture, int dialogId, bool isModal,
           const std::string& headerText, const std::string& bodyText,
           const std::string& footerText, int mode);
    ~Dialog() override;

    void AddedToManager(WidgetManager* widgetManager) override;
    void RemovedFromManager(WidgetManager* widgetManager) override;
    // Setting entry 3 also recolours both buttons' labels.
    void SetColor(int index, const Color& color) override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    void Update() override;
    void MouseDown(int mouseX, int mouseY, int clickCode) override;
    void MouseUp(int mouseX, int mouseY) override;
    void MouseDrag(int mouseX, int mouseY) override;

    void ButtonPressed(int buttonId) override;
    void ButtonClicked(int buttonId) override;
    void ButtonHeld(int buttonId) override;

    virtual void SetButtonFont(Font* newFont);        // 41
    virtual void SetHeaderFont(Font* newFont);        // 42
    virtual void SetBodyFont(Font* newFont);          // 43
    virtual int GetPreferredHeight(int layoutWidth);  // 44
    // The width the body text is wrapped to in a dialog this wide.
    int BodyWidth(int layoutWidth) const;
    virtual bool IsModal();  // 45

    static constexpr int kEnterKey = 13;
    static constexpr int kEscapeKey = 27;
    // The button Enter presses (the focus ring's first stop too) and the one
    // Escape presses; null when the dialog has none.
    DialogButton* DefaultButton() const;
    DialogButton* CancelButton() const;
    // Presses a button of the dialog (one whose listener is the dialog) as a
    // click would: pressed, then clicked. False, and nothing done, for a
    // missing or disabled button.
    bool PressButton(DialogButton* button);
    // Enter or Escape presses its button, unless held; true when the key was
    // taken (a dialog without that button, or with it disabled, leaves it).
    bool AnswerKey(int keyCode, bool held = false);

    Image* frameImage;
    Image* buttonImage;
    std::unique_ptr<DialogButton> firstButton;
    std::unique_ptr<DialogButton> secondButton;
    std::string header;
    std::string footer;
    std::string body;
    int buttonMode;
    std::unique_ptr<Font> headerFont;
    std::unique_ptr<Font> bodyFont;
    int bodyAlignment = 0;  // 0 centred, 1 right, other left
    Insets contentInsets{24, 24, 24, 24};
    bool dragging = false;
    int dragAnchorX = 0;
    int dragAnchorY = 0;
    int id;
    bool modal;
    // YES would give something up (a game, a save): Enter means NO or CANCEL.
    bool safeDefault = false;

protected:
    Font* HeaderFont();
    Font* BodyFont();
    bool ShowsFooterLine() const;
    bool IsOwnButtonId(int buttonId) const;
    ButtonListener* ApplicationListener();

private:
    void LayOutButtons();
    Rect FitOnScreen(Rect rect) const;
    std::unique_ptr<DialogButton> MakeButton(int buttonId, const std::string& text);
};

}  // namespace Varn
