// The two filtering passes of StretchBlt as plain loops, SSE2 and AVX2; MemoryImageStretch
// plans the taps, these run them. Every kernel gives the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/PixelBlend.h"

namespace Varn::StretchKernels {

// A source column feeding a first-pass cell with a weight (x257).
struct Gather {
    int cell;
    int column;
    uint32_t weight;
};

// A first-pass row added with a weight (x256) into one destination row.
struct RowTap {
    int destRow;  // 1 .. destination height
    int firstRow;
    uint32_t weight;
};

// First pass: four source rows into four first-pass rows of `cells` cells, four 16-bit
// channels each. Cell c sums gathers[cellStart[c]] up to gathers[cellStart[c + 1]]; a
// channel never exceeds 257 x 255 = 65535.
void HorizontalRows(PixelBlend::Kernels kernels, const uint32_t* const in[4],
                    uint16_t* const out[4], int cells, const Gather* gathers, const int* cellStart);

// A faster first pass for AVX2 when every eight neighbouring cells draw on at most
// sixteen neighbouring source columns (shrinking by less than 1.75, and every enlargement):
// the sixteen are loaded at once and each tap picks its columns from them in registers.
struct alignas(32) WindowTap {
    int32_t index[8];   // column within the window per cell; bit 31 marks the upper eight
    uint16_t low[16];   // weights of cells 0, 1, 4, 5, each four times (the unpacking order)
    uint16_t high[16];  // weights of cells 2, 3, 6, 7
};
struct WindowPlan {
    bool usable = false;
    int tapsPerCell = 0;
    std::vector<int> bases;       // first window column per group of eight cells
    std::vector<WindowTap> taps;  // tapsPerCell per group
};

// Plans windows for `cells` cells of tapsPerCell gathers each (padding has weight 0) over
// a source row of sourceWidth pixels; plan.usable tells whether it could.
void PlanWindows(const Gather* gathers, int cells, int tapsPerCell, int sourceWidth,
                 WindowPlan& plan);

// One source row into one first-pass row (cells rounded up to a multiple of eight).
void HorizontalRowWindows(const WindowPlan& plan, const uint32_t* in, uint16_t* out);

// Second pass: destination row pixels[0 .. width) from the first-pass rows named by taps
// [0, count), whose weights add up to at most 256: each channel is the weighted sum
// shifted right by 16. Reads first-pass cells 1 .. width rounded up to a multiple of
// eight (rows must hold that many cells plus one) and writes pixels up to that multiple.
void VerticalRow(PixelBlend::Kernels kernels, const uint16_t* first, int laneStride,
                 const RowTap* taps, std::size_t count, int width, uint32_t* pixels);

}  // namespace Varn::StretchKernels
