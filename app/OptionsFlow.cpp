// The application's side of the options, instructions, high-score and
// name-entry dialogs: opening them and applying what the player chose.
#include "app/HighScoreWidget.h"
#include "app/OptionsDialog.h"
#include "app/RecordScoreDialog.h"
#include "app/WinLodeApp.h"
#include "widgets/Dialog.h"
#include "widgets/InputPrompts.h"

namespace Varn {

namespace {

constexpr int kInstructionsDialog = 12;

// In paragraphs, so that the sentences naming a click or a key can follow the input in use.
const char* const kInstructionsStart =
    "OBJECT OF THE GAME - Swap adjacent gems to create rows of 3 or more identical gemstones. "
    "These will disappear, awarding you points, while new gems drop in from above. Fill up the "
    "Bonus Bar on the bottom of the screen to proceed to the next level, where all your matches "
    "are worth extra points!\n\n"
    "TIMETRIAL - This mode will test your skills to their limit! Create matches as fast as you "
    "can, because the timer is always ticking down... when it hits zero, game over! Fill the bar "
    "to go to the next level (and the next point multiplier)! ";
const char* const kPauseSentence = "Press any key to pause the game.";
const char* const kCascades =
    "\n\nCASCADES - You'll get extra points for creating chain reactions or 'cascades' of two or "
    "more sets. You also get bonus points for creating rows of 4 or 5 gems, and for completing "
    "two or more rows simultaneously.\n\n";
const char* const kControls =
    "CONTROLS - Just click on a gem to select it, then click on another adjacent gem to swap "
    "them. You must make a set of 3 or more identical gems with each move, though! You can also "
    "swap gems by just clicking and dragging a specific stone.";

// Dialog body alignment: anything but 0 (centred) and 1 (right) is left.
constexpr int kLeftJustified = -1;

}  // namespace

void WinLodeApp::ShowOptions() {
    auto* dialog = new OptionsDialog(this);
    dialog->Resize(234, 50, 348, dialog->GetPreferredHeight(348));
    AddDialog(OptionsDialog::kDialogId, dialog);
}

void WinLodeApp::ApplyOptions() {
    if (auto* options = dynamic_cast<OptionsDialog*>(GetDialog(OptionsDialog::kDialogId))) {
        bool toWindowed = !options->FullscreenChecked();
        if (toWindowed != windowed) SwitchScreenMode(toWindowed);
        SetCustomCursors(options->CustomCursorsChecked());
        if (options->WindowScaleStepped()) SetWindowScale(options->WindowScaleChoice());
        if (options->FullScreenChoice() != GetFullScreenScaling())
            SetFullScreenScaling(options->FullScreenChoice());
    }
    CloseDialog(OptionsDialog::kDialogId);
    // Written now too, so a crash or a kill later in the run keeps the choices.
    SaveRegistrySettings();
}

void WinLodeApp::ShowInstructions() {
    const bool pad = PadInUse();
    const std::string text = kInstructionsStart + InputPrompt(kPauseSentence, pad) + kCascades +
                             InputPrompt(kControls, pad);
    Dialog* dialog =
        ShowDialog(kInstructionsDialog, true, "INSTRUCTIONS", text, "DONE", Dialog::kFooterButton);
    if (!dialog) return;
    dialog->bodyAlignment = kLeftJustified;
    dialog->Resize(32, 8, width - 64, dialog->GetPreferredHeight(width - 64));
}

void WinLodeApp::ShowRecordScore(const std::string& message) {
    auto* dialog = new RecordScoreDialog(this, message);
    dialog->Resize(250, 32, 316, dialog->GetPreferredHeight(316));
    AddDialog(RecordScoreDialog::kDialogId, dialog);
    padOnDialogButtons = false;
    if (PadInUse()) dialog->ShowKeyboard();
}

// OK (or Enter): the typed name is recorded (an empty one records nothing)
// and remembered for next time, also when empty.
void WinLodeApp::AcceptRecordScore() {
    auto* dialog = dynamic_cast<RecordScoreDialog*>(GetDialog(RecordScoreDialog::kDialogId));
    if (dialog) {
        std::string name = dialog->GetName();
        if (gameOverScreen) gameOverScreen->RecordScore(name);
        lastScoreName = name;
    }
    CloseDialog(RecordScoreDialog::kDialogId);
    NameQuestionClosed();
}

}  // namespace Varn
