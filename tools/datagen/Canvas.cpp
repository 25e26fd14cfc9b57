// Canvas: see Canvas.h.
#include "tools/datagen/Canvas.h"

#include <algorithm>
#include <cmath>

namespace Varn::DataGen {

Rgba Mix(const Rgba& x, const Rgba& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

Rgba Scaled(const Rgba& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}

Rgba FromBytes(int r, int g, int b, int a) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f};
}

float Clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float SmoothStep(float e0, float e1, float x) {
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

float SdCircle(float x, float y, float cx, float cy, float radius) {
    return std::hypot(x - cx, y - cy) - radius;
}

float SdRoundRect(float x, float y, float rx, float ry, float rw, float rh, float radius) {
    float cx = rx + rw / 2, cy = ry + rh / 2;
    float qx = std::fabs(x - cx) - (rw / 2 - radius);
    float qy = std::fabs(y - cy) - (rh / 2 - radius);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SdSegment(float x, float y, float ax, float ay, float bx, float by) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0;
    return std::hypot(px - dx * t, py - dy * t);
}

float SdPolygon(float x, float y, const std::vector<float>& xy) {
    size_t n = xy.size() / 2;
    float best = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        best = std::min(best, SdSegment(x, y, xi, yi, xj, yj));
        if (((yi > y) != (yj > y)) && (x < (xj - xi) * (y - yi) / (yj - yi) + xi)) inside = !inside;
    }
    return inside ? -best : best;
}

float Coverage(float distance) {
    return Clamp01(0.5f - distance);
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, const Rgba& c) {
    if (!Inside(x, y) || c.a <= 0) return;
    Rgba& d = At(x, y);
    float a = Clamp01(c.a);
    float outA = a + d.a * (1 - a);
    if (outA <= 0) {
        d = {};
        return;
    }
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Canvas::Add(int x, int y, const Rgba& c) {
    if (!Inside(x, y)) return;
    Rgba& d = At(x, y);
    d.r += c.r * c.a;
    d.g += c.g * c.a;
    d.b += c.b * c.a;
}

void Canvas::Paint(int x0, int y0, int w, int h, const std::function<Rgba(float, float)>& shade) {
    int xa = std::max(0, x0), ya = std::max(0, y0);
    int xb = std::min(width_, x0 + w), yb = std::min(height_, y0 + h);
    for (int y = ya; y < yb; ++y)
        for (int x = xa; x < xb; ++x) Blend(x, y, shade(x + 0.5f, y + 0.5f));
}

void Canvas::FillShape(int x0, int y0, int w, int h, const std::function<float(float, float)>& sd,
                       const std::function<Rgba(float, float)>& colour) {
    Paint(x0, y0, w, h, [&](float x, float y) {
        float cov = Coverage(sd(x, y));
        if (cov <= 0) return Rgba{};
        Rgba c = colour(x, y);
        c.a *= cov;
        return c;
    });
}

void Canvas::Draw(const Canvas& src, int dx, int dy, float opacity) {
    for (int y = 0; y < src.height_; ++y)
        for (int x = 0; x < src.width_; ++x) {
            Rgba c = src.At(x, y);
            c.a *= opacity;
            Blend(x + dx, y + dy, c);
        }
}

void Canvas::DrawAdditive(const Canvas& src, int dx, int dy, float opacity) {
    for (int y = 0; y < src.height_; ++y)
        for (int x = 0; x < src.width_; ++x) {
            Rgba c = src.At(x, y);
            c.a *= opacity;
            Add(x + dx, y + dy, c);
        }
}

void Canvas::Put(const Canvas& src, int dx, int dy) {
    for (int y = 0; y < src.height_; ++y)
        for (int x = 0; x < src.width_; ++x)
            if (Inside(x + dx, y + dy)) At(x + dx, y + dy) = src.At(x, y);
}

Canvas Canvas::Crop(int x, int y, int w, int h) const {
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (Inside(x + i, y + j)) out.At(i, j) = At(x + i, y + j);
    return out;
}

Canvas Canvas::Downsample(int factor) const {
    Canvas out(width_ / factor, height_ / factor);
    float n = static_cast<float>(factor * factor);
    for (int y = 0; y < out.height_; ++y)
        for (int x = 0; x < out.width_; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    const Rgba& c = At(x * factor + i, y * factor + j);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            Rgba& o = out.At(x, y);
            o.a = a / n;
            if (a > 0) o = {r / a, g / a, b / a, a / n};
        }
    return out;
}

namespace {

// One horizontal or vertical box pass over premultiplied channels.
void BoxPass(std::vector<Rgba>& px, int w, int h, int radius, bool horizontal) {
    std::vector<Rgba> line(static_cast<size_t>(horizontal ? w : h));
    int outer = horizontal ? h : w, len = horizontal ? w : h;
    float norm = 1.0f / (2 * radius + 1);
    for (int o = 0; o < outer; ++o) {
        auto idx = [&](int i) {
            i = std::clamp(i, 0, len - 1);
            return horizontal ? static_cast<size_t>(o) * w + i : static_cast<size_t>(i) * w + o;
        };
        Rgba sum{};
        for (int i = -radius; i <= radius; ++i) {
            const Rgba& c = px[idx(i)];
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, sum.a + c.a};
        }
        for (int i = 0; i < len; ++i) {
            line[i] = {sum.r * norm, sum.g * norm, sum.b * norm, sum.a * norm};
            const Rgba& add = px[idx(i + radius + 1)];
            const Rgba& sub = px[idx(i - radius)];
            sum = {sum.r + add.r - sub.r, sum.g + add.g - sub.g, sum.b + add.b - sub.b,
                   sum.a + add.a - sub.a};
        }
        for (int i = 0; i < len; ++i) px[idx(i)] = line[i];
    }
}

}  // namespace

Canvas Canvas::Blurred(int radius, int passes) const {
    Canvas out = *this;
    for (Rgba& c : out.pixels_) c = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    for (int p = 0; p < passes; ++p) {
        BoxPass(out.pixels_, width_, height_, radius, true);
        BoxPass(out.pixels_, width_, height_, radius, false);
    }
    for (Rgba& c : out.pixels_)
        if (c.a > 1e-6f) c = {c.r / c.a, c.g / c.a, c.b / c.a, c.a};
    return out;
}

std::vector<float> Canvas::DilatedAlpha(int radius) const {
    std::vector<float> out(pixels_.size(), 0.0f);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            float best = 0;
            for (int j = -radius; j <= radius; ++j)
                for (int i = -radius; i <= radius; ++i) {
                    if (!Inside(x + i, y + j)) continue;
                    float d = std::hypot(static_cast<float>(i), static_cast<float>(j));
                    float w = Clamp01(radius + 0.5f - d);
                    best = std::max(best, At(x + i, y + j).a * w);
                }
            out[static_cast<size_t>(y) * width_ + x] = best;
        }
    return out;
}

std::vector<uint8_t> Canvas::ToBytes() const {
    std::vector<uint8_t> out(pixels_.size() * 4);
    auto q = [](float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
    for (size_t i = 0; i < pixels_.size(); ++i) {
        out[4 * i] = q(pixels_[i].r);
        out[4 * i + 1] = q(pixels_[i].g);
        out[4 * i + 2] = q(pixels_[i].b);
        out[4 * i + 3] = q(pixels_[i].a);
    }
    return out;
}

uint32_t Random::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

namespace {

float Hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / 16777215.0f;
}

}  // namespace

float ValueNoise(float x, float y, uint32_t seed, int periodX) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    auto wrap = [&](int v) { return periodX > 0 ? ((v % periodX) + periodX) % periodX : v; };
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float a = Hash(wrap(xi), yi, seed), b = Hash(wrap(xi + 1), yi, seed);
    float c = Hash(wrap(xi), yi + 1, seed), d = Hash(wrap(xi + 1), yi + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

float FractalNoise(float x, float y, uint32_t seed, int octaves, int periodX) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += ValueNoise(x, y, seed + o * 17, periodX) * amp;
        norm += amp;
        x *= 2;
        y *= 2;
        periodX *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

}  // namespace Varn::DataGen
