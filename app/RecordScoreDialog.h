// RecordScoreDialog: dialog 8, "High Score": the result message and a name
// field (starting with the name entered last time, all selected, with the
// keyboard focus) over OK and CANCEL. Enter in the field acts as OK. The
// application reads the name on OK (id 2008) and records it. For a player
// without a keyboard it shows an on-screen keyboard below itself, moving up
// where the picture would not hold both.
#pragma once

#include <memory>
#include <string>

#include "widgets/Dialog.h"
#include "widgets/EditListener.h"

namespace Varn {

class EditWidget;
class ScreenKeyboard;
class WinLodeApp;

class RecordScoreDialog : public Dialog, public EditListener {
public:
    static constexpr int kDialogId = 8;
    // Names wider than this in the text font are refused character by character.
    static constexpr int kMaxNamePixels = 104;

    RecordScoreDialog(WinLodeApp* application, const std::string& message);
    ~RecordScoreDialog() override;

    void AddedToManager(WidgetManager* widgetManager) override;
    void RemovedFromManager(WidgetManager* widgetManager) override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    int GetPreferredHeight(int layoutWidth) override;

    void EditWidgetText(int editId, const std::string& text) override;

    const std::string& GetName() const;
    EditWidget* GetNameField() { return nameField.get(); }
    // Shows the on-screen keyboard (once); null while the dialog is not listed.
    ScreenKeyboard* ShowKeyboard();
    ScreenKeyboard* GetKeyboard() { return keyboard.get(); }

private:
    void DrawFieldFrame(Graphics* g);
    void PlaceKeyboard();

    WinLodeApp* app;
    std::unique_ptr<EditWidget> nameField;
    std::unique_ptr<ScreenKeyboard> keyboard;
};

}  // namespace Varn
