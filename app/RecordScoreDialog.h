// RecordScoreDialog: dialog 8, "High Score": the result message and a name
// field (starting with the name entered last time, all selected, with the
// keyboard focus) over OK and CANCEL. Enter in the field acts as OK. The
// application reads the name on OK (id 2008) and records it.
#pragma once

#include <memory>
#include <string>

#include "widgets/Dialog.h"
#include "widgets/EditListener.h"

namespace Varn {

class EditWidget;
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

private:
    void DrawFieldFrame(Graphics* g);

    WinLodeApp* app;
    std::unique_ptr<EditWidget> nameField;
};

}  // namespace Varn
