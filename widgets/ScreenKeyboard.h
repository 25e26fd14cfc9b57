// ScreenKeyboard: a keyboard on the screen for typing into an EditWidget without a real one
// (with a game controller). A framed panel of keys: three rows of characters on one of four
// pages (small letters and digits, capitals and digits, accented small letters, accented
// capitals) over a row of action keys (case, accents, space, delete, done). A highlighted
// key moves with MoveHighlight and acts with PressHighlighted; the pointer presses keys
// too. What it types reaches the field as typed characters and keys would, so the field's
// own limits hold. Only characters the given font draws are offered.
//
// NOTE: the field and the images are not owned and must outlive the keyboard; the font is
// duplicated. The keyboard is a widget of its own, listed by its owner above the field.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/Font.h"
#include "graphics/Rect.h"
#include "widgets/Widget.h"

namespace Varn {

class EditWidget;
class Image;

class ScreenKeyboard : public Widget {
public:
    enum class Action { kCharacter, kCase, kAccents, kSpace, kDelete, kDone };
    struct Key {
        Action action = Action::kCharacter;
        char character = 0;
        Rect rect;  // in the keyboard
    };

    // frame: the panel's 3 x 3 frame picture; keyPicture: each key's.
    ScreenKeyboard(EditWidget* field, Font* font, Image* frame, Image* keyPicture);
    ~ScreenKeyboard() override;

    // Its whole size.
    static int PanelWidth();
    static int PanelHeight();

    // Moves the highlight one key along a row or to the nearest key of the next row,
    // wrapping round at the ends.
    void MoveHighlight(int dx, int dy);
    void PressHighlighted();
    // The field's Backspace and Enter.
    void DeleteCharacter();
    void Accept();

    const Key& Highlighted() const { return keys[size_t(highlight)]; }
    const std::vector<Key>& Keys() const { return keys; }
    std::string Label(const Key& key) const;

    void Draw(Graphics* g) override;
    void MouseDown(int mouseX, int mouseY, int clickCode) override;

private:
    // The keys of the current page; the action keys come first, so a highlighted action
    // key keeps its place when the page changes.
    void BuildKeys();
    std::string PageCharacters() const;
    int KeyInNextRow(int dy) const;
    int KeyAlongRow(int dx) const;
    void Press(const Key& key);
    void Type(char character);
    void DrawKey(Graphics* g, const Key& key, bool lit);

    EditWidget* field;
    std::unique_ptr<Font> font;
    Image* frameImage;
    Image* keyImage;
    bool capitals = false;
    bool accents = false;
    std::vector<Key> keys;
    int highlight = 0;
};

}  // namespace Varn
