// Opening the options dialog from the game screen.
#include "app/WinLodeApp.h"
#include "widgets/Dialog.h"

namespace Varn {

void WinLodeApp::ShowOptions() {
    Dialog* dialog = ShowDialog(2, true, "OPTIONS", "", "DONE", 3);
    if (dialog) dialog->Resize(234, 50, 348, dialog->GetPreferredHeight(348));
}

}  // namespace Varn
