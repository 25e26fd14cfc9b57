// StretchBlt against a plain transcription of the two-pass filter (doubles, std::floor,
// one cell at a time, no tables or vector code) on random pictures, rectangles and
// destinations, shrinking and enlarging on each axis independently.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "graphics/MemoryImage.h"
#include "tests/graphics/BlendReference.h"
#include "tests/graphics/PixelTestSupport.h"

namespace Varn {
namespace {

struct Cell {
    long long c[4] = {0, 0, 0, 0};
};

uint32_t At(const std::vector<uint32_t>& px, int w, int h, int x, int y) {
    return px[std::clamp(y, 0, h - 1) * w + std::clamp(x, 0, w - 1)];
}

void Add(Cell& cell, uint32_t p, long long weight) {
    for (int k = 0; k < 4; ++k) cell.c[k] += static_cast<long long>(p >> (8 * k) & 0xFF) * weight;
}

// Returns the filtered colour of every destination pixel (before blending).
std::vector<uint32_t> ReferenceStretch(const std::vector<uint32_t>& src, int sw, int sh,
                                       const Rect& d, const FRect& f) {
    double sx = f.width / d.width, sy = f.height / d.height;
    double x0 = std::floor(f.x), y0 = std::floor(f.y);
    int columns = int(std::ceil(f.x - x0 + f.width)), rows = int(std::ceil(f.y - y0 + f.height));
    int cells = d.width + 2;
    std::vector<std::vector<Cell>> first(rows + 1, std::vector<Cell>(cells));
    for (int r = 0; r <= rows; ++r) {
        int y = int(y0) + r;
        if (sx >= 1) {
            double k = 1 / sx;
            for (int i = 0; i < columns; ++i) {
                double b = (x0 - f.x) * k + 1 + k * i;
                double lo = std::floor(b), hi = std::floor(b + k);
                uint32_t p = At(src, sw, sh, int(x0) + i, y);
                if (lo == hi) {
                    if (lo >= 0 && lo < cells)
                        Add(first[r][int(lo)], p, (long long)std::floor(k * 257));
                } else {
                    if (lo >= 0 && lo < cells)
                        Add(first[r][int(lo)], p, (long long)std::floor((hi - b) * 257));
                    if (lo + 1 < cells)
                        Add(first[r][int(lo) + 1], p, (long long)std::floor((b + k - hi) * 257));
                }
            }
        } else {
            for (int i = 1; i <= d.width; ++i) {
                double p = sx * (i - 1) + f.x;
                long long wl = (long long)std::floor((1 - (p - std::floor(p))) * 257);
                Add(first[r][i], At(src, sw, sh, int(std::floor(p)), y), wl);
                Add(first[r][i], At(src, sw, sh, int(std::floor(p)) + 1, y), 257 - wl);
            }
        }
    }
    std::vector<std::vector<Cell>> second(d.height + 2, std::vector<Cell>(cells));
    auto addRow = [&](int from, int to, long long w) {
        if (from < 0 || from > rows || to < 0 || to >= d.height + 2) return;
        for (int c = 0; c < cells; ++c)
            for (int k = 0; k < 4; ++k) second[to][c].c[k] += first[from][c].c[k] * w;
    };
    if (sy >= 1) {
        double k = 1 / sy;
        for (int i = 0; i <= rows; ++i) {
            double b = (y0 - f.y) * k + 1 + k * i;
            double lo = std::floor(b), hi = std::floor(b + k);
            if (lo == hi) {
                addRow(i, int(lo), (long long)std::floor(k * 256));
            } else {
                addRow(i, int(lo), (long long)std::floor((hi - b) * 256));
                addRow(i, int(lo) + 1, (long long)std::floor((b + k - hi) * 256));
            }
        }
    } else {
        for (int i = 1; i <= d.height; ++i) {
            double q = sy * (i - 1) + (f.y - y0);
            long long wt = (long long)std::floor((1 - (q - std::floor(q))) * 256);
            addRow(int(std::floor(q)), i, wt);
            addRow(int(std::floor(q)) + 1, i, 256 - wt);
        }
    }
    std::vector<uint32_t> out(d.width * d.height);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            uint32_t p = 0;
            for (int k = 0; k < 4; ++k)
                p |= uint32_t(std::min(second[y + 1][x + 1].c[k] >> 16, 255LL)) << (8 * k);
            out[y * d.width + x] = p;
        }
    return out;
}

// Stretches src into a copy of dest and compares every pixel with the plain filter and
// the reference blend.
void ExpectMatchesPlainFilter(const std::vector<uint32_t>& src, int sw, int sh, const Rect& d,
                              const FRect& f, const std::vector<uint32_t>& dest, int dw, int dh) {
    MemoryImage s(nullptr), target(nullptr);
    s.SetBits(src.data(), sw, sh);
    target.SetBits(dest.data(), dw, dh);
    target.StretchBlt(&s, d, f, Color::White, DrawMode::Normal);
    std::vector<uint32_t> filtered = ReferenceStretch(src, sw, sh, d, f);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            int tx = d.x + x, ty = d.y + y;
            if (tx < 0 || ty < 0 || tx >= dw || ty >= dh) continue;
            uint32_t expected =
                Testing::ReferenceBlend(dest[ty * dw + tx], filtered[y * d.width + x]);
            ASSERT_EQ(Testing::PixelAt(target, tx, ty), expected)
                << "pixel " << x << "," << y << " source " << sw << "x" << sh << " into " << d.width
                << "x" << d.height;
        }
}

TEST(StretchReferenceTest, RandomStretchesMatchThePlainFilter) {
    std::mt19937 random(77);
    auto uniform = [&random](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    for (int round = 0; round < 300; ++round) {
        int sw = 1 + random() % 40, sh = 1 + random() % 40;
        std::vector<uint32_t> src(sw * sh);
        int alphaMode = random() % 3;
        for (auto& p : src) {
            uint32_t a = alphaMode == 0   ? 255
                         : alphaMode == 1 ? random() % 256
                                          : (random() % 2) * 255;
            p = (random() & 0xFFFFFF) | a << 24;
        }
        FRect f{uniform(0, sw * 0.5), uniform(0, sh * 0.5), 0, 0};
        f.width = uniform(0.3, sw - f.x);
        f.height = uniform(0.3, sh - f.y);
        Rect d(int(random() % 6), int(random() % 6), 1 + int(random() % 50),
               1 + int(random() % 50));
        const int dw = 60, dh = 60;
        std::vector<uint32_t> dest(dw * dh);
        bool opaqueDest = random() % 2 == 0;
        for (auto& p : dest) p = (random() & 0xFFFFFF) | (opaqueDest ? 255u : random() % 256) << 24;

        ExpectMatchesPlainFilter(src, sw, sh, d, f, dest, dw, dh);
        if (HasFailure()) FAIL() << "round " << round;
    }
}

TEST(StretchReferenceTest, ClippedStretchOverSeveralBandsMatchesThePlainFilter) {
    // Rows of 1500 filtered pixels are blended some 40 at a time; clipped on every side.
    std::mt19937 random(5);
    const int sw = 30, sh = 20, dw = 1400, dh = 100;
    std::vector<uint32_t> src(sw * sh), dest(dw * dh);
    for (auto& p : src) p = random();
    for (auto& p : dest) p = random() | 0xFF000000u;
    ExpectMatchesPlainFilter(src, sw, sh, Rect(-3, -2, 1500, 120), FRect{0.5, 0.25, 29, 19}, dest,
                             dw, dh);
}

}  // namespace
}  // namespace Varn
