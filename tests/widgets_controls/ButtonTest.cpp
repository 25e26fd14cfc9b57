// Buttons: what the listener hears for presses, drags off and back, disabled
// buttons and the right button; which picture is drawn for each state; the
// bevelled look, the label position, the dialog button and the hyperlink.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/DialogButton.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

const Color kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kYellow(255, 255, 0);
const Color kFace(212, 212, 212), kShade(132, 132, 132);

class ButtonInputTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveAll(manager); }
    void SetUp() override {
        button.Resize(10, 10, 100, 30);
        manager.AddWidget(&button);
    }
    FakeHost host;
    WidgetManager manager{&host};
    RecordingButtonListener listener;
    ButtonWidget button{7, &listener};
};

TEST_F(ButtonInputTest, PressMoveOffReleaseReportsPressButNoClickAndNoHeldWhileOff) {
    manager.MouseMove(20, 20);
    manager.MouseDown(20, 20, 1);
    manager.UpdateFrame();
    manager.MouseDrag(300, 200);
    manager.UpdateFrame();
    manager.UpdateFrame();
    manager.MouseUp(300, 200);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"pressed:7", "held:7"}));
}

TEST_F(ButtonInputTest, PressMoveOffAndBackReleaseClicks) {
    manager.MouseMove(20, 20);
    manager.MouseDown(20, 20, 1);
    manager.MouseDrag(300, 200);
    manager.MouseDrag(30, 25);
    manager.UpdateFrame();
    manager.MouseUp(30, 25);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"pressed:7", "held:7", "clicked:7"}));
}

TEST_F(ButtonInputTest, RightButtonPressesAndClicksLikeLeft) {
    manager.MouseMove(20, 20);
    manager.MouseDown(20, 20, -1);
    EXPECT_TRUE(button.IsButtonDown());
    manager.MouseUp(20, 20);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"pressed:7", "clicked:7"}));
}

TEST_F(ButtonInputTest, DisabledButtonReportsNothingEvenWhenCalledDirectly) {
    button.SetDisabled(true);
    ASSERT_TRUE(button.disabled);
    manager.MouseMove(20, 20);
    manager.MouseDown(20, 20, 1);
    manager.MouseUp(20, 20);
    // Calls that bypass the manager's hit test still report nothing.
    button.MouseEnter();
    button.MouseDown(5, 5, 1);
    button.Update();
    button.MouseUp(5, 5);
    EXPECT_TRUE(listener.events.empty());
    EXPECT_FALSE(button.IsButtonDown());
}

TEST_F(ButtonInputTest, HoverRedrawsOnlyWithOverImageOrWhileHeld) {
    button.dirty = false;
    manager.MouseMove(20, 20);
    EXPECT_FALSE(button.dirty) << "plain button needs no redraw on hover";
    manager.MouseMove(300, 200);

    auto over = SolidImage(100, 30, kGreen);
    button.overImage = over.get();
    button.dirty = false;
    manager.MouseMove(20, 20);
    EXPECT_TRUE(button.dirty);
}

// Draws a widget the way the manager does, on a canvas pre-filled with blue.
class ButtonDrawTest : public ::testing::Test {
protected:
    void Render(Widget& w) {
        canvas = SolidImage(w.width, w.height, kBlue);
        Graphics g(canvas.get());
        w.Draw(&g);
    }
    Color At(int px, int py) { return PixelAt(*canvas, px, py); }

    RecordingButtonListener listener;
    std::unique_ptr<MemoryImage> canvas;
    std::unique_ptr<MemoryImage> normal = SolidImage(40, 20, kGreen);
    std::unique_ptr<MemoryImage> down = SolidImage(40, 20, kRed);
    std::unique_ptr<MemoryImage> disabledPicture = SolidImage(40, 20, kYellow);
};

TEST_F(ButtonDrawTest, ButtonWithOnlyDownImageDrawsNothingUntilPressed) {
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 40, 20);
    button.downImage = down.get();
    Render(button);
    EXPECT_TRUE(SameRgb(At(5, 5), kBlue));
    button.isDown = button.isOver = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(5, 5), kRed));
}

TEST_F(ButtonDrawTest, PressedWithoutDownImageShiftsNormalImageByOnePixel) {
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 40, 20);
    button.normalImage = normal.get();
    button.isDown = button.isOver = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(0, 0), kBlue));
    EXPECT_TRUE(SameRgb(At(1, 1), kGreen));
}

TEST_F(ButtonDrawTest, InvertedFlagDrawsPressedWhileIdleAndRaisedWhileHeld) {
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 40, 20);
    button.normalImage = normal.get();
    button.downImage = down.get();
    button.inverted = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(5, 5), kRed));
    button.isDown = button.isOver = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(5, 5), kGreen));
}

TEST_F(ButtonDrawTest, DisabledButtonDrawsItsDisabledImage) {
    FakeHost host;
    WidgetManager manager(&host);
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 40, 20);
    button.normalImage = normal.get();
    button.disabledImage = disabledPicture.get();
    manager.AddWidget(&button);
    button.dirty = false;
    button.SetDisabled(true);
    EXPECT_TRUE(button.dirty);
    Render(button);
    EXPECT_TRUE(SameRgb(At(5, 5), kYellow));
    manager.RemoveWidget(&button);
}

TEST_F(ButtonDrawTest, NotDrawnButtonLeavesTheScreenAlone) {
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 40, 20);
    button.notDrawn = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(0, 0), kBlue));
    EXPECT_TRUE(SameRgb(At(20, 10), kBlue));
}

TEST_F(ButtonDrawTest, BevelledLookRaisedAndPressed) {
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 40, 20);
    Render(button);
    EXPECT_TRUE(SameRgb(At(0, 0), Color::White));
    EXPECT_TRUE(SameRgb(At(39, 19), Color::Black));
    EXPECT_TRUE(SameRgb(At(5, 18), kShade));
    EXPECT_TRUE(SameRgb(At(38, 5), kShade));
    EXPECT_TRUE(SameRgb(At(20, 10), kFace));

    button.isDown = button.isOver = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(0, 0), Color::Black));
    EXPECT_TRUE(SameRgb(At(39, 19), Color::White));
    EXPECT_TRUE(SameRgb(At(1, 1), kShade));
    EXPECT_TRUE(SameRgb(At(5, 18), kFace));
}

TEST_F(ButtonDrawTest, LabelIsCentredAndMovesOnePixelWhenPressed) {
    // Block glyphs 6 wide with a 5-pixel bar, ascent 10: "AB" is 12 wide, so
    // x = (100 - 12) / 2 = 44 and the baseline (10 + 30 - 1 - 1) / 2 = 19.
    BlockFont font;
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 100, 30);
    button.label = "AB";
    button.SetFont(&font);
    Render(button);
    EXPECT_TRUE(SameRgb(At(44, 9), Color::Black));
    EXPECT_TRUE(SameRgb(At(44, 18), Color::Black));
    EXPECT_TRUE(SameRgb(At(43, 9), kFace));
    EXPECT_TRUE(SameRgb(At(44, 8), kFace));
    button.isDown = button.isOver = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(44, 9), kFace));
    EXPECT_TRUE(SameRgb(At(45, 10), Color::Black));
}

TEST_F(ButtonDrawTest, ImageButtonLabelUsesColourEntryZero) {
    BlockFont font;
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 40, 20);
    button.normalImage = normal.get();
    button.label = "A";
    button.SetFont(&font);
    button.SetColor(0, kRed);
    Render(button);
    // x = (40 - 6) / 2 = 17, baseline (10 + 20 - 1 - 1) / 2 = 14.
    EXPECT_TRUE(SameRgb(At(17, 5), kRed));
    EXPECT_TRUE(SameRgb(At(2, 2), kGreen));
}

TEST_F(ButtonDrawTest, DialogButtonDrawsFrameAndWhiteLabelShiftedWhileHeld) {
    BlockFont font;
    auto frame = SolidImage(9, 9, kGreen);
    DialogButton button(frame.get(), 1, &listener);
    EXPECT_TRUE(button.fingerOnHover);
    button.Resize(0, 0, 40, 20);
    button.label = "A";
    button.SetFont(&font);
    Render(button);
    EXPECT_TRUE(SameRgb(At(0, 0), kGreen));
    EXPECT_TRUE(SameRgb(At(39, 19), kGreen));
    EXPECT_TRUE(SameRgb(At(17, 5), Color::White));
    button.isDown = button.isOver = true;
    Render(button);
    EXPECT_TRUE(SameRgb(At(0, 0), kBlue)) << "the frame moves one pixel right and down";
    EXPECT_TRUE(SameRgb(At(18, 6), Color::White));
    EXPECT_TRUE(SameRgb(At(17, 5), kGreen));
}

TEST_F(ButtonDrawTest, HyperlinkUnderlinesInItsColourAndSwitchesColourOnHover) {
    BlockFont font;
    HyperlinkWidget link(3, &listener);
    link.Resize(0, 0, 40, 20);
    link.label = "A";
    link.SetFont(&font);
    link.color = kRed;
    link.overColor = kYellow;
    Render(link);
    // x = 17, baseline (10 + 20) / 2 - 1 = 14, underline at row 17, 6 wide.
    EXPECT_TRUE(SameRgb(At(17, 4), kRed));
    EXPECT_TRUE(SameRgb(At(17, 17), kRed));
    EXPECT_TRUE(SameRgb(At(22, 17), kRed));
    EXPECT_TRUE(SameRgb(At(23, 17), kBlue));
    EXPECT_TRUE(SameRgb(At(17, 16), kBlue));
    link.isOver = true;
    Render(link);
    EXPECT_TRUE(SameRgb(At(17, 17), kYellow));
    link.underline = false;
    Render(link);
    EXPECT_TRUE(SameRgb(At(17, 17), kBlue));
}

TEST(HyperlinkInputTest, HoverShowsFingerAndRedraws) {
    FakeHost host;
    WidgetManager manager(&host);
    RecordingButtonListener listener;
    HyperlinkWidget link(3, &listener);
    link.Resize(0, 0, 40, 20);
    manager.AddWidget(&link);
    link.dirty = false;
    manager.MouseMove(5, 5);
    EXPECT_TRUE(link.dirty);
    EXPECT_EQ(host.LastCursor(), 1);
    manager.MouseDown(5, 5, 1);
    manager.MouseUp(5, 5);
    manager.MouseMove(100, 100);
    EXPECT_EQ(host.LastCursor(), 0);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"pressed:3", "clicked:3"}));
    manager.RemoveWidget(&link);
}

}  // namespace
}  // namespace Varn::test
