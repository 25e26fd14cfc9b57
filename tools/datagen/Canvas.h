// Canvas: the generator's working picture, straight-alpha RGBA in floats (0..1),
// with the few compositing and shape-filling operations the artwork needs.
// Shapes are filled from signed distance functions, so every edge is
// anti-aliased the same way. Limits: no clipping stack, no transforms; callers
// pass absolute pixel coordinates. Floats are only turned into bytes at the
// end (ToBytes), rounding the same way on every run, so output is deterministic.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace Varn::DataGen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

Rgba Mix(const Rgba& x, const Rgba& y, float t);
Rgba Scaled(const Rgba& c, float k);  // scales r, g, b, keeps alpha
Rgba FromBytes(int r, int g, int b, int a = 255);
float Clamp01(float v);
float SmoothStep(float e0, float e1, float x);

// Signed distance helpers (negative inside).
float SdCircle(float x, float y, float cx, float cy, float radius);
float SdRoundRect(float x, float y, float rx, float ry, float rw, float rh, float radius);
float SdSegment(float x, float y, float ax, float ay, float bx, float by);
float SdPolygon(float x, float y, const std::vector<float>& xy);  // xy = x0,y0,x1,y1,...
// Coverage of a pixel for a distance: 1 inside, 0 outside, linear over one pixel.
float Coverage(float distance);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgba fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgba& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Source-over blend of one colour onto one pixel; out-of-range is ignored.
    void Blend(int x, int y, const Rgba& c);
    void Add(int x, int y, const Rgba& c);  // additive light, alpha kept

    // Fills the pixels of the box (x0, y0, w, h) where shade returns a colour whose
    // alpha already includes coverage; the colour is blended over the canvas.
    void Paint(int x0, int y0, int w, int h, const std::function<Rgba(float, float)>& shade);
    // Fills a shape given by its distance function with a colour function.
    void FillShape(int x0, int y0, int w, int h, const std::function<float(float, float)>& sd,
                   const std::function<Rgba(float, float)>& colour);

    // Copies (blends) another canvas at (dx, dy).
    void Draw(const Canvas& src, int dx, int dy, float opacity = 1.0f);
    void DrawAdditive(const Canvas& src, int dx, int dy, float opacity = 1.0f);
    // Replaces a region by another canvas's pixels, no blending.
    void Put(const Canvas& src, int dx, int dy);
    Canvas Crop(int x, int y, int w, int h) const;
    // Box-filter downscale by an integer factor (supersampled renders).
    Canvas Downsample(int factor) const;
    // Separable box blur of all four channels, premultiplied so edges do not darken.
    Canvas Blurred(int radius, int passes = 2) const;
    // Dilated alpha (a disc of the radius), used for outlines and drop shadows.
    std::vector<float> DilatedAlpha(int radius) const;

    // 8-bit RGBA, rows top to bottom.
    std::vector<uint8_t> ToBytes() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgba> pixels_;
};

// Deterministic pseudo-random numbers (never the C library's, never seeded by time).
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    uint32_t Next();
    float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }  // [0, 1)
    float Signed() { return Unit() * 2.0f - 1.0f; }                         // [-1, 1)

private:
    uint32_t state_;
};

// Smooth value noise with integer-lattice hashing, periodic in x with the period.
float ValueNoise(float x, float y, uint32_t seed, int periodX = 0);
float FractalNoise(float x, float y, uint32_t seed, int octaves, int periodX = 0);

}  // namespace Varn::DataGen
