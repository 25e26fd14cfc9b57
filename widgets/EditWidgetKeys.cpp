// EditWidget keyboard editing: clipboard, undo, deletion, caret movement,
// typing, and the character and pixel limits.
#include <algorithm>

#include "widgets/EditListener.h"
#include "widgets/EditWidget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kShift = 16;
constexpr int kControl = 17;
constexpr int kEnd = 35;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kRight = 39;
constexpr int kDelete = 46;
// Ctrl+letter characters.
constexpr char kCopy = 3;
constexpr char kPaste = 22;
constexpr char kCut = 24;
constexpr char kUndo = 26;
// Letter keys arrive as characters too; their key-down would only disturb
// the selection that Ctrl+C, Ctrl+X and Ctrl+V are about to use.
constexpr int kFirstLetterKey = 65;
constexpr int kLastPassedOverKey = 89;

bool IsEditingKeyCode(int keyCode) {
    switch (keyCode) {
        case kBackspace:
        case kDelete:
        case kEnter:
        case kHome:
        case kEnd:
        case kLeft:
        case kRight:
            return true;
        default:
            return false;
    }
}

bool IsCommandCharacter(char ch) {
    return ch == kCopy || ch == kCut || ch == kPaste || ch == kUndo;
}
}  // namespace

struct EditWidget::KeyResult {
    bool newUndoStep = false;
    bool keepSelection = false;
};

void EditWidget::KeyDown(int keyCode) {
    if (keyCode < kFirstLetterKey || keyCode > kLastPassedOverKey) ProcessKey(keyCode, 0);
    Widget::KeyDown(keyCode);
}

void EditWidget::KeyChar(char ch) {
    ProcessKey(0, ch);
}

bool EditWidget::IsPrintable(char c) {
    const auto code = static_cast<unsigned char>(c);
    Font* f = GetFont();
    return code >= 32 && code != 127 && f && f->CharWidth(c) != 0;
}

void EditWidget::ProcessKey(int keyCode, char ch) {
    if (keyCode == kShift || keyCode == kControl) return;
    const bool typed = !IsEditingKeyCode(keyCode) && IsPrintable(ch);
    if (!IsCommandCharacter(ch) && !IsEditingKeyCode(keyCode) && !typed) return;
    const bool shift = manager && manager->IsKeyDown(kShift);
    const bool control = manager && manager->IsKeyDown(kControl);

    if (shift && !HasSelection()) highlight = cursor;
    const std::string snapshotText = text;
    const int snapshotCursor = cursor;
    const int snapshotHighlight = highlight;

    KeyResult result;
    result.keepSelection = shift;
    if (IsCommandCharacter(ch))
        HandleCharacter(ch, result);
    else if (typed)
        Type(ch, result);
    else
        HandleKeyCode(keyCode, control, shift, result);

    ApplyLimits();
    const int length = static_cast<int>(text.size());
    cursor = std::clamp(cursor, 0, length);
    if (highlight > length) highlight = length;
    if (cursor != snapshotCursor) {
        blinkCounter = 0;
        caretVisible = true;
    }
    FocusCursor(true);
    if (!result.keepSelection) highlight = -1;
    if (result.newUndoStep && text != snapshotText) {
        undoText = snapshotText;
        undoCursor = snapshotCursor;
        undoHighlight = snapshotHighlight;
    }
    MarkDirty();
}

void EditWidget::HandleCharacter(char ch, KeyResult& result) {
    switch (ch) {
        case kCopy:
            if (HasSelection() && manager && manager->app)
                manager->app->CopyToClipboard(
                    text.substr(SelectionStart(), SelectionEnd() - SelectionStart()));
            result.keepSelection = true;
            break;
        case kCut:
            Cut(result);
            break;
        case kPaste:
            Paste(result);
            break;
        case kUndo:
            Undo();
            result.keepSelection = true;
            break;
        default:
            break;
    }
}

void EditWidget::HandleKeyCode(int keyCode, bool control, bool shift, KeyResult& result) {
    switch (keyCode) {
        case kBackspace:
            Backspace(result);
            break;
        case kDelete:
            DeleteForward(result);
            break;
        case kEnter:
            if (listener) listener->EditWidgetText(id, text);
            break;
        case kHome:
            cursor = 0;
            break;
        case kEnd:
            cursor = static_cast<int>(text.size());
            break;
        case kLeft:
            MoveLeft(control, shift);
            break;
        case kRight:
            MoveRight(control, shift);
            break;
        default:
            break;
    }
}

void EditWidget::DeleteSelection() {
    const int start = SelectionStart();
    text.erase(start, SelectionEnd() - start);
    cursor = start;
    highlight = -1;
}

void EditWidget::Cut(KeyResult& result) {
    if (!HasSelection()) return;
    if (manager && manager->app)
        manager->app->CopyToClipboard(
            text.substr(SelectionStart(), SelectionEnd() - SelectionStart()));
    DeleteSelection();
    result.newUndoStep = true;
}

void EditWidget::Paste(KeyResult& result) {
    if (!manager || !manager->app) return;
    std::string pasted;
    for (char c : manager->app->GetClipboardText())
        if (c != '\r' && c != '\n' && IsPrintable(c)) pasted += c;
    if (pasted.empty()) return;
    if (HasSelection()) DeleteSelection();
    cursor += InsertFitting(cursor, pasted);
    highlight = -1;
    result.newUndoStep = true;
}

void EditWidget::Undo() {
    std::swap(text, undoText);
    std::swap(cursor, undoCursor);
    std::swap(highlight, undoHighlight);
    lastEditPosition = -1;
}

void EditWidget::Backspace(KeyResult& result) {
    if (HasSelection()) {
        DeleteSelection();
        result.newUndoStep = true;
        return;
    }
    if (cursor <= 0) return;
    text.erase(cursor - 1, 1);
    --cursor;
    highlight = -1;
    // A run of backspaces is one undo step.
    result.newUndoStep = cursor != lastEditPosition;
    lastEditPosition = cursor - 1;
}

void EditWidget::DeleteForward(KeyResult& result) {
    if (HasSelection()) {
        DeleteSelection();
        result.newUndoStep = true;
        return;
    }
    if (cursor >= static_cast<int>(text.size())) return;
    text.erase(cursor, 1);
    highlight = -1;
    result.newUndoStep = cursor != lastEditPosition;
    lastEditPosition = cursor;
}

void EditWidget::MoveLeft(bool control, bool shift) {
    if (control) {
        while (cursor > 0 && !IsWordChar(text[cursor - 1])) --cursor;
        while (cursor > 0 && IsWordChar(text[cursor - 1])) --cursor;
    } else if (shift || !HasSelection()) {
        --cursor;
    } else {
        cursor = SelectionStart();
    }
}

void EditWidget::MoveRight(bool control, bool shift) {
    if (control) {
        const int last = static_cast<int>(text.size()) - 1;
        while (cursor < last && IsWordChar(text[cursor + 1])) ++cursor;
        while (cursor < last && !IsWordChar(text[cursor + 1])) ++cursor;
    }
    if (shift || !HasSelection())
        ++cursor;
    else
        cursor = SelectionEnd();
}

void EditWidget::Type(char ch, KeyResult& result) {
    const bool replaced = HasSelection();
    if (replaced) DeleteSelection();
    highlight = -1;
    const int position = cursor;
    if (InsertFitting(position, std::string(1, ch)) == 0) {
        result.newUndoStep = replaced;
        return;
    }
    cursor = position + 1;
    FocusCursor(false);
    const bool continues = lastEditPosition >= 0 && position == lastEditPosition + 1;
    result.newUndoStep = replaced || !continues;
    lastEditPosition = position;
}

bool EditWidget::FitsLimits(const std::string& candidate) {
    if (maxChars >= 0 && static_cast<int>(candidate.size()) > maxChars) return false;
    if (maxPixels >= 0) {
        Font* f = GetFont();
        if (f && f->StringWidth(candidate) > maxPixels) return false;
    }
    return true;
}

int EditWidget::InsertFitting(int position, const std::string& chunk) {
    // Widths only grow as characters are added, so the longest fitting part
    // is found by bisection: a huge paste costs a few measurements, not one
    // per character.
    int low = 0;
    int high = static_cast<int>(chunk.size());
    if (maxChars >= 0) high = std::clamp(maxChars - static_cast<int>(text.size()), 0, high);
    auto candidate = [&](int count) {
        std::string result = text;
        result.insert(position, chunk, 0, count);
        return result;
    };
    while (low < high) {
        int middle = low + (high - low + 1) / 2;
        if (FitsLimits(candidate(middle)))
            low = middle;
        else
            high = middle - 1;
    }
    if (low > 0) text = candidate(low);
    return low;
}

void EditWidget::ApplyLimits() {
    // Only text that was already too long (set from outside, or limits
    // tightened later) is cut here; edits insert only what fits.
    if (maxChars >= 0 && static_cast<int>(text.size()) > maxChars) text.resize(maxChars);
    if (maxPixels < 0 || FitsLimits(text)) return;
    int low = 0;
    int high = static_cast<int>(text.size());
    while (low < high) {
        int middle = low + (high - low + 1) / 2;
        if (FitsLimits(text.substr(0, middle)))
            low = middle;
        else
            high = middle - 1;
    }
    text.resize(low);
}

}  // namespace Varn
