// The options dialog (2): placement, volumes that follow the sliders at once,
// full screen and custom cursors applied only on "DONE", the refusal of
// windowed mode where it failed, and the Help and High Scores buttons.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/OptionsDialog.h"
#include "framework/SettingsStore.h"
#include "graphics/MemoryImage.h"
#include "tests/app_scores/GameFixture.h"
#include "widgets/Checkbox.h"
#include "widgets/DialogButton.h"
#include "widgets/Slider.h"

namespace Varn::test {
namespace {

class OptionsDialogTest : public GameFixture {
protected:
    OptionsDialog* OpenOptions() {
        Click(96, 261);  // the Options button of the game screen
        return dynamic_cast<OptionsDialog*>(app->GetDialog(2));
    }

    void Done(OptionsDialog* options) {
        ClickCentreOf(options->firstButton.get());
        FinishPass();
    }

    // Drags a slider's thumb by dx pixels.
    void DragThumb(Slider* slider, int dx) {
        WidgetManager* manager = app->GetWidgetManager();
        int thumbX = slider->x + int((slider->width - 32) * slider->value) + 16;
        int thumbY = slider->y + slider->height / 2;
        manager->MouseMove(thumbX, thumbY);
        manager->MouseDown(thumbX, thumbY, 1);
        manager->MouseDrag(thumbX + dx, thumbY);
        manager->MouseUp(thumbX + dx, thumbY);
    }
};

TEST_F(OptionsDialogTest, OpensAsDialogTwoWithItsLayout) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->GetRect(), Rect(234, 50, 348, 414));
    EXPECT_EQ(options->header, "Options");
    EXPECT_EQ(options->firstButton->label, "DONE");
    int third = (348 - 60) / 3;
    EXPECT_EQ(options->helpButton->GetRect(), Rect(234 + 24, 50 + 166, third, 32));
    EXPECT_EQ(options->highScoresButton->GetRect(), Rect(234 + 2 * third + 36, 216, third, 32));
    EXPECT_EQ(options->musicSlider->GetRect(), Rect(234 + 136, 110, 348 - 160, 32));
    EXPECT_EQ(options->soundSlider->GetRect(), Rect(234 + 136, 142, 348 - 160, 32));
    EXPECT_EQ(options->fullscreenBox->GetRect(), Rect(266, 174, 32, 32));
    EXPECT_EQ(options->cursorsBox->GetRect(), Rect(380, 174, 32, 32));
    EXPECT_EQ(options->updateButton->GetRect(), Rect(258, 254, 300, 32));
    EXPECT_EQ(options->siteButton->GetRect(), Rect(258, 292, 300, 32));
    EXPECT_EQ(options->windowSizeButton->GetRect(), Rect(258, 330, 300, 32));
    EXPECT_EQ(options->checkedImage->GetWidth(), 31);
    EXPECT_EQ(options->uncheckedImage->GetHeight(), 32);
}

TEST_F(OptionsDialogTest, ChildrenFollowTheDialogWhenDragged) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    options->Move(200, 60);
    EXPECT_EQ(options->musicSlider->GetRect(), Rect(336, 120, 188, 32));
    EXPECT_EQ(options->fullscreenBox->GetRect(), Rect(232, 184, 32, 32));
}

TEST_F(OptionsDialogTest, SlidersChangeTheVolumesWhileDragged) {
    StartGame();
    app->SetMusicVolume(0.5);
    app->SetSfxVolume(0.5);
    OptionsDialog* options = OpenOptions();
    EXPECT_DOUBLE_EQ(options->musicSlider->value, 0.5);
    DragThumb(options->musicSlider.get(), -500);
    EXPECT_DOUBLE_EQ(app->GetMusicVolume(), 0.0);
    DragThumb(options->soundSlider.get(), 39);
    EXPECT_DOUBLE_EQ(app->GetSfxVolume(), options->soundSlider->value);
    EXPECT_GT(app->GetSfxVolume(), 0.5);
    EXPECT_NE(app->GetDialog(2), nullptr);  // no "DONE" needed
}

TEST_F(OptionsDialogTest, DoneWithoutChangesSwitchesNothing) {
    StartGame();
    bool wasWindowed = app->windowed;
    OptionsDialog* options = OpenOptions();
    EXPECT_EQ(options->FullscreenChecked(), !wasWindowed);
    Done(options);
    EXPECT_EQ(app->screenModeSwitches, 0);
    EXPECT_EQ(app->windowed, wasWindowed);
    EXPECT_EQ(app->GetDialog(2), nullptr);
}

// A crash or a kill later in the run must not lose what the player chose.
TEST_F(OptionsDialogTest, DoneWritesTheSettingsAtOnceWithTheRunStillMarkedAsGoing) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    DragThumb(options->musicSlider.get(), -500);
    Done(options);
    ASSERT_FALSE(app->closing);
    auto key = SettingsStore(folder / "config").OpenKey("SOFTWARE\\Zandrel\\Gemlode");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->GetInt("MusicVolume"), 0u);
    EXPECT_EQ(key->GetInt("InProgress"), 1u);
}

TEST_F(OptionsDialogTest, FullscreenAndCursorsApplyOnlyOnDone) {
    StartGame();
    app->windowed = true;
    app->SetCustomCursors(false);
    OptionsDialog* options = OpenOptions();
    ClickCentreOf(options->fullscreenBox.get());
    ClickCentreOf(options->cursorsBox.get());
    EXPECT_TRUE(options->FullscreenChecked());
    EXPECT_EQ(app->screenModeSwitches, 0);
    EXPECT_FALSE(app->customCursors);
    Done(options);
    EXPECT_EQ(app->screenModeSwitches, 1);
    EXPECT_FALSE(app->windowed);
    EXPECT_TRUE(app->customCursors);

    options = OpenOptions();
    ClickCentreOf(options->fullscreenBox.get());  // back to a window
    Done(options);
    EXPECT_EQ(app->screenModeSwitches, 2);
    EXPECT_TRUE(app->windowed);
}

TEST_F(OptionsDialogTest, WindowSizeStepsThroughTheSizesThatFitAndAppliesOnDone) {
    StartGame();
    platform.window.maxWindowScale = 2;
    OptionsDialog* options = OpenOptions();
    EXPECT_EQ(options->windowSizeButton->label, "Window Size: Automatic");
    const char* const steps[] = {"1x (640x480)", "2x (1280x960)", "Automatic", "1x (640x480)"};
    for (const char* size : steps) {
        ClickCentreOf(options->windowSizeButton.get());
        EXPECT_EQ(options->windowSizeButton->label, std::string("Window Size: ") + size);
    }
    EXPECT_EQ(platform.window.windowScale, 0);
    Done(options);
    EXPECT_EQ(platform.window.windowScale, 1);
    EXPECT_EQ(app->windowScale, 1);
    auto key = SettingsStore(folder / "config").OpenKey("SOFTWARE\\Zandrel\\Gemlode");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->GetInt("WindowScale"), 1u);
}

TEST_F(OptionsDialogTest, FullScreenStepsThroughItsThreeChoicesAndAppliesOnDone) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    for (const char* choice : {"Automatic", "Sharp Whole Multiples", "Fill Screen"}) {
        EXPECT_EQ(options->fullScreenButton->label, std::string("Full Screen: ") + choice);
        ClickCentreOf(options->fullScreenButton.get());
    }
    ClickCentreOf(options->fullScreenButton.get());
    ClickCentreOf(options->fullScreenButton.get());
    Done(options);
    EXPECT_EQ(platform.window.fullScreenScaling, FullScreenScaling::Fill);
    auto key = SettingsStore(folder / "config").OpenKey("SOFTWARE\\Zandrel\\Gemlode");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->GetInt("FullScreenScaling"), 2u);
}

TEST_F(OptionsDialogTest, UncheckingFullscreenWhereWindowedFailedIsRefused) {
    StartGame();
    app->windowed = false;
    app->windowedFailed = true;
    OptionsDialog* options = OpenOptions();
    EXPECT_TRUE(options->FullscreenChecked());
    ClickCentreOf(options->fullscreenBox.get());
    EXPECT_TRUE(options->FullscreenChecked());
    Dialog* refusal = app->GetDialog(12);
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(refusal->header, "No Windowed Mode");
    app->ButtonClicked(2012);
    Done(options);
    EXPECT_EQ(app->screenModeSwitches, 0);
    EXPECT_FALSE(app->windowed);
}

TEST_F(OptionsDialogTest, HelpOpensTheInstructions) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    ClickCentreOf(options->helpButton.get());
    Dialog* help = app->GetDialog(12);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->header, "INSTRUCTIONS");
    EXPECT_EQ(help->firstButton->label, "DONE");
    EXPECT_EQ(help->body.rfind("OBJECT OF THE GAME - Swap adjacent gems", 0), 0u);
    EXPECT_NE(help->body.find("\n\nCONTROLS - Just click on a gem"), std::string::npos);
    EXPECT_NE(help->bodyAlignment, 0);
    EXPECT_NE(help->bodyAlignment, 1);
    // At (32, 8) at its preferred height, moved up or cut to the screen's
    // height when the text makes it taller than that leaves room for.
    const int height = std::min(help->GetPreferredHeight(576), 480);
    EXPECT_EQ(help->GetRect(), Rect(32, std::min(8, 480 - height), 576, height));
}

// The text font is small enough that the instructions need no shrinking: the
// dialog at its own height and its DONE button stay on the 480-pixel screen.
TEST_F(OptionsDialogTest, InstructionsFitTheScreenAtTheirOwnHeight) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    ClickCentreOf(options->helpButton.get());
    Dialog* help = app->GetDialog(12);
    ASSERT_NE(help, nullptr);
    EXPECT_LE(help->y + help->GetPreferredHeight(help->width), 480 - 8);
    EXPECT_LE(help->firstButton->y + help->firstButton->height, 480 - 8);
}

TEST_F(OptionsDialogTest, EveryButtonPressClicksOnce) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    app->sounds.clear();
    ClickCentreOf(options->highScoresButton.get());
    EXPECT_EQ(app->sounds, std::vector<int>{12});
    app->ButtonClicked(2013);
    FinishPass();
    app->sounds.clear();
    ClickCentreOf(options->firstButton.get());  // DONE
    EXPECT_EQ(app->sounds, std::vector<int>{12});
}

TEST_F(OptionsDialogTest, SiteAndUpdateButtonsAreReachable) {
    StartGame();
    OptionsDialog* options = OpenOptions();
    EXPECT_EQ(options->siteButton->label, "Visit Zandrel For More Games");
    EXPECT_EQ(options->updateButton->label, "Check for Updates");
    ClickCentreOf(options->siteButton.get());
    ASSERT_EQ(platform.desktop.openedUrls.size(), 1u);
    EXPECT_EQ(platform.desktop.openedUrls[0], "http://www.zandrel.example/");
    app->CloseDialog(10);
    app->updateServer = "http://127.0.0.1:1";  // refused at once; the dialog stays anyway
    ClickCentreOf(options->updateButton.get());
    EXPECT_NE(app->GetDialog(18), nullptr);
}

// A dialog opened over the options dialog and closed again leaves the
// options dialog modal: the game buttons under it take no clicks, and the
// board stays paused until the options dialog closes too.
TEST_F(OptionsDialogTest, OptionsStayModalAfterADialogOpenedFromThemCloses) {
    StartGame();
    for (const int upper : {13, 12}) {
        SCOPED_TRACE(upper);
        OptionsDialog* options = OpenOptions();
        ClickCentreOf(upper == 13 ? options->highScoresButton.get() : options->helpButton.get());
        ASSERT_NE(app->GetDialog(upper), nullptr);
        ClickCentreOf(app->GetDialog(upper)->firstButton.get());  // DONE
        FinishPass();
        EXPECT_EQ(app->GetDialog(upper), nullptr);
        EXPECT_EQ(app->GetWidgetManager()->modalWidget, options);
        Click(96, 162);  // New Game under the still open options dialog
        EXPECT_EQ(app->GetDialog(0), nullptr);
        EXPECT_TRUE(app->GetBoard()->IsPaused());
        Done(options);
        EXPECT_FALSE(app->GetBoard()->IsPaused());
    }
}

}  // namespace
}  // namespace Varn::test
