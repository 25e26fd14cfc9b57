#include "widgets/ScreenKeyboard.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "graphics/Graphics.h"
#include "widgets/EditWidget.h"

namespace Varn {

namespace {
constexpr int kColumns = 12;
constexpr int kCharacterRows = 3;
constexpr int kKeyWidth = 32;
constexpr int kKeyHeight = 24;
constexpr int kGap = 2;
constexpr int kInset = 12;
constexpr int kHintHeight = 18;
constexpr int kBackspaceKey = 8;
constexpr int kEnterKey = 13;
const Color kLabelColor(255, 255, 255);
const Color kLitColor(255, 214, 64);  // the focus ring's colour
const Color kOnColor(32, 255, 32);    // SHIFT while it holds
const Color kHintColor(255, 255, 0);
const char* const kHint = "B: Delete    START: Done    LB / RB: OK, CANCEL";

struct ActionSpec {
    ScreenKeyboard::Action action;
    int columns;
};
constexpr ActionSpec kActionRow[] = {
    {ScreenKeyboard::Action::kCase, 2},  {ScreenKeyboard::Action::kAccents, 2},
    {ScreenKeyboard::Action::kSpace, 4}, {ScreenKeyboard::Action::kDelete, 2},
    {ScreenKeyboard::Action::kDone, 2},
};

int SpanWidth(int columns) {
    return columns * kKeyWidth + (columns - 1) * kGap;
}

Rect KeyRect(int column, int row, int columns) {
    return Rect(kInset + column * (kKeyWidth + kGap), kInset + row * (kKeyHeight + kGap),
                SpanWidth(columns), kKeyHeight);
}

int CentreX(const Rect& r) {
    return r.x + r.width / 2;
}

// The Latin-1 letters with accents and the like (the multiplication and division signs are
// no letters), small or capital.
std::string AccentedLetters(bool capitals) {
    std::string letters;
    const int first = capitals ? 192 : 223;
    const int last = capitals ? 222 : 255;
    for (int c = first; c <= last; ++c)
        if (c != 215 && c != 247) letters.push_back(char(c));
    return letters;
}
}  // namespace

ScreenKeyboard::ScreenKeyboard(EditWidget* editField, Font* labelFont, Image* frame,
                               Image* keyPicture)
    : field(editField),
      font(labelFont ? labelFont->Duplicate() : nullptr),
      frameImage(frame),
      keyImage(keyPicture) {
    transparent = true;  // the frame's corners are round
    BuildKeys();
    // The highlight starts on the first character, the action keys being listed first.
    if (keys.size() > std::size(kActionRow)) highlight = int(std::size(kActionRow));
    Resize(0, 0, PanelWidth(), PanelHeight());
}

ScreenKeyboard::~ScreenKeyboard() = default;

int ScreenKeyboard::PanelWidth() {
    return 2 * kInset + SpanWidth(kColumns);
}

int ScreenKeyboard::PanelHeight() {
    return 2 * kInset + (kCharacterRows + 1) * (kKeyHeight + kGap) + kHintHeight;
}

std::string ScreenKeyboard::PageCharacters() const {
    if (accents) return AccentedLetters(capitals);
    std::string page;
    for (char c = 'a'; c <= 'z'; ++c) page.push_back(capitals ? char(c - 'a' + 'A') : c);
    for (char c = '0'; c <= '9'; ++c) page.push_back(c);
    return page;
}

void ScreenKeyboard::BuildKeys() {
    keys.clear();
    int column = 0;
    for (const ActionSpec& spec : kActionRow) {
        keys.push_back({spec.action, 0, KeyRect(column, kCharacterRows, spec.columns)});
        column += spec.columns;
    }
    int slot = 0;
    for (char c : PageCharacters()) {
        if (!font || font->CharWidth(c) == 0) continue;
        if (slot == kColumns * kCharacterRows) break;
        keys.push_back({Action::kCharacter, c, KeyRect(slot % kColumns, slot / kColumns, 1)});
        ++slot;
    }
    if (highlight >= int(keys.size())) highlight = 0;
}

void ScreenKeyboard::MoveHighlight(int dx, int dy) {
    const int next = dy != 0 ? KeyInNextRow(dy) : KeyAlongRow(dx);
    if (next < 0) return;
    highlight = next;
    MarkDirty();
}

// The key whose centre lies nearest the highlighted one's in the row dy rows away, wrapping
// round from the last row to the first.
int ScreenKeyboard::KeyInNextRow(int dy) const {
    const Rect& from = keys[size_t(highlight)].rect;
    std::vector<int> rowTops;
    for (const Key& key : keys) rowTops.push_back(key.rect.y);
    std::sort(rowTops.begin(), rowTops.end());
    rowTops.erase(std::unique(rowTops.begin(), rowTops.end()), rowTops.end());
    const int count = int(rowTops.size());
    const int row = int(std::find(rowTops.begin(), rowTops.end(), from.y) - rowTops.begin());
    const int top = rowTops[size_t(((row + dy) % count + count) % count)];
    int best = -1;
    for (int i = 0; i < int(keys.size()); ++i) {
        const Rect& r = keys[size_t(i)].rect;
        if (r.y != top) continue;
        const int distance = std::abs(CentreX(r) - CentreX(from));
        if (best < 0 || distance < std::abs(CentreX(keys[size_t(best)].rect) - CentreX(from)))
            best = i;
    }
    return best;
}

// The next key along the row that way; past the end, round to the far one.
int ScreenKeyboard::KeyAlongRow(int dx) const {
    const Rect& from = keys[size_t(highlight)].rect;
    // Keys ahead first, nearest first; then those behind, farthest first.
    auto rank = [&](const Rect& r) {
        const int ahead = (r.x - from.x) * dx;
        return std::pair(ahead < 0, ahead);
    };
    int best = -1;
    for (int i = 0; i < int(keys.size()); ++i) {
        const Rect& r = keys[size_t(i)].rect;
        if (r.y != from.y || i == highlight) continue;
        if (best < 0 || rank(r) < rank(keys[size_t(best)].rect)) best = i;
    }
    return best;
}

void ScreenKeyboard::PressHighlighted() {
    Press(keys[size_t(highlight)]);
}

void ScreenKeyboard::Press(const Key& key) {
    switch (key.action) {
        case Action::kCharacter:
            Type(key.character);
            return;
        case Action::kSpace:
            Type(' ');
            return;
        case Action::kDelete:
            DeleteCharacter();
            return;
        case Action::kDone:
            Accept();
            return;
        case Action::kCase:
        case Action::kAccents:
            (key.action == Action::kCase ? capitals : accents) ^= true;
            BuildKeys();
            MarkDirty();
            return;
    }
}

void ScreenKeyboard::Type(char character) {
    field->KeyChar(character);
}

void ScreenKeyboard::DeleteCharacter() {
    field->KeyDown(kBackspaceKey);
}

// The field reports Enter to its listener, which may remove this keyboard: nothing of it is
// touched afterwards.
void ScreenKeyboard::Accept() {
    field->KeyDown(kEnterKey);
}

std::string ScreenKeyboard::Label(const Key& key) const {
    switch (key.action) {
        case Action::kCharacter:
            return std::string(1, key.character);
        case Action::kCase:
            return "SHIFT";
        case Action::kAccents:
            if (accents) return capitals ? "ABC" : "abc";
            return capitals ? "\xC0\xC9\xCE" : "\xE0\xE9\xEE";  // "ÀÉÎ", "àéî"
        case Action::kSpace:
            return "SPACE";
        case Action::kDelete:
            return "DEL";
        case Action::kDone:
            return "DONE";
    }
    return std::string();
}

void ScreenKeyboard::Draw(Graphics* g) {
    g->DrawImageBox(Rect(0, 0, width, height), frameImage);
    if (!font) return;
    g->SetFont(font.get());
    for (int i = 0; i < int(keys.size()); ++i) DrawKey(g, keys[size_t(i)], i == highlight);
    g->SetColor(kHintColor);
    g->DrawString(kHint, (width - font->StringWidth(kHint)) / 2,
                  height - kInset - kHintHeight + font->GetAscent());
}

void ScreenKeyboard::DrawKey(Graphics* g, const Key& key, bool lit) {
    const Rect& r = key.rect;
    g->DrawImageBox(r, keyImage);
    const std::string label = Label(key);
    const bool on = key.action == Action::kCase && capitals;
    g->SetColor(lit ? kLitColor : on ? kOnColor : kLabelColor);
    g->DrawString(label, r.x + (r.width - font->StringWidth(label)) / 2,
                  r.y + (r.height + font->GetAscent()) / 2 - 1);
    if (!lit) return;
    g->DrawRect(r.x - 1, r.y - 1, r.width + 1, r.height + 1);
    g->DrawRect(r.x - 2, r.y - 2, r.width + 3, r.height + 3);
}

void ScreenKeyboard::MouseDown(int mouseX, int mouseY, int clickCode) {
    if (clickCode != 1) return;
    for (int i = 0; i < int(keys.size()); ++i) {
        if (!keys[size_t(i)].rect.Contains(mouseX, mouseY)) continue;
        highlight = i;
        MarkDirty();
        Press(keys[size_t(i)]);
        return;
    }
}

}  // namespace Varn
