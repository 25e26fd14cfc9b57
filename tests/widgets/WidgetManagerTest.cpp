// The widget manager: dirty marking, the update pass under removal, hit
// testing with the modal barrier and disabled widgets, press/drag/hover,
// keyboard focus and the software cursor.
#include <gtest/gtest.h>

#include <string>

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/CursorWidget.h"
#include "widgets/Widget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn {
namespace {

struct FakeHost : WidgetHost {
    void SetCursorKind(int kind) override { cursorKind = kind; }
    void CopyToClipboard(const std::string&) override {}
    std::string GetClipboardText() override { return {}; }
    void SafeDelete(Widget*) override {}
    ButtonListener* GetButtonListener() override { return nullptr; }
    int cursorKind = 0;
};

struct Probe : Widget {
    Probe(int px, int py, int w, int h, std::string* sharedLog = nullptr, std::string tag = "")
        : log(sharedLog), name(std::move(tag)) {
        x = px;
        y = py;
        width = w;
        height = h;
    }
    void Note(const std::string& what) {
        if (log) *log += name + ":" + what + " ";
    }
    void MouseEnter() override {
        Widget::MouseEnter();
        Note("enter");
    }
    void MouseLeave() override {
        Widget::MouseLeave();
        Note("leave");
    }
    void MouseDown(int, int, int code) override { Note("down" + std::to_string(code)); }
    void MouseUp(int, int) override { Note("up"); }
    void MouseDrag(int, int) override { Note("drag"); }
    void Update() override {
        Widget::Update();
        Note("update");
        if (onUpdate) onUpdate();
    }
    void Draw(Graphics* g) override {
        ++draws;
        clip = g->GetClipRect();
    }
    bool WantsFocus() override { return wantsFocus; }
    void GotFocus() override {
        Widget::GotFocus();
        Note("focus");
    }
    std::string* log;
    std::string name;
    std::function<void()> onUpdate;
    int draws = 0;
    Rect clip;
    bool wantsFocus = false;
};

class WidgetManagerTest : public ::testing::Test {
protected:
    void Clean(std::initializer_list<Widget*> list) {
        for (Widget* w : list) w->dirty = false;
    }
    FakeHost host;
    WidgetManager manager{&host};
    std::string log;
};

TEST_F(WidgetManagerTest, HidingOverOpaqueBackdropMarksOnlyBackdrop) {
    Probe bottom(0, 0, 640, 480), backdrop(0, 0, 640, 480), button(10, 10, 50, 20);
    for (Widget* w : {(Widget*)&bottom, (Widget*)&backdrop, (Widget*)&button}) manager.AddWidget(w);
    Clean({&bottom, &backdrop, &button});
    button.SetVisible(false);
    EXPECT_TRUE(backdrop.dirty);
    EXPECT_FALSE(bottom.dirty);
}

TEST_F(WidgetManagerTest, ShowingMarksItselfAndOverlappingAboveButNothingBelow) {
    Probe below(0, 0, 100, 100), shown(10, 10, 20, 20), above(15, 15, 20, 20),
        apart(200, 200, 5, 5);
    for (Widget* w : {(Widget*)&below, (Widget*)&shown, (Widget*)&above, (Widget*)&apart})
        manager.AddWidget(w);
    shown.SetVisible(false);
    Clean({&below, &shown, &above, &apart});
    shown.SetVisible(true);
    EXPECT_TRUE(shown.dirty);
    EXPECT_TRUE(above.dirty);
    EXPECT_FALSE(below.dirty);
    EXPECT_FALSE(apart.dirty);
}

TEST_F(WidgetManagerTest, TranslucentWidgetRedrawsWhatLiesBeneath) {
    Probe below(0, 0, 100, 100), glass(10, 10, 20, 20);
    glass.translucent = true;
    manager.AddWidget(&below);
    manager.AddWidget(&glass);
    Clean({&below, &glass});
    glass.MarkDirty();
    EXPECT_TRUE(below.dirty);
}

TEST_F(WidgetManagerTest, DisabledWidgetHidesWidgetsBeneathFromPointer) {
    Probe beneath(0, 0, 100, 100), blocker(0, 0, 50, 50);
    manager.AddWidget(&beneath);
    manager.AddWidget(&blocker);
    blocker.SetDisabled(true);
    EXPECT_EQ(manager.GetWidgetAt(10, 10), nullptr);
    EXPECT_EQ(manager.GetWidgetAt(70, 70), &beneath);
}

TEST_F(WidgetManagerTest, ModalBarrierBlocksClicksBelowOnly) {
    Probe below(0, 0, 640, 480, &log, "below"), modal(100, 100, 100, 100, &log, "modal"),
        above(300, 300, 10, 10, &log, "above");
    manager.AddWidget(&below);
    manager.AddWidget(&modal);
    manager.AddWidget(&above);
    manager.SetModalWidget(&modal);
    EXPECT_EQ(manager.GetWidgetAt(5, 5), nullptr);
    EXPECT_EQ(manager.GetWidgetAt(150, 150), &modal);
    EXPECT_EQ(manager.GetWidgetAt(305, 305), &above);
}

TEST_F(WidgetManagerTest, SettingModalReleasesHoverPressAndFocusBelow) {
    Probe below(0, 0, 640, 480, &log, "below"), modal(100, 100, 10, 10, &log, "modal");
    below.wantsFocus = true;
    manager.AddWidget(&below);
    manager.MouseDown(5, 5, 1);
    manager.AddWidget(&modal);
    log.clear();
    manager.SetModalWidget(&modal);
    EXPECT_EQ(log, "below:leave below:up ");
    EXPECT_EQ(manager.focusWidget, nullptr);
    EXPECT_EQ(manager.pressedWidget, nullptr);
}

TEST_F(WidgetManagerTest, WidgetRemovingItselfDuringUpdateDoesNotStopThePass) {
    Probe first(0, 0, 1, 1, &log, "a"), second(0, 0, 1, 1, &log, "b"), third(0, 0, 1, 1, &log, "c");
    manager.AddWidget(&first);
    manager.AddWidget(&second);
    manager.AddWidget(&third);
    second.onUpdate = [&] { manager.RemoveWidget(&second); };
    manager.UpdateFrame();
    EXPECT_EQ(log, "a:update b:update c:update ");
}

TEST_F(WidgetManagerTest, UpdatePassSurvivesRemovalAdditionAndReordering) {
    Probe first(0, 0, 1, 1, &log, "a"), second(0, 0, 1, 1, &log, "b"), third(0, 0, 1, 1, &log, "c"),
        added(0, 0, 1, 1, &log, "d");
    manager.AddWidget(&first);
    manager.AddWidget(&second);
    manager.AddWidget(&third);
    first.onUpdate = [&] {
        manager.RemoveWidget(&second);
        manager.BringToFront(&first);
        manager.AddWidget(&added);
    };
    manager.UpdateFrame();
    EXPECT_EQ(log, "a:update c:update d:update ");
}

TEST_F(WidgetManagerTest, PressDragOutAndBackThenReleaseElsewhere) {
    Probe pressed(0, 0, 50, 50, &log, "p"), other(100, 0, 50, 50, &log, "o");
    manager.AddWidget(&pressed);
    manager.AddWidget(&other);
    manager.MouseMove(10, 10);
    manager.MouseDown(10, 10, 1);
    manager.MouseDrag(20, 20);
    manager.MouseDrag(120, 20);  // outside
    manager.MouseDrag(20, 20);   // back inside
    manager.MouseDrag(120, 20);
    manager.MouseUp(120, 20);
    EXPECT_EQ(log,
              "p:enter p:down1 p:drag p:drag p:leave p:drag p:enter p:drag p:leave p:up o:enter ");
    EXPECT_EQ(manager.hoverWidget, &other);
}

TEST_F(WidgetManagerTest, RightPressDeliversClickCodeMinusOne) {
    Probe target(0, 0, 50, 50, &log, "t");
    manager.AddWidget(&target);
    manager.MouseDown(5, 5, -1);
    manager.MouseUp(5, 5);
    EXPECT_EQ(log, "t:enter t:down-1 t:up ");
}

TEST_F(WidgetManagerTest, ShiftTabMovesFocusToPreviousAndControlTabCharIsSwallowed) {
    struct CharProbe : Probe {
        using Probe::Probe;
        void KeyChar(char ch) override { chars += ch; }
        std::string chars;
    };
    CharProbe first(0, 0, 10, 10), second(20, 0, 10, 10);
    manager.AddWidget(&first);
    manager.AddWidget(&second);
    second.tabPrev = &first;
    manager.SetFocus(&second);
    manager.KeyDown(16);
    manager.KeyDown(9);
    EXPECT_EQ(manager.focusWidget, &first);
    manager.KeyUp(16);
    manager.KeyDown(17);
    manager.KeyChar('\t');
    manager.KeyChar('x');
    EXPECT_EQ(first.chars, "x");
}

TEST_F(WidgetManagerTest, SoftwareCursorStaysOnTopWhenWidgetsAreAdded) {
    MemoryImage cursorImage(nullptr);
    cursorImage.Create(32, 32);
    manager.SetCursorImage(&cursorImage);
    Probe late(0, 0, 10, 10);
    manager.AddWidget(&late);
    manager.BringToFront(&late);
    EXPECT_EQ(manager.GetWidgets().back(), manager.cursorWidget.get());
    manager.MouseMove(100, 50);
    EXPECT_EQ(manager.cursorWidget->x, 84);
    EXPECT_EQ(manager.cursorWidget->y, 34);
    EXPECT_EQ(manager.GetWidgetAt(100, 50), nullptr);  // the cursor never catches the pointer
}

TEST_F(WidgetManagerTest, DrawingPassDrawsDirtyVisibleWidgetsOnce) {
    MemoryImage screen(nullptr);
    screen.Create(640, 480);
    manager.SetScreenImage(&screen);
    Probe shown(0, 0, 10, 10), hidden(0, 0, 10, 10);
    manager.AddWidget(&shown);
    manager.AddWidget(&hidden);
    hidden.visible = false;
    EXPECT_TRUE(manager.DrawScreen());
    EXPECT_FALSE(manager.DrawScreen());
    EXPECT_EQ(shown.draws, 1);
    EXPECT_EQ(hidden.draws, 0);
    EXPECT_TRUE(hidden.dirty);  // drawn once it becomes visible
}

class AreaMarkTest : public WidgetManagerTest {
protected:
    void SetUp() override {
        screen.Create(640, 480);
        manager.SetScreenImage(&screen);
        for (Widget* w : {(Widget*)&board, (Widget*)&over, (Widget*)&apart}) manager.AddWidget(w);
        manager.DrawScreen();
        board.draws = over.draws = apart.draws = 0;
    }
    MemoryImage screen{nullptr};
    Probe board{0, 0, 640, 480}, over{100, 100, 50, 50}, apart{400, 400, 20, 20};
};

TEST_F(AreaMarkTest, DrawsTheWidgetAndTheWidgetsAboveOnlyInsideTheArea) {
    board.MarkAreaDirty(Rect(90, 110, 20, 10));
    EXPECT_FALSE(board.dirty);
    EXPECT_TRUE(manager.DrawScreen());
    EXPECT_EQ(board.draws, 1);
    EXPECT_EQ(board.clip, Rect(90, 110, 20, 10));
    EXPECT_EQ(over.draws, 1);
    EXPECT_EQ(over.clip, Rect(100, 110, 10, 10));
    EXPECT_EQ(apart.draws, 0);
    EXPECT_FALSE(manager.DrawScreen());
}

TEST_F(AreaMarkTest, FullMarkBeforeOrAfterWins) {
    board.MarkAreaDirty(Rect(10, 10, 5, 5));
    board.MarkDirty();
    manager.DrawScreen();
    EXPECT_EQ(board.clip, Rect(0, 0, 640, 480));
    board.MarkDirty();
    board.MarkAreaDirty(Rect(10, 10, 5, 5));
    manager.DrawScreen();
    EXPECT_EQ(board.clip, Rect(0, 0, 640, 480));
}

TEST_F(AreaMarkTest, SecondAreaOutsideTheFirstGrowsTheMarkToHoldBoth) {
    board.MarkAreaDirty(Rect(10, 10, 5, 5));
    board.MarkAreaDirty(Rect(11, 11, 2, 2));  // inside: nothing more
    EXPECT_EQ(board.dirtyArea, Rect(10, 10, 5, 5));
    board.MarkAreaDirty(Rect(120, 120, 5, 5));
    EXPECT_FALSE(board.dirty);
    manager.DrawScreen();
    EXPECT_EQ(board.clip, Rect(10, 10, 115, 115));
    EXPECT_EQ(over.clip, Rect(100, 100, 25, 25));  // lies only in the grown part
}

// A see-through widget's part is redrawn beneath it first, down to the first widget
// that covers the part and lets nothing through; nothing else is redrawn.
TEST_F(AreaMarkTest, TranslucentWidgetRedrawsOnlyItsPartAndWhatLiesBeneathIt) {
    Probe middle{90, 90, 100, 100}, top{80, 80, 200, 200};
    middle.translucent = true;
    top.translucent = true;
    manager.AddWidget(&middle);
    manager.AddWidget(&top);
    manager.DrawScreen();
    board.draws = over.draws = middle.draws = top.draws = 0;
    top.MarkAreaDirty(Rect(30, 30, 10, 10));  // screen (110, 110, 10, 10)
    manager.DrawScreen();
    for (Probe* p : {&over, &middle, &top}) {
        EXPECT_EQ(p->draws, 1);
        EXPECT_EQ(p->clip, Rect(110, 110, 10, 10));
    }
    EXPECT_EQ(board.draws, 0);  // the opaque widget above it covers the part
    EXPECT_EQ(apart.draws, 0);
}

TEST_F(AreaMarkTest, TranslucentWidgetFallsBackToAFullMarkWhenBeneathHasAnotherArea) {
    over.translucent = true;
    board.MarkAreaDirty(Rect(300, 300, 5, 5));
    over.MarkAreaDirty(Rect(5, 5, 5, 5));
    manager.DrawScreen();
    EXPECT_EQ(over.clip, Rect(100, 100, 50, 50));
    EXPECT_EQ(board.clip, Rect(0, 0, 640, 480));
}

TEST_F(AreaMarkTest, OverlayIsRedrawnWholeAfterAnAreaBeneathIt) {
    Probe cursor{100, 100, 20, 20};
    cursor.overlay = true;
    manager.AddWidget(&cursor);
    manager.DrawScreen();
    cursor.draws = 0;
    board.MarkAreaDirty(Rect(300, 300, 5, 5));
    manager.DrawScreen();
    EXPECT_EQ(cursor.draws, 1);
    EXPECT_EQ(cursor.clip, Rect(100, 100, 20, 20));
}

TEST_F(WidgetManagerTest, EnablingUnderRestingPointerHovers) {
    Probe target(0, 0, 50, 50, &log, "t");
    manager.AddWidget(&target);
    target.SetDisabled(true);
    manager.MouseMove(10, 10);
    EXPECT_EQ(manager.hoverWidget, nullptr);
    target.SetDisabled(false);
    EXPECT_EQ(manager.hoverWidget, &target);
}

TEST_F(WidgetManagerTest, FingerCursorFollowsHoverOfFingerWidgets) {
    Probe link(0, 0, 50, 50);
    link.fingerOnHover = true;
    manager.AddWidget(&link);
    manager.MouseMove(5, 5);
    EXPECT_EQ(host.cursorKind, 1);
    manager.MouseExit();
    EXPECT_EQ(host.cursorKind, 0);
}

}  // namespace
}  // namespace Varn
