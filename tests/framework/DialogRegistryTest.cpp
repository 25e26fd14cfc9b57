// The dialog registry: one dialog per id, modal barrier, deferred deletion.
#include <gtest/gtest.h>

#include "TestApp.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

class RegistryApp : public TestApp {
public:
    using TestApp::TestApp;
    Dialog* CreateDialog(int, bool modal, const std::string&, const std::string&,
                         const std::string&, int) override {
        return new CountingDialog(modal, &deletions);
    }
    void ModalDialogOpened() override { ++modalOpened; }
    void ModalDialogsClosed() override { ++modalClosed; }
    int deletions = 0;
    int modalOpened = 0;
    int modalClosed = 0;
};

class DialogRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { app.Init(); }
    WidgetManager& manager() { return *app.GetWidgetManager(); }

    HeadlessPlatform platform;
    RegistryApp app{&platform};
};

TEST_F(DialogRegistryTest, ShowDialogReplacesOpenDialogAndDeletesOldAtEndOfPass) {
    Dialog* first = app.ShowDialog(5, true, "A", "", "", 0);
    Dialog* second = app.ShowDialog(5, true, "B", "", "", 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(app.GetDialog(5), second);
    EXPECT_EQ(app.GetDialogCount(), 1);
    EXPECT_FALSE(manager().HasWidget(first));
    EXPECT_EQ(app.deletions, 0);  // still alive until the pass ends
    app.ProcessFrame(false);
    EXPECT_EQ(app.deletions, 1);
}

TEST_F(DialogRegistryTest, DialogClosingItselfFromButtonHandlerSurvivesTheHandler) {
    struct SelfClosing : CountingDialog {
        SelfClosing(VarnApp* owner, int* deletions) : CountingDialog(true, deletions), app(owner) {}
        void ButtonClicked(int) override {
            app->CloseDialog(7);
            stillAlive = modal;  // touching our own fields after closing must be safe
        }
        VarnApp* app;
        bool stillAlive = false;
    };
    auto* dialog = new SelfClosing(&app, &app.deletions);
    app.AddDialog(7, dialog);
    dialog->ButtonClicked(2007);
    EXPECT_TRUE(dialog->stillAlive);
    EXPECT_EQ(app.deletions, 0);
    app.ProcessFrame(false);
    EXPECT_EQ(app.deletions, 1);
    EXPECT_EQ(app.GetDialog(7), nullptr);
}

TEST_F(DialogRegistryTest, ClosingUpperOfTwoModalDialogsMakesTheLowerModalAgain) {
    Widget below;
    below.Resize(0, 0, 640, 480);
    manager().AddWidget(&below);
    Dialog* lower = app.ShowDialog(1, true, "", "", "", 0);
    lower->Resize(100, 100, 50, 50);
    Dialog* upper = app.ShowDialog(2, true, "", "", "", 0);
    upper->Resize(300, 300, 50, 50);
    EXPECT_EQ(manager().modalWidget, upper);
    app.CloseDialog(2);
    EXPECT_EQ(manager().modalWidget, lower);
    EXPECT_EQ(app.modalOpened, 2);
    EXPECT_EQ(app.modalClosed, 1);
    manager().MouseDown(5, 5, 1);  // the lower dialog still blocks what lies below it
    EXPECT_EQ(manager().pressedWidget, nullptr);
    manager().MouseUp(5, 5);
    app.CloseDialog(1);
    EXPECT_EQ(manager().modalWidget, nullptr);
    manager().MouseDown(5, 5, 1);  // the last one gone, input reaches below again
    EXPECT_EQ(manager().pressedWidget, &below);
    manager().MouseUp(5, 5);
    manager().RemoveWidget(&below);
    app.ProcessFrame(false);
}

TEST_F(DialogRegistryTest, ClosingALowerModalDialogKeepsTheTopOneModal) {
    Dialog* lower = app.ShowDialog(1, true, "", "", "", 0);
    Dialog* upper = app.ShowDialog(2, true, "", "", "", 0);
    app.CloseDialog(1);
    EXPECT_EQ(manager().modalWidget, upper);
    EXPECT_EQ(app.GetModalDialogs(), std::vector<Dialog*>{upper});
    app.CloseDialog(2);
    EXPECT_EQ(manager().modalWidget, nullptr);
    EXPECT_TRUE(app.GetModalDialogs().empty());
    (void)lower;
    app.ProcessFrame(false);
}

TEST_F(DialogRegistryTest, CloseUnknownDialogReturnsFalse) {
    EXPECT_FALSE(app.CloseDialog(42));
    EXPECT_EQ(app.GetDialog(42), nullptr);
}

TEST_F(DialogRegistryTest, NonModalDialogDoesNotBlockInput) {
    Dialog* dialog = app.ShowDialog(3, false, "", "", "", 0);
    EXPECT_EQ(manager().modalWidget, nullptr);
    EXPECT_EQ(app.modalOpened, 0);
    app.CloseDialog(3);
    EXPECT_EQ(app.modalClosed, 0);
    (void)dialog;
}

}  // namespace
}  // namespace Varn::test
