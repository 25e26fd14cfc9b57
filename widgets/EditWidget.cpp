// EditWidget: geometry, drawing, caret blink, pointer and scrolling.
// The keyboard editing lives in EditWidgetKeys.cpp.
#include "widgets/EditWidget.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/Graphics.h"
#include "widgets/ControlSupport.h"

namespace Varn {

namespace {
constexpr int kDefaultPointSize = 10;
constexpr int kTextInset = 4;  // text starts this far inside the field
constexpr int kCaretWidth = 2;
constexpr int kRightMargin = 8;  // the caret scrolls into view before this margin
constexpr int kSnapSlack = 5;    // GetCharAt's bias towards the next character
constexpr int kSmallStep = 1;
constexpr int kBigStep = 10;
// Field fill, outline, text, selection and caret fill, text inside the selection.
constexpr int kDefaultColors[5][3] = {
    {255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}};
}  // namespace

EditWidget::EditWidget(int editId, EditListener* editListener)
    : id(editId), listener(editListener) {
    for (const auto& row : kDefaultColors) colors.emplace_back(row[0], row[1], row[2]);
}

EditWidget::~EditWidget() = default;

Font* EditWidget::GetFont() {
    // Created on first need rather than first draw: keys and clicks may come
    // before the field was ever drawn, and they measure text too.
    if (!font) font = MakeSansSerifFont(kDefaultPointSize, false);
    return font.get();
}

void EditWidget::SetFont(Font* newFont) {
    font = newFont ? newFont->Duplicate() : nullptr;
    MarkDirty();
}

const Color& EditWidget::ColorAt(int index) const {
    return TableColor(colors, index);
}

bool EditWidget::HasSelection() const {
    return highlight != -1 && highlight != cursor;
}

int EditWidget::SelectionStart() const {
    return std::min(cursor, highlight);
}

int EditWidget::SelectionEnd() const {
    return std::max(cursor, highlight);
}

std::string EditWidget::VisibleText() const {
    size_t from = std::min(static_cast<size_t>(std::max(scroll, 0)), text.size());
    return text.substr(from);
}

int EditWidget::PositionX(int position) {
    Font* f = GetFont();
    if (!f) return 0;
    auto prefixWidth = [&](int count) {
        count = std::clamp(count, 0, static_cast<int>(text.size()));
        return f->StringWidth(text.substr(0, count));
    };
    return prefixWidth(position) - prefixWidth(scroll);
}

int EditWidget::Baseline() {
    Font* f = GetFont();
    if (!f) return 0;
    return (height - f->GetLineSpacing()) / 2 + f->GetAscent();
}

bool EditWidget::WantsFocus() {
    return true;
}

void EditWidget::Resize(int newX, int newY, int newWidth, int newHeight) {
    Widget::Resize(newX, newY, newWidth, newHeight);
    FocusCursor(false);
}

void EditWidget::Draw(Graphics* g) {
    Font* f = GetFont();
    g->SetColor(ColorAt(0));
    g->FillRect(0, 0, width, height);
    if (f) {
        Graphics textPass(*g);
        textPass.ClipRect(kTextInset, 0, width - 2 * kTextInset, height);
        textPass.SetFont(f);
        textPass.SetColor(ColorAt(2));
        textPass.DrawString(VisibleText(), kTextInset, Baseline());
        DrawMarkedSpan(g);
    }
    g->SetColor(ColorAt(1));
    g->DrawRect(0, 0, width - 1, height - 1);
}

// The caret and the selection show as inverted text: the span is filled with
// colour 3 and the text drawn over it again in colour 4.
void EditWidget::DrawMarkedSpan(Graphics* g) {
    int start = PositionX(cursor);
    int end = start + kCaretWidth;
    if (HasSelection()) end = PositionX(highlight);
    if (!caretVisible) start += kCaretWidth;
    const int limit = std::max(width - kRightMargin, 0);
    start = std::clamp(start, 0, limit);
    end = std::clamp(end, 0, limit);
    if (start == end) return;
    Font* f = GetFont();
    const int lineSpacing = f->GetLineSpacing();
    Graphics marked(*g);
    marked.ClipRect(kTextInset + std::min(start, end), (height - lineSpacing) / 2,
                    std::abs(end - start), lineSpacing);
    marked.SetColor(ColorAt(3));
    marked.FillRect(0, 0, width, height);
    marked.SetFont(f);
    marked.SetColor(ColorAt(4));
    marked.DrawString(VisibleText(), kTextInset, Baseline());
}

void EditWidget::Update() {
    if (!hasFocus) return;
    if (++blinkCounter > kBlinkLimit) {
        MarkDirty();
        blinkCounter = 0;
        caretVisible = !caretVisible;
    }
}

void EditWidget::GotFocus() {
    Widget::GotFocus();
    caretVisible = true;
    blinkCounter = 0;
    MarkDirty();
}

void EditWidget::LostFocus() {
    Widget::LostFocus();
    caretVisible = false;
    MarkDirty();
}

void EditWidget::MarkDirty() {
    // A see-through field needs what lies beneath it redrawn as well.
    if (ColorAt(0).alpha == 255)
        Widget::MarkDirty();
    else
        Widget::MarkRegionDirty();
}

void EditWidget::MouseEnter() {
    SetWidgetCursor(this, CursorKind::Text);
}

void EditWidget::MouseLeave() {
    SetWidgetCursor(this, CursorKind::Pointer);
}

void EditWidget::MouseDown(int mouseX, int mouseY, int) {
    highlight = -1;
    cursor = GetCharAt(mouseX, mouseY);
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseDrag(int mouseX, int mouseY) {
    if (!HasSelection()) highlight = cursor;
    cursor = GetCharAt(mouseX, mouseY);
    MarkDirty();
    FocusCursor(false);
}

int EditWidget::GetCharAt(int mouseX, int) {
    Font* f = GetFont();
    if (!f) return 0;
    const int length = static_cast<int>(text.size());
    const int first = std::clamp(scroll, 0, length);
    // Left of the first visible character means that character, not the
    // start of the whole text.
    int result = first;
    int left = 0;  // width of text[first, i)
    for (int i = first; i < length; ++i) {
        int right = f->StringWidth(text.substr(first, i + 1 - first));
        if (mouseX >= (left + right) / 2 + kSnapSlack) result = i + 1;
        left = right;
    }
    return result;
}

void EditWidget::FocusCursor(bool bigJump) {
    const int step = bigJump ? kBigStep : kSmallStep;
    while (cursor < scroll) {
        scroll = std::max(scroll - step, 0);
        MarkDirty();
    }
    // Never past the caret: a field too narrow for even one character would
    // otherwise scroll without end.
    while (scroll < cursor && PositionX(cursor) >= width - kRightMargin) {
        scroll = std::min(scroll + step, cursor);
        MarkDirty();
    }
}

bool EditWidget::IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

void EditWidget::SetText(const std::string& newText) {
    text = newText;
    cursor = static_cast<int>(text.size());
    highlight = 0;
    scroll = std::min(scroll, cursor);
    // Edits before the new text must not continue into an undo step after it.
    lastEditPosition = -1;
    MarkDirty();
}

}  // namespace Varn
