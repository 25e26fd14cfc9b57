// Fuzz entry point: the bitmap-font descriptor parser, then measuring and drawing text with
// the font it produced into a small memory image through a clipped, translated context.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const char* const sections[] = {"", "4 9 A 5 @metrics ", "4 9 A 5 @kerning "};  // two in three
    text = sections[size > 0 ? data[0] % 3 : 0] + text;
    Varn::MemoryImage strip(nullptr);
    strip.Create(97, 13);
    Varn::MemoryImage target(nullptr);
    target.Create(64, 32);
    std::istringstream descriptor(text);
    Varn::ImageFont font(&strip, descriptor);
    std::string sample = text.substr(0, 64) + "Hello, World! abc XYZ 0123";
    volatile int width = font.StringWidth(sample) + font.GetDescent() + font.CharWidth('a');
    (void)width;
    Varn::Graphics g(&target);
    g.Translate(-3, 5);
    g.ClipRect(2, -4, 50, 20);
    g.SetColor(Varn::Color(200, 100, 50, 128));
    g.SetFont(&font);
    g.DrawString(sample, 1, font.GetAscent());
    Varn::ImageFont copy(font, &target);
    copy.DrawString(&g, -40, 10, sample, Varn::Color::White, g.GetClipRect());
    return 0;
}
