// FatalScreen: a fatal message or a notice drawn in the game's own window, for when the system's
// message box cannot be shown (an X server without the fonts that box needs). The caption
// and the text, word-wrapped, in a system font on a dark panel, with an OK button below.
// A click on the button, Enter, Space or Escape, or the window's close request, is the
// player's OK.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/Rect.h"
#include "platform/Platform.h"

namespace Varn {

class Font;
class Image;

class FatalScreen {
public:
    FatalScreen(std::string caption, std::string text, int screenWidth, int screenHeight);
    ~FatalScreen();
    FatalScreen(const FatalScreen&) = delete;
    FatalScreen& operator=(const FatalScreen&) = delete;

    void Draw(Image* screen);
    // True when the message ends the wait.
    bool Dismisses(const WindowMessage& message) const;
    const Rect& OkButton() const { return okButton; }
    const Rect& Panel() const { return panel; }
    // The text's lines as drawn (word-wrapped to the panel).
    const std::vector<std::string>& Lines() const { return lines; }

private:
    std::string caption;
    std::unique_ptr<Font> font;
    std::vector<std::string> lines;
    Rect panel;
    Rect okButton;
};

}  // namespace Varn
