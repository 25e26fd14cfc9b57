// ImageFont: descriptor parsing, case fallback, measuring and tinted glyph drawing.
#include "graphics/ImageFont.h"

#include <algorithm>
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
    height = strip ? strip->GetHeight() : 0;
    ascent = height;
}

void ImageFont::ReadDescriptor(std::istream& in) {
    int spaceAdvance = 0;
    if (!ReadMetric(in, spaceAdvance)) return;
    glyphWidth[' '] = spaceAdvance;
    if (!ReadMetric(in, ascent)) return;
    int64_t position = 0;
    char c = 0;
    int width = 0;
    while (in >> c >> width) {
        if (width < 0 || width > kMaxGlyphWidth || position > INT_MAX - kMaxGlyphWidth) return;
        unsigned char code = static_cast<unsigned char>(c);
        glyphX[code] = int(position);
        glyphWidth[code] = width;
        position += width;
    }
}

unsigned char ImageFont::Lookup(unsigned char c) const {
    if (glyphWidth[c] != 0) return c;
    if (glyphWidth[AsciiLower(c)] != 0) return AsciiLower(c);
    if (glyphWidth[AsciiUpper(c)] != 0) return AsciiUpper(c);
    return c;
}

int ImageFont::StringWidth(const std::string& text) const {
    int64_t width = 0;
    for (char c : text) width += glyphWidth[Lookup(static_cast<unsigned char>(c))];
    return int(std::clamp<int64_t>(width, INT_MIN, INT_MAX));
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color&,
                           const Rect&) {
    if (!g) return;
    bool wasColorizing = g->GetColorizeImages();
    g->SetColorizeImages(true);
    int stripHeight = strip ? strip->GetHeight() : 0;
    int64_t pen = x;
    for (char c : text) {
        unsigned char k = Lookup(static_cast<unsigned char>(c));
        if (glyphX[k] != -1 && strip && pen > INT_MIN / 2 && pen < INT_MAX / 2)
            g->DrawImage(strip, int(pen), y - ascent,
                         Rect(glyphX[k], 0, glyphWidth[k], stripHeight));
        pen += glyphWidth[k];
    }
    g->SetColorizeImages(wasColorizing);
}

std::unique_ptr<Font> ImageFont::Duplicate() const {
    return std::make_unique<ImageFont>(*this);
}

}  // namespace Varn
