// EditWidget: typing over a selection, undo groups and redo, selection with
// Shift, clipboard cut/copy/paste, limits, word jumps, the caret blink, mouse
// placement, scrolling and the inverted drawing of caret and selection.
#include <gtest/gtest.h>

#include <cctype>

#include "ControlTestSupport.h"
#include "widgets/EditListener.h"
#include "widgets/EditWidget.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

constexpr int kShift = 16, kControl = 17, kBackspace = 8, kEnter = 13, kEnd = 35, kHome = 36,
              kLeft = 37, kRight = 39, kDelete = 46;

struct RecordingEditListener : EditListener {
    void EditWidgetText(int id, const std::string& text) override {
        entered.push_back(std::to_string(id) + ":" + text);
    }
    std::vector<std::string> entered;
};

class EditWidgetTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveAll(manager); }
    void SetUp() override {
        edit.SetFont(&font);
        edit.Resize(0, 0, 200, 20);
        manager.AddWidget(&edit);
        manager.SetFocus(&edit);
    }
    // What the window delivers for one key stroke: key down, its character
    // (if any), key up.
    void Stroke(int keyCode, char ch) {
        manager.KeyDown(keyCode);
        if (ch) manager.KeyChar(ch);
        manager.KeyUp(keyCode);
    }
    void Type(const std::string& text) {
        for (char c : text) {
            int code = std::isalnum(static_cast<unsigned char>(c))
                           ? std::toupper(static_cast<unsigned char>(c))
                           : (c == ' ' ? 32 : 222);
            Stroke(code, c);
        }
    }
    void Press(int keyCode) { Stroke(keyCode, 0); }
    // Ctrl+letter: the character is the letter's position in the alphabet.
    void Control(char letter) {
        manager.KeyDown(kControl);
        Stroke(letter, static_cast<char>(letter - 'A' + 1));
        manager.KeyUp(kControl);
    }
    void ControlKey(int keyCode) {
        manager.KeyDown(kControl);
        Press(keyCode);
        manager.KeyUp(kControl);
    }
    void ShiftKey(int keyCode, int times = 1) {
        manager.KeyDown(kShift);
        for (int i = 0; i < times; ++i) Press(keyCode);
        manager.KeyUp(kShift);
    }

    FakeHost host;
    WidgetManager manager{&host};
    BlockFont font{6, 10, 14, "#"};  // '#' has no glyph
    RecordingEditListener listener;
    EditWidget edit{5, &listener};
};

TEST_F(EditWidgetTest, TypingAfterSetTextReplacesTheWholeText) {
    edit.SetText("hello");
    Type("A");
    EXPECT_EQ(edit.text, "A");
    EXPECT_EQ(edit.cursor, 1);
}

TEST_F(EditWidgetTest, DigitsSpacesAndZAlsoReplaceTheTextSetFromOutside) {
    for (const char* typed : {"1", " ", "z"}) {
        edit.SetText("hello");
        Type(typed);
        EXPECT_EQ(edit.text, typed);
    }
}

TEST_F(EditWidgetTest, ThreeTypedLettersAreUndoneAtOnceAndRedone) {
    edit.SetText("go");
    Press(kEnd);
    Type("abc");
    ASSERT_EQ(edit.text, "goabc");
    Control('Z');
    EXPECT_EQ(edit.text, "go");
    EXPECT_EQ(edit.cursor, 2);
    Control('Z');
    EXPECT_EQ(edit.text, "goabc");
    EXPECT_EQ(edit.cursor, 5);
}

TEST_F(EditWidgetTest, TypingAfterUndoStartsANewUndoStep) {
    Type("abc");
    Control('Z');
    Type("x");
    Control('Z');
    EXPECT_EQ(edit.text, "");
}

TEST_F(EditWidgetTest, FirstEditAfterSetTextIsUndoableAnywhere) {
    edit.SetText("hello");
    Press(kHome);
    Press(kRight);
    Type("x");
    ASSERT_EQ(edit.text, "hxello");
    Control('Z');
    EXPECT_EQ(edit.text, "hello");
}

TEST_F(EditWidgetTest, RunOfBackspacesOrDeletesIsOneUndoStep) {
    edit.SetText("abcdef");
    Press(kEnd);
    Press(kBackspace);
    Press(kBackspace);
    EXPECT_EQ(edit.text, "abcd");
    Control('Z');
    EXPECT_EQ(edit.text, "abcdef");

    Press(kHome);
    Press(kDelete);
    Press(kDelete);
    EXPECT_EQ(edit.text, "cdef");
    Control('Z');
    EXPECT_EQ(edit.text, "abcdef");
}

TEST_F(EditWidgetTest, ShiftLeftThreeTimesThenCtrlXCutsTheLastThreeLetters) {
    edit.SetText("hello");
    Press(kEnd);
    ShiftKey(kLeft, 3);
    EXPECT_EQ(edit.cursor, 2);
    EXPECT_EQ(edit.highlight, 5);
    Control('X');
    EXPECT_EQ(edit.text, "he");
    EXPECT_EQ(edit.cursor, 2);
    EXPECT_EQ(host.clipboard, "llo");
    Control('Z');
    EXPECT_EQ(edit.text, "hello");
}

TEST_F(EditWidgetTest, CtrlCCopiesAndKeepsTheSelection) {
    edit.SetText("word");
    Control('C');
    EXPECT_EQ(host.clipboard, "word");
    EXPECT_EQ(edit.highlight, 0);
    EXPECT_EQ(edit.cursor, 4);
    Type("x");
    EXPECT_EQ(edit.text, "x");
}

TEST_F(EditWidgetTest, PasteDropsLineBreaksControlsAndUndrawableCharacters) {
    host.clipboard = "a\r\nb\nc\t#d";
    Control('V');
    EXPECT_EQ(edit.text, "abcd");
    EXPECT_EQ(edit.cursor, 4);
    Control('Z');
    EXPECT_EQ(edit.text, "");
}

TEST_F(EditWidgetTest, PasteReplacesTheSelection) {
    edit.SetText("old");
    host.clipboard = "new";
    Control('V');
    EXPECT_EQ(edit.text, "new");
    EXPECT_FALSE(edit.highlight != -1 && edit.highlight != edit.cursor);
}

TEST_F(EditWidgetTest, MaxCharactersRefusesFurtherTypingWithoutCuttingText) {
    edit.maxChars = 3;
    Type("abcd");
    EXPECT_EQ(edit.text, "abc");
    Press(kHome);
    Type("x");
    EXPECT_EQ(edit.text, "abc") << "the existing last letter must not be pushed out";
    host.clipboard = "12345";
    Press(kEnd);
    Press(kBackspace);
    Control('V');
    EXPECT_EQ(edit.text, "ab1");
}

TEST_F(EditWidgetTest, MaxPixelsKeepsTheTextWithinItsWidth) {
    edit.maxPixels = 20;  // three 6-pixel letters fit, four do not
    Type("abcd");
    EXPECT_EQ(edit.text, "abc");
    edit.SetText("");
    host.clipboard = std::string(1 << 20, 'q');  // a huge paste is cut, not crawled
    Control('V');
    EXPECT_EQ(edit.text, "qqq");
}

TEST_F(EditWidgetTest, CtrlLeftAndRightJumpByWords) {
    edit.SetText("ab cd");
    Press(kEnd);
    ControlKey(kLeft);
    EXPECT_EQ(edit.cursor, 3);
    ControlKey(kLeft);
    EXPECT_EQ(edit.cursor, 0);
    ControlKey(kRight);
    EXPECT_EQ(edit.cursor, 3);
    ControlKey(kRight);
    EXPECT_EQ(edit.cursor, 5);
}

TEST_F(EditWidgetTest, ArrowsCollapseASelectionToItsEnds) {
    edit.SetText("hello");
    Press(kLeft);
    EXPECT_EQ(edit.cursor, 0);
    edit.SetText("hello");
    edit.cursor = 1;
    edit.highlight = 4;
    Press(kRight);
    EXPECT_EQ(edit.cursor, 4);
    EXPECT_EQ(edit.highlight, -1);
}

TEST_F(EditWidgetTest, HoldingShiftWhileTypingCapitalsKeepsEveryLetter) {
    manager.KeyDown(kShift);
    Type("AB");
    manager.KeyUp(kShift);
    Type("c");
    EXPECT_EQ(edit.text, "ABc");
}

TEST_F(EditWidgetTest, KeysThatDoNothingLeaveTheSelectionAlone) {
    edit.SetText("keep");
    Press(112);  // F1
    Press(kControl);
    EXPECT_EQ(edit.highlight, 0);
    EXPECT_EQ(edit.cursor, 4);
}

TEST_F(EditWidgetTest, EnterReportsTheText) {
    Type("name");
    Stroke(kEnter, '\r');
    EXPECT_EQ(listener.entered, (std::vector<std::string>{"5:name"}));
    EXPECT_EQ(edit.text, "name");
}

TEST_F(EditWidgetTest, CaretFlipsEveryFortyOneUpdatesWhileFocused) {
    EXPECT_TRUE(edit.caretVisible);
    for (int i = 0; i < 40; ++i) manager.UpdateFrame();
    EXPECT_TRUE(edit.caretVisible);
    manager.UpdateFrame();
    EXPECT_FALSE(edit.caretVisible);
    for (int i = 0; i < 41; ++i) manager.UpdateFrame();
    EXPECT_TRUE(edit.caretVisible);
    manager.SetFocus(nullptr);
    EXPECT_FALSE(edit.caretVisible);
    for (int i = 0; i < 100; ++i) manager.UpdateFrame();
    EXPECT_FALSE(edit.caretVisible);
}

TEST_F(EditWidgetTest, MovingTheCaretRestartsTheBlinkVisible) {
    edit.SetText("abc");
    for (int i = 0; i < 41; ++i) manager.UpdateFrame();
    ASSERT_FALSE(edit.caretVisible);
    Press(kLeft);
    EXPECT_TRUE(edit.caretVisible);
    EXPECT_EQ(edit.blinkCounter, 0);
}

TEST_F(EditWidgetTest, GetCharAtSnapsToTheNearerEdgePlusSlack) {
    edit.SetText("abcd");
    EXPECT_EQ(edit.GetCharAt(7, 5), 0);
    EXPECT_EQ(edit.GetCharAt(8, 5), 1);
    EXPECT_EQ(edit.GetCharAt(13, 5), 1);
    EXPECT_EQ(edit.GetCharAt(14, 5), 2);
    EXPECT_EQ(edit.GetCharAt(150, 5), 4);
}

TEST_F(EditWidgetTest, PressPlacesTheCaretAndDragSelects) {
    edit.SetText("abcdef");
    manager.MouseMove(8, 5);
    EXPECT_EQ(host.LastCursor(), 3);
    manager.MouseDown(8, 5, 1);
    EXPECT_EQ(edit.cursor, 1);
    EXPECT_EQ(edit.highlight, -1);
    manager.MouseDrag(26, 5);
    EXPECT_EQ(edit.highlight, 1);
    EXPECT_EQ(edit.cursor, 4);
    manager.MouseUp(26, 5);
    Control('C');
    EXPECT_EQ(host.clipboard, "bcd");
    manager.MouseMove(300, 300);
    EXPECT_EQ(host.LastCursor(), 0);
}

TEST_F(EditWidgetTest, NarrowFieldScrollsToKeepTheCaretInView) {
    edit.Resize(0, 0, 40, 20);  // caret must stay left of 40 - 8
    Type("abcdefghijkl");
    EXPECT_GT(edit.scroll, 0);
    EXPECT_LT((edit.cursor - edit.scroll) * 6, 32);
    Press(kHome);
    EXPECT_EQ(edit.scroll, 0);
    // Clicking left of the first visible letter lands on it, not on the start.
    Press(kEnd);
    int firstVisible = edit.scroll;
    manager.MouseDown(1, 5, 1);
    EXPECT_EQ(edit.cursor, firstVisible);
}

TEST_F(EditWidgetTest, TooNarrowFieldDoesNotScrollForever) {
    edit.Resize(0, 0, 4, 20);
    Type("abcdef");
    EXPECT_EQ(edit.text, "abcdef");
    EXPECT_LE(edit.scroll, edit.cursor);
}

TEST_F(EditWidgetTest, SeeThroughFillRedrawsWhatLiesBeneath) {
    struct Beneath : Widget {};
    Beneath below;
    below.Resize(0, 0, 300, 100);
    manager.AddWidget(&below);
    manager.SendToBack(&below);
    below.dirty = edit.dirty = false;
    edit.MarkDirty();
    EXPECT_FALSE(below.dirty);
    edit.SetColor(0, Color(255, 255, 255, 128));
    edit.dirty = false;
    edit.MarkDirty();
    EXPECT_TRUE(below.dirty);
    manager.RemoveWidget(&below);
}

class EditWidgetDrawTest : public EditWidgetTest {
protected:
    void Render() {
        canvas = SolidImage(200, 20, Color(0, 0, 255));
        Graphics g(canvas.get());
        edit.Draw(&g);
    }
    Color At(int px, int py) { return PixelAt(*canvas, px, py); }
    std::unique_ptr<MemoryImage> canvas;
};

// Baseline (20 - 14) / 2 + 10 = 13, so glyph bars fill rows 3-12 and each
// letter's bar covers columns 4 + 6k to 8 + 6k.
TEST_F(EditWidgetDrawTest, SelectionDrawsAsInvertedText) {
    edit.SetText("abcdef");
    edit.cursor = 3;
    edit.highlight = 1;
    Render();
    EXPECT_TRUE(SameRgb(At(0, 0), Color::Black)) << "outline";
    EXPECT_TRUE(SameRgb(At(5, 5), Color::Black)) << "unselected letter in text colour";
    EXPECT_TRUE(SameRgb(At(9, 5), Color::White)) << "field fill between letters";
    EXPECT_TRUE(SameRgb(At(11, 5), Color::White)) << "selected letter inverted";
    EXPECT_TRUE(SameRgb(At(15, 5), Color::Black)) << "selection fill between letters";
    EXPECT_TRUE(SameRgb(At(11, 14), Color::Black)) << "selection fill below the glyphs";
    EXPECT_TRUE(SameRgb(At(11, 2), Color::White)) << "the line starts at row 3";
    EXPECT_TRUE(SameRgb(At(11, 17), Color::White)) << "and ends at row 16";
    EXPECT_TRUE(SameRgb(At(23, 5), Color::Black)) << "letter after the selection";
}

TEST_F(EditWidgetDrawTest, CaretIsTwoInvertedColumnsOnlyInItsVisiblePhase) {
    edit.SetText("ab");
    Press(kHome);
    Press(kRight);  // caret between a and b: columns 10 and 11
    Render();
    EXPECT_TRUE(SameRgb(At(10, 5), Color::White)) << "b's bar inverted under the caret";
    EXPECT_TRUE(SameRgb(At(10, 2), Color::White));
    EXPECT_TRUE(SameRgb(At(10, 14), Color::Black)) << "caret fill below the glyph";
    EXPECT_TRUE(SameRgb(At(12, 5), Color::Black)) << "b beyond the caret in text colour";
    for (int i = 0; i < 41; ++i) manager.UpdateFrame();
    Render();
    EXPECT_TRUE(SameRgb(At(10, 5), Color::Black));
    EXPECT_TRUE(SameRgb(At(10, 14), Color::White));
}

}  // namespace
}  // namespace Varn::test
