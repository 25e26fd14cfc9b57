// ImageFont: descriptor parsing, case fallback, measuring and tinted glyph drawing.
#include "graphics/ImageFont.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <sstream>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "platform/RegularFile.h"

namespace Varn {

namespace {

constexpr int kMaxMetric = 1 << 16;
// Far beyond any real descriptor (a few lines per glyph).
constexpr std::size_t kMaxDescriptorBytes = 1 << 20;

unsigned char AsciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}
unsigned char AsciiUpper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

// "@" directly followed by a letter opens a section; "@" as a glyph is followed by a space.
bool AtSection(std::istream& in, char c) {
    return c == '@' && std::isalpha(in.peek());
}

bool InGlyphRange(int v, int low) {
    return v >= low && v <= ImageFont::kMaxGlyphWidth;
}

bool ReadMetric(std::istream& in, int& value) {
    int v = 0;
    if (!(in >> v) || v < -kMaxMetric || v > kMaxMetric) return false;
    value = v;
    return true;
}

}  // namespace

ImageFont::ImageFont(Image* stripImage, const std::string& descriptorPath) : strip(stripImage) {
    ResetToStrip();
    std::string text;
    if (ReadRegularFile(descriptorPath, kMaxDescriptorBytes, text) != FileRead::Ok) return;
    std::istringstream in(text);
    ReadDescriptor(in);
}

ImageFont::ImageFont(Image* stripImage, std::istream& descriptor) : strip(stripImage) {
    ResetToStrip();
    ReadDescriptor(descriptor);
}

ImageFont::ImageFont(const ImageFont& other, Image* otherStrip) : ImageFont(other) {
    strip = otherStrip;
}

void ImageFont::ResetToStrip() {
    glyphX.fill(-1);
    glyphWidth.fill(0);
    glyphOffset.fill(0);
    glyphAdvance.fill(0);
    kerning.clear();
    height = strip ? strip->GetHeight() : 0;
    ascent = height;
}

void ImageFont::ReadDescriptor(std::istream& in) {
    int spaceAdvance = 0;
    if (!ReadMetric(in, spaceAdvance)) return;
    glyphWidth[' '] = glyphAdvance[' '] = spaceAdvance;
    if (!ReadMetric(in, ascent)) return;
    int64_t position = 0;
    char c = 0;
    int width = 0;
    while (in >> c) {
        if (AtSection(in, c)) return ReadSections(in);
        if (!(in >> width)) return;
        if (width < 0 || width > kMaxGlyphWidth || position > INT_MAX - kMaxGlyphWidth) return;
        unsigned char code = static_cast<unsigned char>(c);
        glyphX[code] = int(position);
        glyphWidth[code] = glyphAdvance[code] = width;
        glyphOffset[code] = 0;
        position += width;
    }
}

void ImageFont::ReadSections(std::istream& in) {
    std::string section;
    char c = 0, next = 0;
    int first = 0, second = 0;
    while (in >> section) {
        bool metrics = section == "metrics";
        if (!metrics && section != "kerning") return;
        while (in >> c && !AtSection(in, c)) {
            unsigned char code = static_cast<unsigned char>(c);
            if (metrics && in >> first >> second && InGlyphRange(first, -kMaxGlyphWidth) &&
                InGlyphRange(second, 0)) {
                glyphOffset[code] = first;
                glyphAdvance[code] = second;
            } else if (!metrics && in >> next >> first && InGlyphRange(first, -kMaxGlyphWidth)) {
                kerning[code << 8 | static_cast<unsigned char>(next)] = first;
            } else {
                return;
            }
        }
    }
}

unsigned char ImageFont::Lookup(unsigned char c) const {
    if (glyphWidth[c] != 0) return c;
    if (glyphWidth[AsciiLower(c)] != 0) return AsciiLower(c);
    if (glyphWidth[AsciiUpper(c)] != 0) return AsciiUpper(c);
    return c;
}

int ImageFont::Kerning(unsigned char left, unsigned char right) const {
    auto found = kerning.find(left << 8 | right);
    return found == kerning.end() ? 0 : found->second;
}

int ImageFont::StringWidth(const std::string& text) const {
    int64_t width = 0;
    unsigned char previous = 0;
    for (size_t n = 0; n < text.size(); ++n) {
        unsigned char k = Lookup(static_cast<unsigned char>(text[n]));
        width += glyphAdvance[k] + (n > 0 ? Kerning(previous, k) : 0);
        previous = k;
    }
    return int(std::clamp<int64_t>(width, INT_MIN, INT_MAX));
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color&,
                           const Rect&) {
    if (!g) return;
    bool wasColorizing = g->GetColorizeImages();
    g->SetColorizeImages(true);
    int stripHeight = strip ? strip->GetHeight() : 0;
    int64_t pen = x;
    unsigned char previous = 0;
    for (size_t n = 0; n < text.size(); ++n) {
        unsigned char k = Lookup(static_cast<unsigned char>(text[n]));
        if (n > 0) pen += Kerning(previous, k);
        int64_t left = pen + glyphOffset[k];
        if (glyphX[k] != -1 && strip && left > INT_MIN / 2 && left < INT_MAX / 2)
            g->DrawImage(strip, int(left), y - ascent,
                         Rect(glyphX[k], 0, glyphWidth[k], stripHeight));
        pen += glyphAdvance[k];
        previous = k;
    }
    g->SetColorizeImages(wasColorizing);
}

int ImageFont::GetOverhang() const {
    int reach = 0;
    for (int c = 0; c < 256; ++c)
        if (glyphX[c] != -1)
            reach = std::max(
                {reach, -glyphOffset[c], glyphOffset[c] + glyphWidth[c] - glyphAdvance[c]});
    return reach;
}

std::unique_ptr<Font> ImageFont::Duplicate() const {
    return std::make_unique<ImageFont>(*this);
}

}  // namespace Varn
