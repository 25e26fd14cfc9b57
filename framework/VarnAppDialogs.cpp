// VarnApp's dialog registry: dialogs by integer id, at most one per id, the
// modal ones blocking input below them. Modal dialogs are kept in opening
// order: closing the top one makes the one below the modal widget again, so
// the barrier holds until the last modal dialog is gone. Closed dialogs are
// deleted at the end of the loop pass, so a dialog may close itself from its
// own button handler.
#include <algorithm>

#include "framework/VarnApp.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

namespace Varn {

Dialog* VarnApp::CreateDialog(int, bool, const std::string&, const std::string&, const std::string&,
                              int) {
    return nullptr;
}

Dialog* VarnApp::ShowDialog(int id, bool modal, const std::string& header, const std::string& body,
                            const std::string& footer, int buttonMode) {
    CloseDialog(id);
    Dialog* dialog = CreateDialog(id, modal, header, body, footer, buttonMode);
    if (dialog) AddDialog(id, dialog);
    return dialog;
}

Dialog* VarnApp::GetDialog(int id) {
    auto it = dialogs.find(id);
    return it == dialogs.end() ? nullptr : it->second;
}

void VarnApp::AddDialog(int id, Dialog* dialog) {
    CloseDialog(id);
    dialogs[id] = dialog;
    widgetManager->AddWidget(dialog);
    if (dialog->IsModal()) {
        modalDialogs.push_back(dialog);
        widgetManager->SetModalWidget(dialog);
        ModalDialogOpened();
    }
}

bool VarnApp::CloseDialog(int id) {
    auto it = dialogs.find(id);
    if (it == dialogs.end()) return false;
    Dialog* dialog = it->second;
    const auto modalEntry = std::find(modalDialogs.begin(), modalDialogs.end(), dialog);
    const bool wasModal = modalEntry != modalDialogs.end();
    if (wasModal) {
        modalDialogs.erase(modalEntry);
        ModalDialogsClosed();
    }
    widgetManager->RemoveWidget(dialog);
    SafeDelete(dialog);
    dialogs.erase(it);
    if (wasModal && !modalDialogs.empty() && widgetManager->modalWidget != modalDialogs.back())
        widgetManager->SetModalWidget(modalDialogs.back());
    return true;
}

int VarnApp::GetDialogCount() {
    return static_cast<int>(dialogs.size());
}

}  // namespace Varn
