// MemoryImage::StretchBlt: area-weighted scaling in two separable passes.
// Pass one filters each touched source row horizontally into fixed-point accumulators
// (weights x257), pass two filters those rows vertically (weights x256), so every
// accumulated channel shifted right by 16 is 0-255. Both passes have a guard cell on each
// side; cell 1 is destination column (or row) 0. Source reads beyond the right or bottom
// edge take the last column or row; reads are clamped to the picture on every side.
// Speed without changing the arithmetic: the taps of both passes are worked out once per
// call (and kept for a run of equal stretches); each cell gathers its few taps and is
// stored once; a first-pass channel never exceeds 257 x 255 = 65535, so it is kept in 16
// bits; the second pass runs one destination row at a time straight into pixels. The
// passes themselves (plain, SSE2, AVX2) are in StretchKernels, the blend in PixelBlend.
#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"
#include "graphics/StretchKernels.h"

namespace Varn {

namespace {

using StretchKernels::Gather;
using StretchKernels::RowTap;

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
    std::vector<Gather> padded;
    StretchKernels::WindowPlan windows;
    std::vector<RowTap> rowTaps;

    std::vector<uint16_t> first;
    std::vector<uint32_t> pixels;
};

// Filtered pixels kept at once before blending: a band of rows, about 256 KB.
constexpr int kBandPixels = 1 << 16;

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
        // Spare cells: the second pass reads cells eight at a time from cell 1.
        laneStride = (d.width + 10) * 4;
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
        if (kernels == PixelBlend::Kernels::Widest && scratch.windows.usable) {
            for (int row = 0; row <= rows; ++row)
                StretchKernels::HorizontalRowWindows(scratch.windows, SourceRow(int(y0) + row),
                                                     &first[row * laneStride]);
            return;
        }
        for (int r = 0; r <= rows; r += 4) {
            const uint32_t* in[4];
            uint16_t* out[4];
            for (int k = 0; k < 4; ++k) {
                int row = std::min(r + k, rows);  // repeats of the last row rewrite it alike
                in[k] = SourceRow(int(y0) + row);
                out[k] = &first[row * laneStride];
            }
            StretchKernels::HorizontalRows(kernels, in, out, cellsPerRow, gathers.data(),
                                           cellStart.data());
        }
    }

    // Filters destination rows [begin, end) in bands of at most kBandPixels and calls
    // draw(first row of the band, rows in it, their pixels, pixels per row) for each band,
    // so that the blend takes a whole band at once.
    template <typename DrawBand>
    void ForEachBand(int begin, int end, DrawBand draw) const {
        int stride = d.width + 8;  // groups of eight may run past the end of a row
        int bandRows = std::max(1, kBandPixels / stride);
        std::vector<uint32_t>& pixels = scratch.pixels;
        pixels.assign(std::size_t(std::min(bandRows, end - begin)) * stride, 0u);
        std::size_t next = 0;
        for (int band = begin; band < end; band += bandRows) {
            int count = std::min(bandRows, end - band);
            for (int row = band; row < band + count; ++row) {
                while (next < rowTaps.size() && rowTaps[next].destRow < row + 1) ++next;
                std::size_t last = next;
                while (last < rowTaps.size() && rowTaps[last].destRow == row + 1) ++last;
                StretchKernels::VerticalRow(kernels, first.data(), laneStride,
                                            rowTaps.data() + next, last - next, d.width,
                                            pixels.data() + std::size_t(row - band) * stride);
                next = last;
            }
            draw(band, count, pixels.data(), stride);
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
        PadToEqualCounts(list);
        StretchKernels::PlanWindows(list.data(), cellsPerRow, scratch.cellStart[1], sourceWidth,
                                    scratch.windows);
    }

    // Gives every cell as many gathers as the fullest one, padding with weight 0, so that
    // the kernels run a fixed count per cell: a loop whose length changes from cell to
    // cell costs a mispredicted branch in most cells.
    void PadToEqualCounts(std::vector<Gather>& list) {
        std::vector<int>& start = scratch.cellStart;
        start.assign(cellsPerRow + 1, 0);
        for (const Gather& g : list) ++start[g.cell + 1];
        int most = *std::max_element(start.begin(), start.end());
        std::vector<Gather>& padded = scratch.padded;
        padded.assign(std::size_t(cellsPerRow) * most, Gather{0, SourceColumn(0), 0});
        for (int c = 0; c < cellsPerRow; ++c) start[c + 1] += start[c];
        for (int c = 0; c < cellsPerRow; ++c)
            std::copy(list.begin() + start[c], list.begin() + start[c + 1],
                      padded.begin() + std::ptrdiff_t(c) * most);
        for (int c = 0; c <= cellsPerRow; ++c) start[c] = c * most;
        list.swap(padded);
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
    PixelBlend::Kernels kernels = PixelBlend::KernelsInUse();
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
    int firstColumn = std::max(0, -destRect.x);
    int lastColumn = std::min(destRect.width, width - destRect.x);
    int firstRow = std::max(0, -destRect.y);
    int lastRow = std::min(destRect.height, height - destRect.y);
    if (firstColumn < lastColumn && firstRow < lastRow) {
        uint32_t* out = GetBits();
        stretcher.ForEachBand(
            firstRow, lastRow, [&](int row, int rows, const uint32_t* pixels, int stride) {
                uint32_t* at =
                    out + std::size_t(destRect.y + row) * width + destRect.x + firstColumn;
                PixelBlend::BlendRows(PixelBlend::RowSpan{at, width, pixels + firstColumn, stride,
                                                          lastColumn - firstColumn, rows});
            });
    }
    BitsChanged();
}

}  // namespace Varn
