// Widget text operations: centred and shadowed text, text with colour codes, word
// wrapping and digit strips, all drawn with the Graphics' current font in the widget's own
// coordinates. Without a font nothing is drawn and every width measures 0.
// Colour codes are eight characters: '^', six hex digits RRGGBB and one more character;
// "^^" is a literal caret. A code is recognised whenever its eight characters are present,
// also at the very end of the text.
#include <algorithm>
#include <cstdint>

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/Widget.h"

namespace Varn {

namespace {

constexpr std::size_t kCodeLength = 8;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

Color CodeColor(const std::string& text, std::size_t caret) {
    auto channel = [&](std::size_t at) {
        return HexValue(text[caret + at]) * 16 + HexValue(text[caret + at + 1]);
    };
    return Color(channel(1), channel(3), channel(5), 255);
}

int TextWidth(Graphics* g, const std::string& text) {
    Font* font = g->GetFont();
    return font ? font->StringWidth(text) : 0;
}

}  // namespace

void Widget::DrawCenteredTextShadowed(Graphics* g, int baseline, const std::string& text,
                                      Color textColor, Color shadowColor) {
    if (!g) return;
    int left = (width - TextWidth(g, text)) / 2;
    g->SetColor(shadowColor);
    g->DrawString(text, left + 1, baseline + 2);
    g->SetColor(textColor);
    g->DrawString(text, left, baseline);
}

void Widget::DrawCenteredText(Graphics* g, int baseline, const std::string& text) {
    if (!g) return;
    g->DrawString(text, (width - TextWidth(g, text)) / 2, baseline);
}

int Widget::DrawCodedText(Graphics* g, const std::string& text, int textX, int textY, int areaWidth,
                          int justify, bool draw) {
    if (!g) return 0;
    if (draw && (justify == 0 || justify == 1)) {
        int measured = DrawCodedText(g, text, 0, 0, 0, -1, false);
        textX += justify == 0 ? (areaWidth - measured) / 2 : areaWidth - measured;
    }
    std::string run;
    int done = 0;
    auto flush = [&] {
        if (draw) g->DrawString(run, textX + done, textY);
        done += TextWidth(g, run);
        run.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '^' && i + 1 < text.size() && text[i + 1] == '^') {
            run += '^';
            i += 2;
        } else if (text[i] == '^' && i + kCodeLength <= text.size()) {
            flush();
            if (draw) g->SetColor(CodeColor(text, i));
            i += kCodeLength;
        } else {
            run += text[i++];
        }
    }
    flush();
    return done;
}

int Widget::DrawWrappedText(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing,
                            int justify) {
    if (!g || !g->GetFont()) return 0;
    Font* font = g->GetFont();
    if (lineSpacing == -1) lineSpacing = font->GetLineSpacing();
    Color saved = g->GetColor();
    std::string line;
    int offset = font->GetAscent();
    auto drawLine = [&] {
        DrawCodedText(g, line, rect.x, rect.y + offset, rect.width, justify, true);
        offset += lineSpacing;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t wordStart = text.find_first_not_of(' ', i);
        if (wordStart == std::string::npos) wordStart = text.size();
        std::size_t wordEnd = std::min(text.find_first_of(" \n", wordStart), text.size());
        if (wordStart < text.size() && text[wordStart] == '\n') {
            drawLine();
            line.clear();
            i = wordStart + 1;
            continue;
        }
        std::string candidate = line + text.substr(i, wordEnd - i);
        if (DrawCodedText(g, candidate, 0, 0, 0, -1, false) > rect.width) {
            drawLine();
            line = text.substr(wordStart, wordEnd - wordStart);
        } else {
            line = std::move(candidate);
        }
        i = wordEnd;
    }
    if (!line.empty()) drawLine();
    g->SetColor(saved);
    return offset + font->GetDescent() - lineSpacing;
}

int Widget::MeasureWrappedText(Graphics* g, int areaWidth, const std::string& text,
                               int lineSpacing) {
    if (!g) return 0;
    Graphics scratch(nullptr);
    scratch.SetFont(g->GetFont());
    return DrawWrappedText(&scratch, Rect(0, 0, areaWidth, 0), text, lineSpacing, -1);
}

int Widget::CountDigits(int number) {
    int digits = 1;
    for (int64_t power = 10; power <= number; power *= 10) ++digits;
    return digits;
}

// Negative numbers draw nothing and return 0.
int Widget::DrawDigitStrip(Graphics* g, int number, int stripX, int stripY, Image* strip,
                           int spacing) {
    if (!g || !strip || number < 0) return 0;
    int cellWidth = strip->GetWidth() / 10;
    int digits = CountDigits(number);
    int64_t divisor = 1;
    for (int k = 1; k < digits; ++k) divisor *= 10;
    for (int k = 0; k < digits; ++k, divisor /= 10) {
        int digit = int(number / divisor % 10);
        int cellX = stripX + k * (cellWidth + spacing);
        Graphics cell(*g);
        cell.ClipRect(cellX, stripY, cellWidth, strip->GetHeight());
        cell.DrawImage(strip, cellX - cellWidth * digit, stripY);
    }
    return digits;
}

}  // namespace Varn
