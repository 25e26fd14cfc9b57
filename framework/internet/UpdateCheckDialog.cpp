// UpdateCheckDialog: the moving bar and the answer dialogs.
#include "framework/internet/UpdateCheckDialog.h"

#include "framework/VarnApp.h"
#include "framework/internet/InternetManager.h"
#include "graphics/Graphics.h"

namespace Varn {

namespace {

constexpr int kBarStepTicks = 3;
constexpr int kBarPeriod = 32;
constexpr int kBarHeight = 16;
constexpr int kBarSideInset = 24;
constexpr int kBarAboveBottom = 66;
constexpr int kAnswerShiftX = 32;
constexpr int kAnswerShiftY = -32;

const char* const kBody =
    "Contacting Zandrel to determine if there are any updates available for this product ...";

}  // namespace

UpdateCheckDialog::UpdateCheckDialog(VarnApp* application, InternetManager* internetManager,
                                     Image* frame, Image* buttonPicture, Image* waitBar,
                                     int dialogId)
    : Dialog(frame, buttonPicture, dialogId, true, "Update Check", kBody, "CANCEL", kFooterButton),
      waitBarImage(waitBar),
      app(application),
      internet(internetManager) {}

int UpdateCheckDialog::GetPreferredHeight(int layoutWidth) {
    return Dialog::GetPreferredHeight(layoutWidth) + kBarRoom;
}

void UpdateCheckDialog::Update() {
    Dialog::Update();
    if (done) return;
    if (updateCount % kBarStepTicks == 0) {
        barOffset = (barOffset + 1) % kBarPeriod;
        // Only the bar moves: redrawing the whole see-through dialog would redraw the
        // board beneath it too.
        MarkAreaDirty(BarRect());
    }
    const int status = internet ? internet->UpdateCheckStatus() : InternetManager::kInProgress;
    if (status == InternetManager::kDone) ShowAnswer();
    if (status == InternetManager::kFailed) ShowFailure();
}

// The bar stays where it stopped; the body grows to the failure text.
void UpdateCheckDialog::ShowFailure() {
    done = true;
    internet->LogCheckFailure();
    body = kFailedText;
    Resize(x, y, width, GetPreferredHeight(width));
    MarkDirty();
}

void UpdateCheckDialog::ShowAnswer() {
    done = true;
    internet->StartDownloads();
    Dialog* answer = nullptr;
    if (internet->IsUpToDate())
        answer = app->ShowDialog(id + kUpToDateOffset, true, "Up to Date",
                                 "There are no updates available for this product at this time.",
                                 "OK", kFooterButton);
    else
        answer = app->ShowDialog(id + kNewVersionOffset, true, "New Version",
                                 "There is an update available for this product. Would you like "
                                 "to visit the web site to download it?",
                                 "", kYesNo);
    if (answer) answer->Move(x + kAnswerShiftX, y + kAnswerShiftY);
}

Rect UpdateCheckDialog::BarRect() const {
    return Rect(contentInsets.left + kBarSideInset, height - contentInsets.bottom - kBarAboveBottom,
                width - contentInsets.left - contentInsets.right - 2 * kBarSideInset, kBarHeight);
}

void UpdateCheckDialog::Draw(Graphics* g) {
    Dialog::Draw(g);
    Rect bar = BarRect();
    if (waitBarImage) {
        Graphics clipped(*g);
        clipped.ClipRect(bar);
        int copies = bar.width / kBarPeriod + 2;
        for (int i = 0; i < copies; ++i)
            clipped.DrawImage(waitBarImage, bar.x + kBarPeriod * i - barOffset, bar.y);
    }
    g->SetColor(Color(0, 0, 0));
    g->DrawRect(bar.x - 1, bar.y - 1, bar.width + 1, bar.height + 1);
}

}  // namespace Varn
