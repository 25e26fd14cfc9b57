// The application's side of the update check: opening dialog 18, the query
// address, and what YES in "New Version" does.
#include <cstdlib>
#include <string>

#include "app/WinLodeApp.h"
#include "framework/internet/InternetManager.h"
#include "framework/internet/UpdateCheckDialog.h"
#include "graphics/MemoryImage.h"

#ifndef GEMLODE_UPDATE_SERVER
#define GEMLODE_UPDATE_SERVER "https://update.zandrel.example"
#endif

namespace Varn {

namespace {

constexpr int kUpdateCheckDialog = 18;
constexpr int kNewVersionDialog = kUpdateCheckDialog + UpdateCheckDialog::kNewVersionOffset;
constexpr int kDialogFrameImage = 12;
constexpr int kButtonImage = 13;
constexpr int kWaitBarImage = 14;

// Query values go out percent-encoded: a stored referral id holding "&", "#"
// or a blank would otherwise add keys of its own or break the request.
std::string QueryValue(const std::string& text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace

std::string WinLodeApp::DefaultUpdateServer() {
    const char* overridden = std::getenv("GEMLODE_UPDATE_SERVER");
    std::string address = overridden && *overridden ? overridden : GEMLODE_UPDATE_SERVER;
    while (!address.empty() && address.back() == '/') address.pop_back();
    return address;
}

std::string WinLodeApp::UpdateQueryUrl() {
    return updateServer + "/win32updatecheck.php?prod=" + QueryValue(productName) +
           "&ver=" + QueryValue(productVersion) + "&referid=" + QueryValue(referId);
}

void WinLodeApp::StartUpdateCheck() {
    CloseDialog(kUpdateCheckDialog);
    auto* dialog = new UpdateCheckDialog(
        this, GetInternetManager(), images[kDialogFrameImage].get(), images[kButtonImage].get(),
        images[kWaitBarImage].get(), kUpdateCheckDialog);
    dialog->SetHeaderFont(GetTitleFont());
    dialog->SetBodyFont(GetTextFont());
    dialog->SetButtonFont(GetTextFont());
    dialog->Resize(146, 50, 348, dialog->GetPreferredHeight(348));
    AddDialog(kUpdateCheckDialog, dialog);
    if (InternetManager* internet = GetInternetManager())
        internet->StartUpdateCheck(UpdateQueryUrl());
}

// YES: the page is opened and the game quits once the browser is up. A page
// that is no plain web address is never handed to the system's opener: the
// player is told why instead.
void WinLodeApp::AcceptNewVersion() {
    CloseDialog(kNewVersionDialog);
    CloseDialog(kUpdateCheckDialog);
    InternetManager* internet = GetInternetManager();
    std::string page = internet ? internet->UpdatePageUrl() : std::string();
    if (!page.empty())
        OpenBrowser(page, true);
    else
        PageNotOpened(internet ? internet->UpdatePageProblem() : "no update check was made");
}

void WinLodeApp::CloseUpdateDialogs(int answerDialog) {
    CloseDialog(answerDialog);
    CloseDialog(kUpdateCheckDialog);
}

}  // namespace Varn
