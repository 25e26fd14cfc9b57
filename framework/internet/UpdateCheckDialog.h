// UpdateCheckDialog: the modal "Update Check" dialog (id 18). A wait bar moves
// while the check runs; when the check completes, the dialog starts the
// advertisement downloads and opens "Up to Date" (id + 20000, OK) or
// "New Version" (id + 10000, YES/NO) 32 pixels right of and above itself.
// A check that ends without an answer stops the bar and says so in the
// body; CANCEL closes the dialog as before.
// The application routes the buttons of all three dialogs.
#pragma once

#include "widgets/Dialog.h"

namespace Varn {

class InternetManager;
class VarnApp;

class UpdateCheckDialog : public Dialog {
public:
    static constexpr int kBarRoom = 32;
    static constexpr int kNewVersionOffset = 10000;
    static constexpr int kUpToDateOffset = 20000;
    static constexpr const char* kFailedText =
        "Could not contact Zandrel. Please check your internet connection and try again later.";

    UpdateCheckDialog(VarnApp* application, InternetManager* internetManager, Image* frame,
                      Image* buttonPicture, Image* waitBar, int dialogId);

    void Update() override;
    void Draw(Graphics* g) override;
    int GetPreferredHeight(int layoutWidth) override;

    // The bar, in dialog coordinates.
    Rect BarRect() const;

    Image* waitBarImage;
    int barOffset = 0;  // 0-31
    bool done = false;

private:
    void ShowAnswer();
    void ShowFailure();

    VarnApp* app;
    InternetManager* internet;
};

}  // namespace Varn
