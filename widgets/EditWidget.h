// EditWidget: a single-line text field with a blinking caret, a selection
// drawn as inverted text, horizontal scrolling that keeps the caret in view,
// clipboard copy/cut/paste, one level of undo that a second undo redoes,
// word-wise caret movement, and limits on the character count and the text's
// pixel width. Enter reports the text to the EditListener.
//
// Characters are single bytes. Only printable characters (32 and above, not
// 127) that the font gives a width are accepted, typed or pasted; line breaks
// are dropped from pasted text. An edit that would exceed a limit keeps only
// the part of the inserted text that fits, so existing text is never cut.
// A key that neither edits, moves nor types changes nothing (not even the
// selection), so the key-down of a character key never spoils the selection
// the character is about to replace. Any change of the text ends the
// selection; only undo restores one.
#pragma once

#include <memory>
#include <string>

#include "graphics/Font.h"
#include "widgets/Widget.h"

namespace Varn {

class EditListener;

class EditWidget : public Widget {
public:
    // Updates between caret flips: the phase changes once the counter exceeds it.
    static constexpr int kBlinkLimit = 40;

    EditWidget(int editId, EditListener* editListener);
    ~EditWidget() override;

    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    bool WantsFocus() override;
    void Draw(Graphics* g) override;
    void Update() override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(char ch) override;
    void KeyDown(int keyCode) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int mouseX, int mouseY, int clickCode) override;
    void MouseDrag(int mouseX, int mouseY) override;
    void MarkDirty() override;

    virtual void ProcessKey(int keyCode, char ch);  // 41
    // Puts the caret at the end and selects everything, so typing replaces it.
    virtual void SetText(const std::string& newText);  // 42
    virtual void SetFont(Font* newFont);               // 43
    virtual bool IsWordChar(char c);                   // 44
    virtual int GetCharAt(int mouseX, int mouseY);     // 45
    virtual void FocusCursor(bool bigJump);            // 46

    int id;
    std::string text;
    std::unique_ptr<Font> font;
    EditListener* listener;
    bool caretVisible = false;
    int cursor = 0;
    int highlight = -1;  // other end of the selection; -1 (or equal to cursor) = none
    int blinkCounter = 0;
    int scroll = 0;      // index of the first visible character
    int maxChars = -1;   // -1: no limit
    int maxPixels = -1;  // -1: no limit
    std::string undoText;
    int undoCursor = 0;
    int undoHighlight = 0;
    // Where the last typing or deleting happened; -1 forces a new undo step.
    int lastEditPosition = -1;

protected:
    Font* GetFont();
    bool HasSelection() const;
    int SelectionStart() const;
    int SelectionEnd() const;
    // The x of a text position relative to where the visible text starts.
    int PositionX(int position);
    int Baseline();
    std::string VisibleText() const;
    const Color& ColorAt(int index) const;

private:
    struct KeyResult;
    bool IsPrintable(char c);
    void DeleteSelection();
    // Inserts as much of the chunk as the limits allow; returns the count.
    int InsertFitting(int position, const std::string& chunk);
    bool FitsLimits(const std::string& candidate);
    void ApplyLimits();
    void HandleCharacter(char ch, KeyResult& result);
    void HandleKeyCode(int keyCode, bool control, bool shift, KeyResult& result);
    void Cut(KeyResult& result);
    void Paste(KeyResult& result);
    void Undo();
    void Backspace(KeyResult& result);
    void DeleteForward(KeyResult& result);
    void MoveLeft(bool control, bool shift);
    void MoveRight(bool control, bool shift);
    void Type(char ch, KeyResult& result);
    void DrawMarkedSpan(Graphics* g);
};

}  // namespace Varn
