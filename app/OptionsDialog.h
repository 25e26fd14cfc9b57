// OptionsDialog: dialog 2, "Options". Music and effect volumes follow the
// sliders while they move; "Fullscreen" and "Custom Cursors" take effect only
// when the application applies the dialog on "DONE". "Help" opens the
// instructions (dialog 12), "High Scores" the high-score tables (dialog 13).
// Unchecking "Fullscreen" where windowed mode was refused shows why and
// checks the box again.
//
// "Check for Updates" and the web-site button sit in two full-width rows below
// Help and High Scores; the dialog is 80 pixels taller than the first layout
// to make room for them, everything else keeps its place. "Window Size" is a full-width
// row below those (38 pixels more): each click steps its choice through "Automatic" and the
// scales the desktop has room for; "DONE" applies it. "Full Screen" is one more such row (38
// pixels more), stepping through "Automatic", "Sharp Whole Multiples" and "Fill Screen". A
// build without the network (GEMLODE_ONLINE=0) has no update or site row; the dialog is
// that much shorter and the two size rows move up into their place.
#pragma once

#include <memory>

#include "platform/WindowScale.h"
#include "widgets/CheckboxListener.h"
#include "widgets/Dialog.h"
#include "widgets/SliderListener.h"

namespace Varn {

class Checkbox;
class DialogButton;
class MemoryImage;
class Slider;
class WinLodeApp;

class OptionsDialog : public Dialog, public SliderListener, public CheckboxListener {
public:
    static constexpr int kDialogId = 2;
    static constexpr int kPreferredHeight = 414;
    static constexpr int kOnlineRowsHeight = 80;
    enum ChildId { kMusicSlider = 0, kSoundSlider = 1, kFullscreenBox = 0, kCursorsBox = 1 };
    enum OwnButtonId {
        kHelpButton = 0,
        kHighScoresButton = 2,
        kSiteButton = 3,
        kUpdateButton = 4,
        kWindowSizeButton = 5,
        kFullScreenButton = 6
    };

    explicit OptionsDialog(WinLodeApp* application);
    ~OptionsDialog() override;

    void AddedToManager(WidgetManager* widgetManager) override;
    void RemovedFromManager(WidgetManager* widgetManager) override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    int GetPreferredHeight(int layoutWidth) override;

    void ButtonPressed(int buttonId) override;
    void ButtonClicked(int buttonId) override;
    void SliderValueChanged(int sliderId, double value) override;
    void CheckboxChecked(int checkboxId, bool isChecked) override;

    // What "DONE" applies.
    bool FullscreenChecked() const;
    bool CustomCursorsChecked() const;
    // The window scale chosen (0 automatic), and whether the player changed it.
    int WindowScaleChoice() const { return windowScaleChoice; }
    bool WindowScaleStepped() const { return windowScaleStepped; }
    FullScreenScaling FullScreenChoice() const { return fullScreenChoice; }

    WinLodeApp* app;
    std::unique_ptr<Slider> musicSlider;
    std::unique_ptr<Slider> soundSlider;
    std::unique_ptr<Checkbox> fullscreenBox;
    std::unique_ptr<Checkbox> cursorsBox;
    std::unique_ptr<DialogButton> helpButton;
    std::unique_ptr<DialogButton> highScoresButton;
    std::unique_ptr<DialogButton> siteButton;
    std::unique_ptr<DialogButton> updateButton;
    std::unique_ptr<DialogButton> windowSizeButton;
    std::unique_ptr<DialogButton> fullScreenButton;
    std::unique_ptr<MemoryImage> checkedImage;
    std::unique_ptr<MemoryImage> uncheckedImage;

private:
    std::unique_ptr<DialogButton> MakeOwnButton(int buttonId, const std::string& caption);
    void ShowHighScores();
    void StepWindowScale();
    void LabelWindowSize();
    void StepFullScreen();
    void LabelFullScreen();

    int windowScaleChoice = 0;
    bool windowScaleStepped = false;
    FullScreenScaling fullScreenChoice = FullScreenScaling::Automatic;
};

}  // namespace Varn
