// OptionsDialog: construction, layout, labels and the reactions of its controls.
#include "app/OptionsDialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/HighScoreDialog.h"
#include "app/WinLodeApp.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/Checkbox.h"
#include "widgets/DialogButton.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {

constexpr int kDialogFrameImage = 12;
constexpr int kButtonImage = 13;
constexpr int kSliderTrackImage = 27;
constexpr int kSliderThumbImage = 28;
constexpr int kCheckboxImage = 29;
constexpr Rect kCheckedHalf{0, 0, 31, 32};
constexpr Rect kUncheckedHalf{31, 0, 31, 32};
constexpr int kMenuClickSound = 12;
#if GEMLODE_ONLINE
const char* const kSiteName = "Zandrel";
#endif
const char* const kSiteAddress = "http://www.zandrel.example/";
const Color kLabelColor(255, 255, 0);

// A copy of part of a memory image (empty where the source does not reach).
std::unique_ptr<MemoryImage> CopyRegion(Image* source, const Rect& region,
                                        ImageRegistry* registry) {
    auto copy = std::make_unique<MemoryImage>(registry);
    std::vector<uint32_t> pixels(size_t(region.width) * size_t(region.height), 0);
    auto* memory = dynamic_cast<MemoryImage*>(source);
    const uint32_t* bits = memory ? memory->GetBits() : nullptr;
    if (bits) {
        int sourceWidth = memory->GetWidth();
        int rows = std::min(region.height, memory->GetHeight() - region.y);
        int columns = std::min(region.width, sourceWidth - region.x);
        for (int row = 0; row < rows; ++row)
            std::copy_n(bits + size_t(region.y + row) * size_t(sourceWidth) + size_t(region.x),
                        std::max(columns, 0), pixels.begin() + ptrdiff_t(row) * region.width);
    }
    copy->SetBits(pixels.data(), region.width, region.height);
    return copy;
}

}  // namespace

OptionsDialog::OptionsDialog(WinLodeApp* application)
    : Dialog(application->GetImage(kDialogFrameImage), application->GetImage(kButtonImage),
             kDialogId, true, "Options", "", "DONE", kFooterButton),
      app(application) {
    SetHeaderFont(app->GetTitleFont());
    SetBodyFont(app->GetTextFont());
    SetButtonFont(app->GetTextFont());
    ImageRegistry* registry = app->GetImageRegistry();
    checkedImage = CopyRegion(app->GetImage(kCheckboxImage), kCheckedHalf, registry);
    uncheckedImage = CopyRegion(app->GetImage(kCheckboxImage), kUncheckedHalf, registry);

    helpButton = MakeOwnButton(kHelpButton, "Help");
    highScoresButton = MakeOwnButton(kHighScoresButton, "High Scores");
#if GEMLODE_ONLINE
    siteButton = MakeOwnButton(kSiteButton, std::string("Visit ") + kSiteName + " For More Games");
    updateButton = MakeOwnButton(kUpdateButton, "Check for Updates");
#endif
    windowSizeButton = MakeOwnButton(kWindowSizeButton, "");
    windowScaleChoice = app->RequestedWindowScale();
    LabelWindowSize();
    fullScreenButton = MakeOwnButton(kFullScreenButton, "");
    fullScreenChoice = app->GetFullScreenScaling();
    LabelFullScreen();

    Image* track = app->GetImage(kSliderTrackImage);
    Image* thumb = app->GetImage(kSliderThumbImage);
    musicSlider = std::make_unique<Slider>(track, thumb, kMusicSlider, this);
    soundSlider = std::make_unique<Slider>(track, thumb, kSoundSlider, this);
    musicSlider->SetValue(app->GetMusicVolume());
    soundSlider->SetValue(app->GetSfxVolume());

    fullscreenBox =
        std::make_unique<Checkbox>(uncheckedImage.get(), checkedImage.get(), kFullscreenBox, this);
    cursorsBox =
        std::make_unique<Checkbox>(uncheckedImage.get(), checkedImage.get(), kCursorsBox, this);
    fullscreenBox->SetChecked(!app->windowed);
    cursorsBox->SetChecked(app->customCursors);
}

OptionsDialog::~OptionsDialog() = default;

std::unique_ptr<DialogButton> OptionsDialog::MakeOwnButton(int buttonId,
                                                           const std::string& caption) {
    auto button = std::make_unique<DialogButton>(app->GetImage(kButtonImage), buttonId, this);
    button->SetFont(app->GetTextFont());
    button->label = caption;
    return button;
}

void OptionsDialog::AddedToManager(WidgetManager* widgetManager) {
    Dialog::AddedToManager(widgetManager);
    widgetManager->AddWidget(musicSlider.get());
    widgetManager->AddWidget(soundSlider.get());
    widgetManager->AddWidget(fullscreenBox.get());
    widgetManager->AddWidget(cursorsBox.get());
    widgetManager->AddWidget(helpButton.get());
    widgetManager->AddWidget(highScoresButton.get());
    if (siteButton) widgetManager->AddWidget(siteButton.get());
    if (updateButton) widgetManager->AddWidget(updateButton.get());
    widgetManager->AddWidget(windowSizeButton.get());
    widgetManager->AddWidget(fullScreenButton.get());
}

void OptionsDialog::RemovedFromManager(WidgetManager* widgetManager) {
    Dialog::RemovedFromManager(widgetManager);
    widgetManager->RemoveWidget(musicSlider.get());
    widgetManager->RemoveWidget(soundSlider.get());
    widgetManager->RemoveWidget(fullscreenBox.get());
    widgetManager->RemoveWidget(cursorsBox.get());
    widgetManager->RemoveWidget(helpButton.get());
    widgetManager->RemoveWidget(highScoresButton.get());
    if (siteButton) widgetManager->RemoveWidget(siteButton.get());
    if (updateButton) widgetManager->RemoveWidget(updateButton.get());
    widgetManager->RemoveWidget(windowSizeButton.get());
    widgetManager->RemoveWidget(fullScreenButton.get());
}

// Children are screen widgets of their own, so they follow the dialog here
// (also while it is dragged: Move resizes).
void OptionsDialog::Resize(int newX, int newY, int newWidth, int newHeight) {
    Dialog::Resize(newX, newY, newWidth, newHeight);
    int third = (width - 60) / 3;
    helpButton->Resize(x + 24, y + 166, third, 32);
    highScoresButton->Resize(x + 2 * third + 36, y + 166, third, 32);
    musicSlider->Resize(x + 136, y + 60, width - 160, 32);
    soundSlider->Resize(x + 136, y + 92, width - 160, 32);
    fullscreenBox->Resize(x + 32, y + 124, 32, 32);
    cursorsBox->Resize(x + 146, y + 124, 32, 32);
    if (updateButton) updateButton->Resize(x + 24, y + 204, width - 48, 32);
    if (siteButton) siteButton->Resize(x + 24, y + 242, width - 48, 32);
    // Below the online rows, or in their place where the build has none.
    const int sizeRowY = updateButton ? 280 : 280 - kOnlineRowsHeight;
    windowSizeButton->Resize(x + 24, y + sizeRowY, width - 48, 32);
    fullScreenButton->Resize(x + 24, y + sizeRowY + 38, width - 48, 32);
}

void OptionsDialog::Draw(Graphics* g) {
    Dialog::Draw(g);
    g->SetFont(app->GetTextFont());
    g->SetColor(kLabelColor);
    g->SetColorizeImages(true);
    g->DrawString("Music", 32, 78);
    g->DrawString("Sound Fx", 32, 110);
    g->DrawString("Fullscreen", fullscreenBox->x - x + 34, fullscreenBox->y - y + 18);
    g->DrawString("Custom Cursors", cursorsBox->x - x + 34, cursorsBox->y - y + 18);
    g->SetColorizeImages(false);
}

int OptionsDialog::GetPreferredHeight(int) {
    return updateButton ? kPreferredHeight : kPreferredHeight - kOnlineRowsHeight;
}

// "DONE" already sounds through the application; the click is added for the
// dialog's own buttons only, so no press sounds twice.
void OptionsDialog::ButtonPressed(int buttonId) {
    Dialog::ButtonPressed(buttonId);
    if (!IsOwnButtonId(buttonId)) app->PlaySound(kMenuClickSound);
}

void OptionsDialog::ButtonClicked(int buttonId) {
    Dialog::ButtonClicked(buttonId);
    if (IsOwnButtonId(buttonId)) return;
    switch (buttonId) {
        case kHelpButton:
            app->ShowInstructions();
            return;
        case kHighScoresButton:
            ShowHighScores();
            return;
        case kSiteButton:
            app->OpenBrowser(kSiteAddress, false);
            return;
        case kUpdateButton:
            app->StartUpdateCheck();
            return;
        case kWindowSizeButton:
            StepWindowScale();
            return;
        case kFullScreenButton:
            StepFullScreen();
            return;
        default:
            return;
    }
}

void OptionsDialog::ShowHighScores() {
    auto* dialog = new HighScoreDialog(app);
    dialog->Resize(194, 50, 428, dialog->GetPreferredHeight(428));
    app->AddDialog(HighScoreDialog::kDialogId, dialog);
}

// Automatic, then 1x up to the largest scale that fits, then Automatic again.
void OptionsDialog::StepWindowScale() {
    int largest = app->GetPlatform()->GetWindow().MaxWindowScale();
    windowScaleChoice = windowScaleChoice >= largest ? 0 : windowScaleChoice + 1;
    windowScaleStepped = true;
    LabelWindowSize();
}

void OptionsDialog::LabelWindowSize() {
    std::string size = "Automatic";
    if (windowScaleChoice > 0)
        size = std::to_string(windowScaleChoice) + "x (" +
               std::to_string(app->width * windowScaleChoice) + "x" +
               std::to_string(app->height * windowScaleChoice) + ")";
    windowSizeButton->label = "Window Size: " + size;
}

// Automatic, Sharp Whole Multiples, Fill Screen, and round again; "DONE" applies it.
void OptionsDialog::StepFullScreen() {
    fullScreenChoice = FullScreenScaling((int(fullScreenChoice) + 1) % 3);
    LabelFullScreen();
}

void OptionsDialog::LabelFullScreen() {
    static const char* const kNames[] = {"Automatic", "Sharp Whole Multiples", "Fill Screen"};
    fullScreenButton->label = std::string("Full Screen: ") + kNames[int(fullScreenChoice)];
}

void OptionsDialog::SliderValueChanged(int sliderId, double value) {
    if (sliderId == kMusicSlider)
        app->SetMusicVolume(value);
    else if (sliderId == kSoundSlider)
        app->SetSfxVolume(value);
}

void OptionsDialog::CheckboxChecked(int checkboxId, bool isChecked) {
    if (checkboxId != kFullscreenBox || isChecked || !app->windowedFailed) return;
    app->ShowNoWindowedMode();
    fullscreenBox->SetChecked(true);
}

bool OptionsDialog::FullscreenChecked() const {
    return fullscreenBox->IsChecked();
}

bool OptionsDialog::CustomCursorsChecked() const {
    return cursorsBox->IsChecked();
}

}  // namespace Varn
