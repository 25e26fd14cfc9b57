// RecordScoreDialog: construction, the field's place and frame, Enter as OK.
#include "app/RecordScoreDialog.h"

#include <algorithm>

#include "app/WinLodeApp.h"
#include "graphics/Graphics.h"
#include "widgets/EditWidget.h"
#include "widgets/ScreenKeyboard.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {

constexpr int kEditBoxImage = 35;
constexpr int kCell = 32;
constexpr int kExtraHeight = 56;
constexpr int kKeyboardGap = 4;  // between the dialog, the keyboard and the picture's edge
const Color kLabelColor(255, 255, 0);

// Background and outline see-through; light text; white caret and
// selection with black text over them.
constexpr int kFieldColors[5][4] = {
    {0, 0, 0, 0}, {0, 0, 0, 0}, {240, 240, 255, 255}, {255, 255, 255, 255}, {0, 0, 0, 255},
};

}  // namespace

RecordScoreDialog::RecordScoreDialog(WinLodeApp* application, const std::string& message)
    : Dialog(application->GetImage(12), application->GetImage(13), kDialogId, true, "High Score",
             message, "", kOkCancel),
      app(application),
      nameField(std::make_unique<EditWidget>(0, this)) {
    SetHeaderFont(app->GetTitleFont());
    SetBodyFont(app->GetTextFont());
    SetButtonFont(app->GetTextFont());
    nameField->SetFont(app->GetTextFont());
    nameField->SetColorsRGBA(kFieldColors, 5);
    nameField->maxPixels = kMaxNamePixels;
    nameField->SetText(app->lastScoreName);
}

RecordScoreDialog::~RecordScoreDialog() = default;

void RecordScoreDialog::AddedToManager(WidgetManager* widgetManager) {
    Dialog::AddedToManager(widgetManager);
    widgetManager->AddWidget(nameField.get());
    widgetManager->SetFocus(nameField.get());
}

void RecordScoreDialog::RemovedFromManager(WidgetManager* widgetManager) {
    Dialog::RemovedFromManager(widgetManager);
    widgetManager->RemoveWidget(nameField.get());
    if (keyboard) widgetManager->RemoveWidget(keyboard.get());
}

void RecordScoreDialog::Resize(int newX, int newY, int newWidth, int newHeight) {
    Dialog::Resize(newX, newY, newWidth, newHeight);
    nameField->Resize(x + 48, y + height - 100, width - 96, 24);
    if (keyboard) PlaceKeyboard();
}

ScreenKeyboard* RecordScoreDialog::ShowKeyboard() {
    if (!manager) return nullptr;
    if (keyboard) return keyboard.get();
    keyboard = std::make_unique<ScreenKeyboard>(nameField.get(), app->GetTextFont(),
                                                app->GetImage(12), app->GetImage(13));
    manager->AddWidget(keyboard.get());
    // The dialog moves up as far as the picture needs to hold both.
    const int overflow = y + height + 2 * kKeyboardGap + keyboard->height - manager->height;
    Resize(x, overflow > 0 ? std::max(kKeyboardGap, y - overflow) : y, width, height);
    return keyboard.get();
}

// Below the dialog, centred on it, inside the picture's width.
void RecordScoreDialog::PlaceKeyboard() {
    const int widest = manager ? manager->width - keyboard->width : x;
    const int keyboardX = std::clamp(x + (width - keyboard->width) / 2, 0, std::max(0, widest));
    keyboard->Move(keyboardX, y + height + kKeyboardGap);
}

int RecordScoreDialog::GetPreferredHeight(int layoutWidth) {
    return Dialog::GetPreferredHeight(layoutWidth) + kExtraHeight;
}

void RecordScoreDialog::Draw(Graphics* g) {
    Dialog::Draw(g);
    DrawFieldFrame(g);
    g->SetFont(app->GetTextFont());
    g->SetColor(kLabelColor);
    g->DrawString("Enter Your Name", nameField->x - x, nameField->y - y - 8);
}

// The field's frame: left cap, repeated middle cells, right cap, from the
// three 32 x 32 cells of "editbox", 4 pixels around the field. The middle
// cells stop where the right cap starts: its rounded corners are transparent,
// and a straight edge below them would show as a notch.
void RecordScoreDialog::DrawFieldFrame(Graphics* g) {
    Image* box = app->GetImage(kEditBoxImage);
    if (!box) return;
    Rect r(nameField->x - x - 4, nameField->y - y - 4, nameField->width + 8, nameField->height + 8);
    g->DrawImage(box, r.x, r.y, Rect(0, 0, kCell, kCell));
    Graphics middle(*g);
    middle.ClipRect(r.x + kCell, r.y, r.width - 2 * kCell, kCell);
    int cells = (r.width - 33) / kCell;
    for (int i = 0; i < cells; ++i)
        middle.DrawImage(box, r.x + kCell + kCell * i, r.y, Rect(kCell, 0, kCell, kCell));
    g->DrawImage(box, r.x + r.width - kCell, r.y, Rect(2 * kCell, 0, kCell, kCell));
}

void RecordScoreDialog::EditWidgetText(int, const std::string&) {
    app->ButtonClicked(kDialogId + kFirstButtonOffset);
}

const std::string& RecordScoreDialog::GetName() const {
    return nameField->text;
}

}  // namespace Varn
