// Dialog: buttons by mode, layout, frame and text drawing, preferred height,
// dragging, and forwarding of its buttons to the application.
#include "widgets/Dialog.h"

#include <algorithm>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/ControlSupport.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kHeaderPointSize = 14;
constexpr int kBodyPointSize = 12;
constexpr int kButtonGap = 8;
constexpr int kHeaderGap = 10;  // below the header line
constexpr int kFooterGap = 8;   // above the footer line and the buttons
constexpr int kBodySideInset = 2;
constexpr int kDefaultColors[4][3] = {
    {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}};

int ImageHeight(Image* image) {
    return image ? image->GetHeight() : 0;
}
}  // namespace

Dialog::Dialog(Image* frame, Image* buttonPicture, int dialogId, bool isModal,
               const std::string& headerText, const std::string& bodyText,
               const std::string& footerText, int mode)
    : frameImage(frame),
      buttonImage(buttonPicture),
      header(headerText),
      footer(footerText),
      body(bodyText),
      buttonMode(mode),
      id(dialogId),
      modal(isModal) {
    // The frame may have see-through and half-see-through pixels.
    transparent = true;
    translucent = true;
    for (const auto& row : kDefaultColors) colors.emplace_back(row[0], row[1], row[2]);
    const int first = id + kFirstButtonOffset;
    const int second = id + kSecondButtonOffset;
    if (buttonMode == kYesNo) {
        firstButton = MakeButton(first, "YES");
        secondButton = MakeButton(second, "NO");
    } else if (buttonMode == kOkCancel) {
        firstButton = MakeButton(first, "OK");
        secondButton = MakeButton(second, "CANCEL");
    } else if (buttonMode == kFooterButton) {
        firstButton = MakeButton(first, footer);
    }
}

Dialog::~Dialog() {
    // An owner that deletes a dialog still listed must not leave the dialog or
    // its buttons in the manager's list after they are gone.
    if (manager) manager->RemoveWidget(this);
}

std::unique_ptr<DialogButton> Dialog::MakeButton(int buttonId, const std::string& text) {
    auto button = std::make_unique<DialogButton>(buttonImage, buttonId, this);
    button->label = text;
    return button;
}

void Dialog::AddedToManager(WidgetManager* widgetManager) {
    Widget::AddedToManager(widgetManager);
    if (firstButton) widgetManager->AddWidget(firstButton.get());
    if (secondButton) widgetManager->AddWidget(secondButton.get());
    const Rect fitted = FitOnScreen(GetRect());
    if (fitted != GetRect()) Resize(fitted.x, fitted.y, fitted.width, fitted.height);
}

void Dialog::RemovedFromManager(WidgetManager* widgetManager) {
    if (firstButton) widgetManager->RemoveWidget(firstButton.get());
    if (secondButton) widgetManager->RemoveWidget(secondButton.get());
    Widget::RemovedFromManager(widgetManager);
}

void Dialog::SetColor(int index, const Color& color) {
    Widget::SetColor(index, color);
    if (index != kButtonLabelColor) return;
    for (DialogButton* button : {firstButton.get(), secondButton.get()})
        if (button) button->SetColor(0, color);
}

// A new size is a placement: it is fitted on the screen. A plain move (the
// player's drag) keeps its own limits.
void Dialog::Resize(int newX, int newY, int newWidth, int newHeight) {
    Rect placed(newX, newY, newWidth, newHeight);
    if (newWidth != width || newHeight != height) placed = FitOnScreen(placed);
    Widget::Resize(placed.x, placed.y, placed.width, placed.height);
    LayOutButtons();
}

// Never taller or wider than the screen, and wholly on it, so that the
// buttons (laid out from the bottom edge) can always be reached, however
// long the text. Before the dialog is listed the screen is not known.
Rect Dialog::FitOnScreen(Rect rect) const {
    if (!manager || manager->width <= 0 || manager->height <= 0) return rect;
    rect.width = std::min(rect.width, manager->width);
    rect.height = std::min(rect.height, manager->height);
    rect.x = std::clamp(rect.x, 0, manager->width - rect.width);
    rect.y = std::clamp(rect.y, 0, manager->height - rect.height);
    return rect;
}

// Buttons are widgets of their own, so they are placed in screen coordinates.
void Dialog::LayOutButtons() {
    if (!firstButton) return;
    const Insets& in = contentInsets;
    const int buttonHeight = ImageHeight(buttonImage);
    const int buttonY = y + height - in.bottom - buttonHeight;
    const int inner = width - in.left - in.right;
    if (secondButton) {
        const int buttonWidth = (inner - kButtonGap) / 2;
        firstButton->Resize(x + in.left, buttonY, buttonWidth, buttonHeight);
        secondButton->Resize(x + in.left + buttonWidth + kButtonGap, buttonY, buttonWidth,
                             buttonHeight);
    } else {
        firstButton->Resize(x + in.left, buttonY, inner, buttonHeight);
    }
}

Font* Dialog::HeaderFont() {
    if (!headerFont) headerFont = MakeSansSerifFont(kHeaderPointSize, true);
    return headerFont.get();
}

Font* Dialog::BodyFont() {
    if (!bodyFont) bodyFont = MakeSansSerifFont(kBodyPointSize, true);
    return bodyFont.get();
}

bool Dialog::ShowsFooterLine() const {
    return !footer.empty() && buttonMode != kFooterButton;
}

void Dialog::Draw(Graphics* g) {
    g->DrawImageBox(Rect(0, 0, width, height), frameImage);
    const Insets& in = contentInsets;
    int penY = in.top;
    Font* headFont = HeaderFont();
    if (!header.empty() && headFont) {
        penY += headFont->GetAscent();
        g->SetFont(headFont);
        g->SetColor(TableColor(colors, kHeaderColor));
        DrawCenteredText(g, penY, header);
        penY += headFont->GetLineSpacing() - headFont->GetAscent() + kHeaderGap;
    }
    if (Font* textFont = BodyFont()) {
        g->SetFont(textFont);
        g->SetColor(TableColor(colors, kBodyColor));
        Rect area(in.left + kBodySideInset, penY, BodyWidth(width), 0);
        penY += DrawWrappedText(g, area, body, textFont->GetLineSpacing(), bodyAlignment);
    }
    if (ShowsFooterLine() && headFont) {
        penY += kFooterGap + headFont->GetLineSpacing();
        g->SetFont(headFont);
        g->SetColor(TableColor(colors, kFooterColor));
        DrawCenteredText(g, penY, footer);
    }
}

int Dialog::BodyWidth(int layoutWidth) const {
    return layoutWidth - contentInsets.left - contentInsets.right - 2 * kBodySideInset;
}

int Dialog::GetPreferredHeight(int layoutWidth) {
    const Insets& in = contentInsets;
    int result = in.top + in.bottom;
    bool somethingAbove = false;
    Font* headFont = HeaderFont();
    const int headerSpacing = headFont ? headFont->GetLineSpacing() : 0;
    if (!header.empty()) {
        result += headerSpacing;
        somethingAbove = true;
    }
    if (!body.empty()) {
        if (somethingAbove) result += kHeaderGap;
        Graphics scratch;
        scratch.SetFont(BodyFont());
        Font* textFont = scratch.GetFont();
        result += MeasureWrappedText(&scratch, BodyWidth(layoutWidth), body,
                                     textFont ? textFont->GetLineSpacing() : 0);
        somethingAbove = true;
    }
    if (ShowsFooterLine()) {
        if (somethingAbove) result += kFooterGap;
        result += headerSpacing;
        somethingAbove = true;
    }
    if (firstButton) {
        if (somethingAbove) result += kFooterGap;
        result += ImageHeight(buttonImage) + kFooterGap;
    }
    return result;
}

void Dialog::Update() {}

void Dialog::MouseDown(int mouseX, int mouseY, int clickCode) {
    if (clickCode != 1) return;  // only the left button drags
    SetWidgetCursor(this, CursorKind::Dragging);
    dragging = true;
    dragAnchorX = mouseX;
    dragAnchorY = mouseY;
}

void Dialog::MouseDrag(int mouseX, int mouseY) {
    if (!dragging || !manager) return;
    const int pointerX = x + mouseX;
    const int pointerY = y + mouseY;
    // The far edge first, so a dialog wider than the screen keeps its left
    // (and top) edge within reach.
    int newX = std::min(pointerX - dragAnchorX, manager->width + kDragOverhang - width);
    int newY = std::min(pointerY - dragAnchorY, manager->height + kDragOverhang - height);
    newX = std::max(newX, -kDragOverhang);
    newY = std::max(newY, -kDragOverhang);
    // The grab point stays inside the dialog, away from its border.
    dragAnchorX = std::max(std::min(pointerX - newX, width - 1 - kDragOverhang), kDragOverhang);
    dragAnchorY = std::max(std::min(pointerY - newY, height - 1 - kDragOverhang), kDragOverhang);
    Move(newX, newY);
}

void Dialog::MouseUp(int, int) {
    if (!dragging) return;
    SetWidgetCursor(this, CursorKind::Pointer);
    dragging = false;
}

void Dialog::SetButtonFont(Font* newFont) {
    if (firstButton) firstButton->SetFont(newFont);
    if (secondButton) secondButton->SetFont(newFont);
}

void Dialog::SetHeaderFont(Font* newFont) {
    headerFont = newFont ? newFont->Duplicate() : nullptr;
}

void Dialog::SetBodyFont(Font* newFont) {
    bodyFont = newFont ? newFont->Duplicate() : nullptr;
}

bool Dialog::IsModal() {
    return modal;
}

bool Dialog::IsOwnButtonId(int buttonId) const {
    return buttonId == id + kFirstButtonOffset || buttonId == id + kSecondButtonOffset;
}

ButtonListener* Dialog::ApplicationListener() {
    return manager && manager->app ? manager->app->GetButtonListener() : nullptr;
}

DialogButton* Dialog::DefaultButton() const {
    return safeDefault && secondButton ? secondButton.get() : firstButton.get();
}

DialogButton* Dialog::CancelButton() const {
    return secondButton ? secondButton.get() : firstButton.get();
}

bool Dialog::PressButton(DialogButton* button) {
    if (!button || button->disabled) return false;
    // The press may close the dialog: it is deleted only at the end of the loop pass.
    PressAsClick(button->id);
    return true;
}

bool Dialog::AnswerKey(int keyCode, bool held) {
    DialogButton* button = keyCode == kEnterKey    ? DefaultButton()
                           : keyCode == kEscapeKey ? CancelButton()
                                                   : nullptr;
    if (!button || button->disabled) return false;
    return held || PressButton(button);
}

void Dialog::ButtonPressed(int buttonId) {
    if (!IsOwnButtonId(buttonId)) return;
    if (ButtonListener* target = ApplicationListener()) target->ButtonPressed(buttonId);
}

void Dialog::ButtonClicked(int buttonId) {
    if (!IsOwnButtonId(buttonId)) return;
    if (ButtonListener* target = ApplicationListener()) target->ButtonClicked(buttonId);
}

void Dialog::ButtonHeld(int buttonId) {
    if (!IsOwnButtonId(buttonId)) return;
    if (ButtonListener* target = ApplicationListener()) target->ButtonHeld(buttonId);
}

}  // namespace Varn
