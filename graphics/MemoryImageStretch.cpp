// MemoryImage::StretchBlt: area-weighted scaling in two separable passes.
// Pass one filters each touched source row horizontally into fixed-point accumulators
// (weights x257), pass two filters those rows vertically (weights x256), so every
// accumulated channel shifted right by 16 is 0-255. Both passes have a guard cell on each
// side; cell 1 is destination column (or row) 0. Source reads beyond the right or bottom
// edge take the last column or row; reads are clamped to the picture on every side.
// Speed without changing the arithmetic: the taps of both passes are worked out once per
// call (and kept for a run of equal stretches); each cell gathers its few taps and is
// stored once; a first-pass channel never exceeds 257 x 255 = 65535, so it is kept in 16
// bits; the second pass runs one destination row at a time straight into pixels; SSE2 does
// the multiply-adds and the final blend over opaque destinations (the scalar loops are the
// fallback and are tested by building with -U__SSE2__).
#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"

namespace Varn {

namespace {

// One source column (or first-pass row) feeding one cell with a weight and, when it
// straddles a cell boundary, the next cell with a second weight.
struct Tap {
    int source;
    int cell;
    uint32_t first;
    uint32_t second;  // into cell + 1
};

// floor() for the bounded values here (well inside 64-bit range); the library call is
// not inlined without SSE4.1 and dominated the tap set-up.
double Floor(double x) {
    double t = double(int64_t(x));
    return t > x ? t - 1 : t;
}

Tap ShrinkTap(int source, double b, double k, int scale) {
    double lo = Floor(b);
    double hi = Floor(b + k);
    if (lo == hi) return Tap{source, int(lo), uint32_t(Floor(k * scale)), 0};
    return Tap{source, int(lo), uint32_t(Floor((hi - b) * scale)),
               uint32_t(Floor((b + k - hi) * scale))};
}

// An enlarging sample: position p between source[floor(p)] (weight first) and the next.
Tap EnlargeTap(double p, int cell, int scale) {
    double whole = Floor(p);
    uint32_t first = uint32_t(Floor((1 - (p - whole)) * scale));
    return Tap{int(whole), cell, first, uint32_t(scale) - first};
}

// A first-pass row added with a weight into one destination row.
struct RowTap {
    int destRow;  // 1 .. destination height
    int firstRow;
    uint32_t weight;
};

// A source column feeding a first-pass cell with a weight (x257).
struct Gather {
    int cell;
    int column;
    uint32_t weight;
};

// The working memory of a stretch, kept per thread so repeated draws do not allocate.
struct Scratch {
    // The taps depend only on these; a run of equal stretches (a board of sprites) reuses
    // them.
    struct Key {
        int sourceWidth = -1, sourceHeight = -1, destWidth = -1, destHeight = -1;
        double x = 0, y = 0, width = 0, height = 0;
        friend bool operator==(const Key&, const Key&) = default;
    } key;
    std::vector<Gather> gathers;
    std::vector<int> cellStart;
    std::vector<RowTap> rowTaps;

    std::vector<uint16_t> first;
    std::vector<uint32_t> pixels;
};

#if !defined(__SSE2__)
void AddPixel(uint16_t* cell, uint32_t pixel, uint32_t weight) {
    cell[0] = uint16_t(cell[0] + (pixel & 0xFF) * weight);
    cell[1] = uint16_t(cell[1] + (pixel >> 8 & 0xFF) * weight);
    cell[2] = uint16_t(cell[2] + (pixel >> 16 & 0xFF) * weight);
    cell[3] = uint16_t(cell[3] + (pixel >> 24) * weight);
}
#endif

class Stretcher {
public:
    Stretcher(const uint32_t* pixels, int w, int h, const Rect& dest, const FRect& src,
              Scratch& memory)
        : bits(pixels),
          sourceWidth(w),
          sourceHeight(h),
          d(dest),
          f(src),
          scratch(memory),
          gathers(memory.gathers),
          cellStart(memory.cellStart),
          rowTaps(memory.rowTaps),
          first(memory.first) {
        x0 = std::floor(f.x);
        y0 = std::floor(f.y);
        rows = int(std::ceil(f.y - y0 + f.height));
        cellsPerRow = d.width + 2;
        // Two spare cells per row: the second pass reads cells four at a time.
        laneStride = (cellsPerRow + 2) * 4;
        Scratch::Key key{w, h, d.width, d.height, f.x, f.y, f.width, f.height};
        if (key == memory.key) return;
        memory.key = Scratch::Key();  // stays invalid should building be interrupted
        rowTaps.clear();
        BuildHorizontalTaps();
        BuildRowTaps();
        memory.key = key;
    }

    // Runs the first pass over every touched source row, four rows at a time: they share
    // their taps, so each weight is set up once for all four.
    void FilterRows() {
        first.resize(std::size_t(rows + 1) * laneStride);  // every cell is written below
        for (int r = 0; r <= rows; r += 4) {
            const uint32_t* in[4];
            uint16_t* out[4];
            for (int k = 0; k < 4; ++k) {
                int row = std::min(r + k, rows);  // repeats of the last row rewrite it alike
                in[k] = SourceRow(int(y0) + row);
                out[k] = &first[row * laneStride];
            }
            HorizontalRows(in, out);
        }
    }

    // Calls draw(destination row, its filtered pixels) for every destination row.
    template <typename DrawRow>
    void ForEachRow(DrawRow draw) const {
        std::vector<uint32_t>& pixels = scratch.pixels;
        pixels.assign(std::size_t(d.width) + 3, 0u);  // groups of four may run past the end
        std::size_t next = 0;
        for (int row = 1; row <= d.height; ++row) {
            std::size_t end = next;
            while (end < rowTaps.size() && rowTaps[end].destRow == row) ++end;
            VerticalRow(next, end, pixels.data());
            next = end;
            draw(row - 1, pixels.data());
        }
    }

private:
    const uint32_t* SourceRow(int y) const {
        return bits + std::size_t(std::clamp(y, 0, sourceHeight - 1)) * sourceWidth;
    }
    int SourceColumn(int x) const { return std::clamp(x, 0, sourceWidth - 1); }

    // Lists, for every cell, the source columns feeding it and their weights, so each cell
    // is summed in registers and stored once.
    void BuildHorizontalTaps() {
        std::vector<Gather>& list = scratch.gathers;
        list.clear();
        auto add = [&](int cell, int column, uint32_t weight) {
            if (cell >= 0 && cell < cellsPerRow && weight != 0)
                list.push_back(Gather{cell, SourceColumn(column), weight});
        };
        double sx = f.width / d.width;
        if (sx >= 1) {
            double k = 1 / sx;
            int columns = int(std::ceil(f.x - x0 + f.width));
            for (int i = 0; i < columns; ++i) {
                Tap tap = ShrinkTap(int(x0) + i, (x0 - f.x) * k + 1 + k * i, k, 257);
                add(tap.cell, tap.source, tap.first);
                add(tap.cell + 1, tap.source, tap.second);
            }
        } else {
            for (int i = 1; i <= d.width; ++i) {
                Tap tap = EnlargeTap(sx * (i - 1) + f.x, i, 257);
                add(i, tap.source, tap.first);
                add(i, tap.source + 1, tap.second);
            }
        }
        // Cells come in order except where rounding lets a span start a hair early.
        auto byCell = [](const Gather& a, const Gather& b) { return a.cell < b.cell; };
        if (!std::is_sorted(list.begin(), list.end(), byCell))
            std::stable_sort(list.begin(), list.end(), byCell);
        std::vector<int>& start = scratch.cellStart;
        start.assign(cellsPerRow + 1, 0);
        for (const Gather& g : list) ++start[g.cell + 1];
        for (int c = 0; c < cellsPerRow; ++c) start[c + 1] += start[c];
    }

    void BuildRowTaps() {
        double sy = f.height / d.height;
        auto add = [this](int destRow, int firstRow, uint32_t weight) {
            if (destRow >= 1 && destRow <= d.height && firstRow >= 0 && firstRow <= rows &&
                weight != 0)
                rowTaps.push_back(RowTap{destRow, firstRow, weight});
        };
        if (sy >= 1) {
            double k = 1 / sy;
            for (int i = 0; i <= rows; ++i) {
                Tap tap = ShrinkTap(i, (y0 - f.y) * k + 1 + k * i, k, 256);
                add(tap.cell, i, tap.first);
                add(tap.cell + 1, i, tap.second);
            }
        } else {
            for (int i = 1; i <= d.height; ++i) {
                Tap tap = EnlargeTap(sy * (i - 1) + (f.y - y0), i, 256);
                add(i, tap.source, tap.first);
                add(i, tap.source + 1, tap.second);
            }
        }
        auto byRow = [](const RowTap& a, const RowTap& b) { return a.destRow < b.destRow; };
        if (!std::is_sorted(rowTaps.begin(), rowTaps.end(), byRow))
            std::stable_sort(rowTaps.begin(), rowTaps.end(), byRow);
    }

    // Filters four source rows into four first-pass rows.
    void HorizontalRows(const uint32_t* const in[4], uint16_t* const out[4]) const {
        for (int cell = 0; cell < cellsPerRow; ++cell) {
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            __m128i sum01 = zero, sum23 = zero;
            for (int g = cellStart[cell]; g < cellStart[cell + 1]; ++g) {
                int column = gathers[g].column;
                __m128i w = _mm_set1_epi16(short(gathers[g].weight));
                __m128i p01 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(in[0][column])),
                                                 _mm_cvtsi32_si128(int(in[1][column])));
                __m128i p23 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(in[2][column])),
                                                 _mm_cvtsi32_si128(int(in[3][column])));
                sum01 = _mm_add_epi16(sum01, _mm_mullo_epi16(_mm_unpacklo_epi8(p01, zero), w));
                sum23 = _mm_add_epi16(sum23, _mm_mullo_epi16(_mm_unpacklo_epi8(p23, zero), w));
            }
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out[0] + cell * 4), sum01);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out[1] + cell * 4),
                             _mm_unpackhi_epi64(sum01, sum01));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out[2] + cell * 4), sum23);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out[3] + cell * 4),
                             _mm_unpackhi_epi64(sum23, sum23));
#else
            uint16_t sum[4][4] = {};
            for (int g = cellStart[cell]; g < cellStart[cell + 1]; ++g)
                for (int k = 0; k < 4; ++k)
                    AddPixel(sum[k], in[k][gathers[g].column], gathers[g].weight);
            for (int k = 0; k < 4; ++k) std::copy(sum[k], sum[k] + 4, out[k] + cell * 4);
#endif
        }
    }

    // One destination row from row taps [begin, end): the weighted first-pass rows summed
    // in 32 bits (65535 x 256 each), shifted right by 16 and capped at 255 (the cap only
    // guards against rounding in the tap positions). Four cells share one pass.
    void VerticalRow(std::size_t begin, std::size_t end, uint32_t* pixels) const {
#if defined(__SSE2__)
        auto widen = [](__m128i v, __m128i w, __m128i& low, __m128i& high) {
            __m128i lo = _mm_mullo_epi16(v, w), hi = _mm_mulhi_epu16(v, w);
            low = _mm_add_epi32(low, _mm_unpacklo_epi16(lo, hi));
            high = _mm_add_epi32(high, _mm_unpackhi_epi16(lo, hi));
        };
        for (int cell = 1; cell <= d.width; cell += 4) {
            __m128i sums[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(),
                               _mm_setzero_si128()};
            for (std::size_t t = begin; t < end; ++t) {
                const uint16_t* from = &first[rowTaps[t].firstRow * laneStride + cell * 4];
                __m128i w = _mm_set1_epi16(short(rowTaps[t].weight));
                widen(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), w, sums[0], sums[1]);
                widen(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 8)), w, sums[2],
                      sums[3]);
            }
            __m128i first2 =
                _mm_packs_epi32(_mm_srli_epi32(sums[0], 16), _mm_srli_epi32(sums[1], 16));
            __m128i next2 =
                _mm_packs_epi32(_mm_srli_epi32(sums[2], 16), _mm_srli_epi32(sums[3], 16));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + cell - 1),
                             _mm_packus_epi16(first2, next2));
        }
#else
        for (int cell = 1; cell <= d.width; ++cell) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (std::size_t t = begin; t < end; ++t) {
                const uint16_t* from = &first[rowTaps[t].firstRow * laneStride + cell * 4];
                for (int k = 0; k < 4; ++k) sum[k] += uint32_t(from[k]) * rowTaps[t].weight;
            }
            uint32_t pixel = 0;
            for (int k = 0; k < 4; ++k) pixel |= std::min(sum[k] >> 16, 255u) << (8 * k);
            pixels[cell - 1] = pixel;
        }
#endif
    }

    const uint32_t* bits;
    int sourceWidth;
    int sourceHeight;
    Rect d;
    FRect f;
    double x0 = 0;
    double y0 = 0;
    int rows = 0;
    int cellsPerRow = 0;
    int laneStride = 0;
    Scratch& scratch;
    // Per cell, gathers[cellStart[cell]] up to gathers[cellStart[cell + 1]].
    const std::vector<Gather>& gathers;
    const std::vector<int>& cellStart;
    std::vector<RowTap>& rowTaps;
    std::vector<uint16_t>& first;
};

// Source rectangles this far beyond any picture are refused rather than filtered for ages.
constexpr double kMaxSourceSpan = 1 << 20;

bool UsableStretch(const Rect& d, const FRect& f) {
    auto finite = [](double v) { return std::isfinite(v) && std::fabs(v) < kMaxSourceSpan; };
    return d.width > 0 && d.height > 0 && d.width < (1 << 16) && d.height < (1 << 16) &&
           finite(f.x) && finite(f.y) && finite(f.width) && finite(f.height) && f.width > 0 &&
           f.height > 0;
}

}  // namespace

void MemoryImage::StretchBlt(Image* source, const Rect& destRect, const FRect& sourceRect,
                             const Color&, int) {
    auto* src = dynamic_cast<MemoryImage*>(source);
    if (!src || src->width <= 0 || src->height <= 0 || !UsableStretch(destRect, sourceRect)) return;
    thread_local Scratch scratch;
    Stretcher stretcher(src->GetBits(), src->width, src->height, destRect, sourceRect, scratch);
    stretcher.FilterRows();
    uint32_t* out = GetBits();
    int firstColumn = std::max(0, -destRect.x);
    int lastColumn = std::min(destRect.width, width - destRect.x);
    stretcher.ForEachRow([&](int row, const uint32_t* pixels) {
        int y = destRect.y + row;
        if (y < 0 || y >= height || firstColumn >= lastColumn) return;
        uint32_t* destRow = out + std::size_t(y) * width;
        PixelBlend::BlendRow(destRow + destRect.x + firstColumn, pixels + firstColumn,
                             lastColumn - firstColumn);
    });
    BitsChanged();
}

}  // namespace Varn
