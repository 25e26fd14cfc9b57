// GemRenderer: see GemRenderer.h.
#include "tools/datagen/GemRenderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace Varn::DataGen {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kSuper = 4;
constexpr float kRadius = 22.3f * kSuper;

struct Vec3 {
    float x, y, z;
};
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator*(Vec3 a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}
float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Normalized(Vec3 a) {
    float l = std::sqrt(Dot(a, a));
    return l > 0 ? a * (1.0f / l) : a;
}

struct Triangle {
    Vec3 a, b, c;
    float jitter;  // per-facet brightness variation: the sparkle of a cut stone
};

using Outline = std::vector<std::array<float, 2>>;

Outline Regular(int n, float radius, float startDeg, float dy = 0) {
    Outline o;
    for (int i = 0; i < n; ++i) {
        float a = (startDeg + 360.0f * i / n) * kPi / 180.0f;
        o.push_back({radius * std::cos(a), radius * std::sin(a) + dy});
    }
    return o;
}

// Splits every edge into parts so that few-sided stones still get rich facets.
Outline Subdivided(const Outline& o, int parts) {
    Outline out;
    for (size_t i = 0; i < o.size(); ++i) {
        auto p = o[i], q = o[(i + 1) % o.size()];
        for (int k = 0; k < parts; ++k) {
            float t = static_cast<float>(k) / parts;
            out.push_back({p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t});
        }
    }
    return out;
}

Outline ShapeOf(int kind) {
    switch (kind) {
        case 0: {  // square with chamfered corners (emerald cut)
            float s = 0.8f, c = 0.2f;
            return Subdivided({{-s + c, -s},
                               {s - c, -s},
                               {s, -s + c},
                               {s, s - c},
                               {s - c, s},
                               {-s + c, s},
                               {-s, s - c},
                               {-s, -s + c}},
                              2);
        }
        case 1:
            return Regular(20, 0.86f, -90);  // round brilliant, smaller than the octagon
        case 2:
            return Subdivided(Regular(6, 1.0f, -90), 2);  // hexagon
        case 3:
            return Subdivided({{0, -1.04f}, {0.74f, 0}, {0, 1.04f}, {-0.74f, 0}}, 3);
        case 4:
            return Subdivided(Regular(3, 1.12f, -90, 0.16f), 4);  // triangle
        case 5: {                                                 // teardrop
            Outline o;
            for (int i = 0; i < 24; ++i) {
                float t = 2 * kPi * i / 24;
                o.push_back({0.9f * std::sin(t) * std::sin(t / 2), -1.02f * std::cos(t) + 0.06f});
            }
            return o;
        }
        default:
            return Subdivided(Regular(8, 1.06f, -67.5f), 2);  // octagon
    }
}

Vec3 Scale(std::array<float, 2> p, float k, float z) {
    return {p[0] * k, p[1] * k, z};
}
std::array<float, 2> Mid(std::array<float, 2> p, std::array<float, 2> q) {
    return {(p[0] + q[0]) / 2, (p[1] + q[1]) / 2};
}

// Crown (front), girdle and pavilion (back) of a stone with the given outline.
std::vector<Triangle> BuildStone(const Outline& o, uint32_t seed) {
    const float girdle = 0.05f, zStar = 0.3f, zTable = 0.46f, zLow = -0.34f, zApex = -0.8f;
    std::vector<Triangle> tris;
    Random rnd(seed);
    auto add = [&](Vec3 a, Vec3 b, Vec3 c) { tris.push_back({a, b, c, rnd.Signed() * 0.13f}); };
    size_t n = o.size();
    for (size_t i = 0; i < n; ++i) {
        auto p = o[i], q = o[(i + 1) % n], r = o[(i + 2) % n];
        Vec3 pf = Scale(p, 1, girdle), qf = Scale(q, 1, girdle);
        Vec3 pb = Scale(p, 1, -girdle), qb = Scale(q, 1, -girdle);
        Vec3 star = Scale(Mid(p, q), 0.76f, zStar), nextStar = Scale(Mid(q, r), 0.76f, zStar);
        Vec3 tp = Scale(p, 0.5f, zTable), tq = Scale(q, 0.5f, zTable);
        add(pf, qf, star);            // bezel
        add(star, qf, nextStar);      // upper girdle
        add(tp, star, tq);            // star facet
        add(star, nextStar, tq);      // kite
        add(tp, tq, {0, 0, zTable});  // table
        add(pf, qf, qb);              // girdle band
        add(pf, qb, pb);
        Vec3 low = Scale(Mid(p, q), 0.62f, zLow), nextLow = Scale(Mid(q, r), 0.62f, zLow);
        add(pb, qb, low);
        add(qb, nextLow, low);
        add(low, nextLow, {0, 0, zApex});
    }
    return tris;
}

struct Light {
    Vec3 key = Normalized({-0.45f, -0.7f, 0.62f});
    Vec3 fill = Normalized({0.6f, 0.5f, 0.5f});
    Vec3 view = {0, 0, 1};
};

// Colour of one facet with normal n at unit position (ux, uy).
Rgba ShadeFacet(const Rgba& base, Vec3 n, float jitter, float ux, float uy) {
    static const Light light;
    float diffuse = std::max(0.0f, Dot(n, light.key));
    float fill = std::max(0.0f, Dot(n, light.fill)) * 0.25f;
    Vec3 r = n * (2 * Dot(n, light.view)) - light.view;
    float sky = SmoothStep(-0.3f, 0.8f, -r.y);
    Vec3 h = Normalized(light.key + light.view);
    float nh = std::max(0.0f, Dot(n, h));
    float spec = std::pow(nh, 70.0f) * 1.3f + std::pow(nh, 14.0f) * 0.22f;
    float gradient = 1.0f + 0.22f * (-(ux + uy));
    float k = (0.16f + 0.55f * diffuse + 0.42f * sky + fill) * gradient * (1.0f + jitter);
    // Facets turned from the light keep a deep, saturated colour (the stone's body).
    float deep = (1.0f - diffuse) * 0.22f;
    Rgba c{base.r * k + base.r * base.r * deep, base.g * k + base.g * base.g * deep,
           base.b * k + base.b * base.b * deep, 1};
    c.r += spec;
    c.g += spec;
    c.b += spec;
    return c;
}

struct Raster {
    Canvas image{kGemCell * kSuper, kGemCell* kSuper};
    std::vector<float> depth =
        std::vector<float>(static_cast<size_t>(kGemCell * kSuper) * (kGemCell * kSuper), -1e9f);
    float centre = kGemCell * kSuper / 2.0f;
};

void DrawTriangle(Raster& ras, const Triangle& t, const Rgba& base, Vec3 normal) {
    auto sx = [&](Vec3 v) { return ras.centre + v.x * kRadius; };
    auto sy = [&](Vec3 v) { return ras.centre + v.y * kRadius; };
    float x0 = sx(t.a), y0 = sy(t.a), x1 = sx(t.b), y1 = sy(t.b), x2 = sx(t.c), y2 = sy(t.c);
    float area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (std::fabs(area) < 1e-3f) return;
    int minX = std::max(0, static_cast<int>(std::floor(std::min({x0, x1, x2}))));
    int maxX = std::min(ras.image.Width() - 1, static_cast<int>(std::ceil(std::max({x0, x1, x2}))));
    int minY = std::max(0, static_cast<int>(std::floor(std::min({y0, y1, y2}))));
    int maxY =
        std::min(ras.image.Height() - 1, static_cast<int>(std::ceil(std::max({y0, y1, y2}))));
    float e01 = std::hypot(x1 - x0, y1 - y0), e12 = std::hypot(x2 - x1, y2 - y1),
          e20 = std::hypot(x0 - x2, y0 - y2);
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float w0 = ((x1 - px) * (y2 - py) - (x2 - px) * (y1 - py)) / area;
            float w1 = ((x2 - px) * (y0 - py) - (x0 - px) * (y2 - py)) / area;
            float w2 = 1 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            float z = w0 * t.a.z + w1 * t.b.z + w2 * t.c.z;
            float& d = ras.depth[static_cast<size_t>(y) * ras.image.Width() + x];
            if (z <= d) continue;
            d = z;
            float ux = (px - ras.centre) / kRadius, uy = (py - ras.centre) / kRadius;
            Rgba c = ShadeFacet(base, normal, t.jitter, ux, uy);
            // Distance in pixels to the nearest edge: a faint bright line marks each cut.
            float edge = std::min({w0 * std::fabs(area) / e12, w1 * std::fabs(area) / e20,
                                   w2 * std::fabs(area) / e01});
            float line = Clamp01(1.0f - edge / 2.0f) * 0.07f;
            c = {c.r + line, c.g + line, c.b + line, 1};
            ras.image.At(x, y) = c;
        }
}

Canvas RenderStone(int kind, float angle) {
    std::vector<Triangle> tris = BuildStone(ShapeOf(kind), 101 + kind);
    float ca = std::cos(angle), sa = std::sin(angle);
    auto turn = [&](Vec3 v) { return Vec3{v.x * ca + v.z * sa, v.y, -v.x * sa + v.z * ca}; };
    Raster ras;
    Rgba base = GemColour(kind);
    for (Triangle t : tris) {
        Vec3 centroid = (t.a + t.b + t.c) * (1.0f / 3);
        Vec3 n = Normalized(Cross(t.b - t.a, t.c - t.a));
        if (Dot(n, centroid - Vec3{0, 0, -0.1f}) < 0) n = n * -1.0f;
        t = {turn(t.a), turn(t.b), turn(t.c), t.jitter};
        DrawTriangle(ras, t, base, turn(n));
    }
    return ras.image.Downsample(kSuper);
}

// A thin dark rim around the silhouette keeps the stone crisp on any background.
Canvas WithRim(const Canvas& stone, const Rgba& base) {
    Canvas out(stone.Width(), stone.Height());
    std::vector<float> halo = stone.DilatedAlpha(1);
    Rgba rim{base.r * 0.22f, base.g * 0.22f, base.b * 0.22f, 1};
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            out.At(x, y) = {rim.r, rim.g, rim.b,
                            halo[static_cast<size_t>(y) * out.Width() + x] * 0.85f};
    out.Draw(stone, 0, 0);
    return out;
}

}  // namespace

Rgba GemColour(int kind) {
    static const Rgba colours[kGemKinds] = {{1.0f, 0.13f, 0.18f, 1},  {0.84f, 0.89f, 1.0f, 1},
                                            {0.16f, 0.92f, 0.32f, 1}, {1.0f, 0.84f, 0.12f, 1},
                                            {0.74f, 0.25f, 1.0f, 1},  {1.0f, 0.52f, 0.1f, 1},
                                            {0.16f, 0.48f, 1.0f, 1}};
    return colours[kind % kGemKinds];
}

Canvas RenderGemSpin(int kind, int frame) {
    float angle = 2 * kPi * frame / kGemFrames;
    return WithRim(RenderStone(kind, angle), GemColour(kind));
}

Canvas RenderGemGlow(int kind, int frame) {
    Canvas stone = RenderStone(kind, 0);
    Rgba base = GemColour(kind);
    float pulse = 0.5f + 0.5f * std::sin(2 * kPi * frame / kGemFrames);
    float band = -1.7f + 3.4f * frame / (kGemFrames - 1);
    for (int y = 0; y < stone.Height(); ++y)
        for (int x = 0; x < stone.Width(); ++x) {
            Rgba& c = stone.At(x, y);
            if (c.a <= 0) continue;
            float ux = (x + 0.5f - 24.5f) / 22.3f, uy = (y + 0.5f - 24.5f) / 22.3f;
            float d = (ux + uy) / 1.414f - band;
            float shine = 0.65f * std::exp(-d * d / 0.05f);
            float inner = 0.22f + 0.12f * pulse;
            c = {c.r * 1.08f + base.r * inner * 0.8f + shine,
                 c.g * 1.08f + base.g * inner * 0.8f + shine,
                 c.b * 1.08f + base.b * inner * 0.8f + shine, c.a};
        }
    // A soft halo in the stone's colour around the silhouette.
    Canvas halo = stone.Blurred(2, 2);
    Canvas out(stone.Width(), stone.Height());
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) {
            float a = Clamp01(halo.At(x, y).a * (1.3f + 0.4f * pulse));
            out.At(x, y) = {Clamp01(base.r * 1.2f + 0.2f), Clamp01(base.g * 1.2f + 0.2f),
                            Clamp01(base.b * 1.2f + 0.2f), a * 0.9f};
        }
    out.Draw(WithRim(stone, base), 0, 0);
    return out;
}

Canvas RenderGemSheet() {
    Canvas sheet(780, 728);
    for (int k = 0; k < kGemKinds; ++k)
        for (int s = 0; s < kGemFrames; ++s) {
            sheet.Put(RenderGemSpin(k, s), 2 + 52 * s, 104 * k);
            sheet.Put(RenderGemGlow(k, s), 2 + 52 * s, 104 * k + 52);
        }
    return sheet;
}

}  // namespace Varn::DataGen
