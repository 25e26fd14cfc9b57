// Helpers for graphics tests: packed pixels, small images, and an Image that records the
// calls a Graphics makes on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Image.h"
#include "graphics/MemoryImage.h"

namespace Varn::Testing {

constexpr uint32_t Packed(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return r | g << 8 | b << 16 | a << 24;
}

inline void FillAll(MemoryImage& image, uint32_t pixel) {
    uint32_t* p = image.GetBits();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i) p[i] = pixel;
    image.BitsChanged();
}

inline uint32_t PixelAt(MemoryImage& image, int x, int y) {
    return image.GetBits()[y * image.GetWidth() + x];
}

// One recorded call on a RecordingImage.
struct Call {
    std::string op;
    Rect rect;      // FillRect rect, Blt/StretchBlt destination
    Rect source;    // Blt source rectangle
    FRect fsource;  // StretchBlt source rectangle
    Color color;
    int mode = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // DrawLine
};

class RecordingImage : public Image {
public:
    RecordingImage(int w, int h) {
        width = w;
        height = h;
    }
    void FillRect(const Rect& r, const Color& c, int mode) override {
        calls.push_back({"FillRect", r, {}, {}, c, mode});
    }
    void DrawLine(double x1, double y1, double x2, double y2, const Color& c, int mode) override {
        Call call{"DrawLine", {}, {}, {}, c, mode};
        call.x1 = x1, call.y1 = y1, call.x2 = x2, call.y2 = y2;
        calls.push_back(call);
    }
    void Blt(Image*, int x, int y, const Rect& s, const Color& c, int mode) override {
        calls.push_back({"Blt", Rect(x, y, s.width, s.height), s, {}, c, mode});
    }
    void StretchBlt(Image*, const Rect& d, const FRect& s, const Color& c, int mode) override {
        calls.push_back({"StretchBlt", d, {}, s, c, mode});
    }
    std::vector<Call> calls;
};

// An image of a given size that draws nothing; a source for RecordingImage tests.
class SizedImage : public Image {
public:
    SizedImage(int w, int h) {
        width = w;
        height = h;
    }
};

}  // namespace Varn::Testing
