// Dialog: buttons by mode and their ids at the application, stacking with its
// buttons, layout, colour 3 on both labels, text placement, preferred height,
// dragging clamped to the screen, and the default system fonts.
#include <gtest/gtest.h>

#include <algorithm>

#include "ControlTestSupport.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

const Color kGreen(0, 160, 0), kRed(255, 0, 0), kYellow(255, 255, 0), kWhite(255, 255, 255);

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveAll(manager); }
    void SetUp() override { manager.SetScreenSize(640, 480); }
    std::unique_ptr<Dialog> Make(int mode, const std::string& header = "",
                                 const std::string& body = "", const std::string& footer = "") {
        auto dialog = std::make_unique<Dialog>(frame.get(), buttonImage.get(), 10, true, header,
                                               body, footer, mode);
        dialog->SetHeaderFont(&font);
        dialog->SetBodyFont(&font);
        dialog->SetButtonFont(&font);
        return dialog;
    }
    bool Listed(Widget* w) { return manager.HasWidget(w); }

    FakeHost host;
    WidgetManager manager{&host};
    BlockFont font;  // advance 6, ascent 10, line spacing 14, descent 4
    std::unique_ptr<MemoryImage> frame = SolidImage(24, 24, kGreen);
    std::unique_ptr<MemoryImage> buttonImage = SolidImage(30, 20, kRed);
};

TEST_F(DialogTest, ButtonsFollowTheMode) {
    auto yesNo = Make(1);
    EXPECT_EQ(yesNo->firstButton->label, "YES");
    EXPECT_EQ(yesNo->firstButton->id, 2010);
    EXPECT_EQ(yesNo->secondButton->label, "NO");
    EXPECT_EQ(yesNo->secondButton->id, 3010);
    auto okCancel = Make(2);
    EXPECT_EQ(okCancel->firstButton->label, "OK");
    EXPECT_EQ(okCancel->secondButton->label, "CANCEL");
    auto single = Make(3, "", "", "Continue");
    EXPECT_EQ(single->firstButton->label, "Continue");
    EXPECT_EQ(single->secondButton, nullptr);
    for (int mode : {0, 4, -1}) {
        auto none = Make(mode);
        EXPECT_EQ(none->firstButton, nullptr);
        EXPECT_EQ(none->secondButton, nullptr);
    }
}

TEST_F(DialogTest, ButtonsJoinAndLeaveTheManagerWithTheDialog) {
    auto dialog = Make(1);
    manager.AddWidget(dialog.get());
    const auto& list = manager.GetWidgets();
    std::vector<Widget*> order(list.begin(), list.end());
    EXPECT_EQ(order, (std::vector<Widget*>{dialog.get(), dialog->firstButton.get(),
                                           dialog->secondButton.get()}));
    manager.RemoveWidget(dialog.get());
    EXPECT_TRUE(manager.GetWidgets().empty());
}

TEST_F(DialogTest, DeletingAListedDialogTakesItAndItsButtonsOutOfTheList) {
    auto dialog = Make(2);
    manager.AddWidget(dialog.get());
    dialog.reset();
    EXPECT_TRUE(manager.GetWidgets().empty());
}

TEST_F(DialogTest, LayoutPlacesButtonsInScreenCoordinatesAndFollowsMoves) {
    auto two = Make(1);
    two->Resize(100, 50, 300, 200);
    EXPECT_EQ(two->firstButton->GetRect(), Rect(124, 206, 122, 20));
    EXPECT_EQ(two->secondButton->GetRect(), Rect(254, 206, 122, 20));
    two->Move(0, 0);
    EXPECT_EQ(two->firstButton->GetRect(), Rect(24, 156, 122, 20));

    auto one = Make(3, "", "", "Go");
    one->Resize(100, 50, 300, 200);
    EXPECT_EQ(one->firstButton->GetRect(), Rect(124, 206, 252, 20));
}

TEST_F(DialogTest, FooterButtonClickReachesTheApplicationAsIdPlus2000) {
    auto dialog = Make(3, "", "Body", "Fine");
    dialog->Resize(100, 50, 300, 200);
    manager.AddWidget(dialog.get());
    manager.MouseMove(150, 210);
    manager.MouseDown(150, 210, 1);
    manager.MouseUp(150, 210);
    EXPECT_EQ(host.application.events, (std::vector<std::string>{"pressed:2010", "clicked:2010"}));
}

TEST_F(DialogTest, SecondButtonReportsIdPlus3000AndForeignIdsAreIgnored) {
    auto dialog = Make(2);
    dialog->Resize(100, 50, 300, 200);
    manager.AddWidget(dialog.get());
    manager.MouseMove(300, 210);
    manager.MouseDown(300, 210, 1);
    manager.UpdateFrame();
    manager.MouseUp(300, 210);
    dialog->ButtonClicked(77);
    EXPECT_EQ(host.application.events,
              (std::vector<std::string>{"pressed:3010", "held:3010", "clicked:3010"}));
}

TEST_F(DialogTest, ColourThreeRecoloursBothButtonLabels) {
    auto dialog = Make(1);
    dialog->SetColor(3, kYellow);
    EXPECT_EQ(dialog->firstButton->colors[0], kYellow);
    EXPECT_EQ(dialog->secondButton->colors[0], kYellow);
    const int rows[4][4] = {{1, 1, 1, 255}, {2, 2, 2, 255}, {3, 3, 3, 255}, {9, 8, 7, 255}};
    dialog->SetColorsRGBA(rows, 4);
    EXPECT_EQ(dialog->firstButton->colors[0], Color(9, 8, 7));
    EXPECT_EQ(dialog->secondButton->colors[0], Color(9, 8, 7));

    dialog->Resize(0, 0, 200, 100);
    auto canvas = SolidImage(dialog->firstButton->width, 20, Color());
    Graphics g(canvas.get());
    dialog->firstButton->Draw(&g);
    // "YES" is 18 wide in 72: x = 27, baseline (10 + 20 - 1 - 1) / 2 = 14.
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 27, 5), Color(9, 8, 7)));
}

TEST_F(DialogTest, PreferredHeightOfEmptyOkCancelDialogIsInsetsAndButton) {
    EXPECT_EQ(Make(2)->GetPreferredHeight(300), 24 + 24 + 20 + 8);
    EXPECT_EQ(Make(0)->GetPreferredHeight(300), 48);
}

TEST_F(DialogTest, PreferredHeightAddsHeaderBodyFooterAndGaps) {
    // header 14; body 10 + one line (ascent 10 + 14 + descent 4 - 14 = 14);
    // footer 8 + 14; button 8 + 20 + 8.
    EXPECT_EQ(Make(1, "Head", "Body", "Foot")->GetPreferredHeight(300), 48 + 14 + 24 + 22 + 36);
    // In mode 3 the footer is the button's label, not a line of its own.
    EXPECT_EQ(Make(3, "Head", "Body", "Foot")->GetPreferredHeight(300), 48 + 14 + 24 + 36);
    // A body too wide for one line wraps to two: 14 more.
    EXPECT_EQ(Make(0, "", "aaaa bbbb", "")->GetPreferredHeight(48 + 4 + 30), 48 + 14 + 14);
}

TEST_F(DialogTest, DrawsFrameHeaderBodyAndFooterInTheirColours) {
    auto dialog = Make(0, "AB", "Body", "F");
    dialog->Resize(0, 0, 300, 150);
    auto canvas = SolidImage(300, 150, Color());
    Graphics g(canvas.get());
    dialog->Draw(&g);
    auto at = [&](int px, int py) { return PixelAt(*canvas, px, py); };
    EXPECT_TRUE(SameRgb(at(0, 0), kGreen));
    EXPECT_TRUE(SameRgb(at(150, 110), kGreen));
    EXPECT_TRUE(SameRgb(at(299, 149), kGreen));
    // Header "AB" centred: x = 144, baseline 24 + 10, rows 24-33.
    EXPECT_TRUE(SameRgb(at(144, 24), kWhite));
    EXPECT_TRUE(SameRgb(at(144, 23), kGreen));
    // Body from y = 34 + 14 - 10 + 10 = 48, centred in (26, 248): x = 138.
    EXPECT_TRUE(SameRgb(at(138, 48), kYellow));
    EXPECT_TRUE(SameRgb(at(138, 57), kYellow));
    EXPECT_TRUE(SameRgb(at(137, 48), kGreen));
    // Footer at baseline 48 + 14 + 8 + 14 = 84, x = 147: rows 74-83.
    EXPECT_TRUE(SameRgb(at(147, 74), kWhite));
    EXPECT_TRUE(SameRgb(at(147, 83), kWhite));
    EXPECT_TRUE(SameRgb(at(147, 84), kGreen));
}

TEST_F(DialogTest, FooterButtonModeDrawsNoFooterLine) {
    auto dialog = Make(3, "AB", "Body", "F");
    dialog->Resize(0, 0, 300, 150);
    auto canvas = SolidImage(300, 150, Color());
    Graphics g(canvas.get());
    dialog->Draw(&g);
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 147, 74), kGreen));
}

class DialogDragTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        dialog = Make(0, "Drag me");
        dialog->Resize(100, 100, 200, 150);
        manager.AddWidget(dialog.get());
    }
    std::unique_ptr<Dialog> dialog;
};

TEST_F(DialogDragTest, LeftDragAgainstTheLeftEdgeStopsEightPixelsOut) {
    manager.MouseMove(110, 110);
    manager.MouseDown(110, 110, 1);
    EXPECT_EQ(host.LastCursor(), 2);
    manager.MouseDrag(-500, 110);
    EXPECT_EQ(dialog->x, -8);
    EXPECT_EQ(dialog->y, 100);
    // The grab point was pulled in to 8 pixels inside the dialog.
    EXPECT_EQ(dialog->dragAnchorX, 8);
    manager.MouseDrag(50, 110);
    EXPECT_EQ(dialog->x, 42);
    manager.MouseUp(50, 110);
    EXPECT_EQ(host.LastCursor(), 0);
    EXPECT_FALSE(dialog->dragging);
    EXPECT_FALSE(dialog->isDown);
}

TEST_F(DialogDragTest, DragIsClampedAtEveryScreenEdge) {
    manager.MouseDown(200, 200, 1);
    manager.MouseDrag(5000, 5000);
    EXPECT_EQ(dialog->x, 640 + 8 - 200);
    EXPECT_EQ(dialog->y, 480 + 8 - 150);
    EXPECT_EQ(dialog->dragAnchorX, 200 - 9);
    EXPECT_EQ(dialog->dragAnchorY, 150 - 9);
    manager.MouseDrag(-5000, -5000);
    EXPECT_EQ(dialog->x, -8);
    EXPECT_EQ(dialog->y, -8);
}

TEST_F(DialogDragTest, RightPressDoesNotDrag) {
    manager.MouseDown(110, 110, -1);
    manager.MouseDrag(300, 300);
    manager.MouseUp(300, 300);
    EXPECT_EQ(dialog->GetRect(), Rect(100, 100, 200, 150));
    EXPECT_FALSE(dialog->dragging);
}

TEST_F(DialogTest, ModalFlagAndSeeThroughFrame) {
    Dialog modeless(nullptr, nullptr, 1, false, "", "", "", 0);
    EXPECT_FALSE(modeless.IsModal());
    EXPECT_TRUE(Make(0)->IsModal());
    EXPECT_TRUE(modeless.transparent);
    EXPECT_TRUE(modeless.translucent);
    EXPECT_EQ(modeless.colors.size(), 4u);
    EXPECT_EQ(modeless.colors[1], kYellow);
}

TEST_F(DialogTest, DefaultFontsAreTheSystemSansSerif) {
    Dialog plain(nullptr, buttonImage.get(), 1, true, "", "", "", 2);
    Dialog headed(nullptr, buttonImage.get(), 1, true, "Header", "", "", 2);
    // The 14-point bold header line is taller than 14 pixels at 96 dpi.
    EXPECT_GT(headed.GetPreferredHeight(300) - plain.GetPreferredHeight(300), 14);
}

}  // namespace
}  // namespace Varn::test
