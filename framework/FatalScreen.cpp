// FatalScreen: layout, drawing and the player's OK (see header).
#include "framework/FatalScreen.h"

#include <sstream>

#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/SysFont.h"

namespace Varn {

namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kReturnKey = 13;
constexpr int kEscapeKey = 27;
constexpr int kSpaceKey = 32;

// Greedy word wrap; a word wider than the line stands on a line of its own.
std::vector<std::string> Wrap(const std::string& text, const Font& font, int width) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word;
    std::string line;
    while (words >> word) {
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && font.StringWidth(longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

FatalScreen::FatalScreen(std::string captionText, std::string text, int screenWidth,
                         int screenHeight)
    : caption(std::move(captionText)), font(std::make_unique<SysFont>("SansSerif", 10)) {
    const int panelWidth = screenWidth * 3 / 4;
    lines = Wrap(text, *font, panelWidth - 2 * kMargin);
    const int lineHeight = font->GetHeight() + 2;
    const int panelHeight = kMargin * 4 + lineHeight * int(lines.size() + 1) + kButtonHeight;
    panel = Rect((screenWidth - panelWidth) / 2, (screenHeight - panelHeight) / 2, panelWidth,
                 panelHeight);
    okButton = Rect(panel.x + (panel.width - kButtonWidth) / 2,
                    panel.y + panel.height - kMargin - kButtonHeight, kButtonWidth, kButtonHeight);
}

FatalScreen::~FatalScreen() = default;

void FatalScreen::Draw(Image* screen) {
    Graphics g(screen);
    g.SetColor(Color(0, 0, 0));
    g.FillRect(0, 0, screen->GetWidth(), screen->GetHeight());
    g.SetColor(Color(48, 16, 16));
    g.FillRect(panel);
    g.SetColor(Color(255, 255, 255));
    g.DrawRect(panel);
    g.SetFont(font.get());
    const int lineHeight = font->GetHeight() + 2;
    int y = panel.y + kMargin + font->GetAscent();
    g.SetColor(Color(255, 96, 96));
    g.DrawString(caption, panel.x + kMargin, y);
    y += lineHeight + kMargin;
    g.SetColor(Color(255, 255, 255));
    for (const std::string& line : lines) {
        g.DrawString(line, panel.x + kMargin, y);
        y += lineHeight;
    }
    g.SetColor(Color(96, 96, 96));
    g.FillRect(okButton);
    g.SetColor(Color(255, 255, 255));
    g.DrawRect(okButton);
    g.DrawString("OK", okButton.x + (okButton.width - font->StringWidth("OK")) / 2,
                 okButton.y + (okButton.height + font->GetAscent()) / 2 - 1);
}

bool FatalScreen::Dismisses(const WindowMessage& message) const {
    switch (message.message) {
        case kMsgClose:
            return true;
        case kMsgKeyDown:
            return message.wparam == kReturnKey || message.wparam == kEscapeKey ||
                   message.wparam == kSpaceKey;
        case kMsgLButtonUp:
            return okButton.Contains(message.X(), message.Y());
        default:
            return false;
    }
}

}  // namespace Varn
