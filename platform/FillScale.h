// The sharp fill of full screen: a picture enlarged by a factor of at least 1 that need not
// be whole. Each picture pixel becomes a block of whole output pixels; the one output pixel
// (column or row) on which two picture pixels meet takes both, weighted by how much of it
// each covers, in 64ths. Nothing else is blended, so the picture stays as crisp as whole
// multiples allow.
//
// One axis is a table of spans: for each output pixel, the picture pixel it starts in and
// that pixel's weight (64 for an output pixel inside one picture pixel; the rest goes to
// the next picture pixel). A row is scaled across by FillRowScaler; an output row on a
// boundary between two picture rows is the blend of the two rows scaled across.
//
// Pixels are 32-bit; every byte is blended alike: c = (a w + b (64 - w) + 32) / 64,
// truncated. The AVX-512 (byte and word) and AVX2 kernels give the bytes of the plain loops.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Varn {

// Widest: the widest kernel the processor runs; Avx2 is kept reachable for tests.
enum class FillKernel { Widest, Avx2, Plain };

constexpr int kFillWeightOne = 64;

struct FillSpan {
    int first = 0;   // the picture pixel the output pixel starts in
    int weight = 0;  // its share in 64ths; the rest is picture pixel first + 1's
};

// The spans of `outputCount` output pixels over `pictureCount` picture pixels; empty
// unless outputCount >= pictureCount > 0.
std::vector<FillSpan> FillSpans(int pictureCount, int outputCount);

struct OutputRange {
    int from = 0;
    int to = 0;
};
// The output pixels [from, to) that show anything of picture pixels [first, end).
OutputRange OutputPixelsOf(const std::vector<FillSpan>& spans, int first, int end);

// Scales rows of one width across. The tables are made once per placement.
class FillRowScaler {
public:
    FillRowScaler() = default;
    FillRowScaler(int pictureWidth, int outputWidth);

    int OutputWidth() const { return int(spans.size()); }
    const std::vector<FillSpan>& Spans() const { return spans; }
    // Writes output pixels [from, to) of a row of pictureWidth pixels into dest (the whole
    // output row); a vector kernel may also write the pixels of its group around them,
    // with their right values.
    void Scale(uint32_t* dest, const uint32_t* source, int from, int to,
               FillKernel kernel = FillKernel::Widest) const;

private:
    // Lanes output pixels: their picture pixels as offsets from `base` (which is -1 where
    // the group needs the plain loop), and the weights laid out as the kernel pairs bytes.
    // Per group of Lanes output pixels, the last one overlapping its neighbour where the
    // width is not a multiple. At a row's end the right load is masked to the pixels in the row
    // (rightCount): what it leaves out is shown by no pixel of the group.
    template <int Lanes>
    struct Group {
        alignas(64) int32_t lanes[Lanes];
        alignas(64) int8_t weights[8 * Lanes];
        int base = -1;
        int rightCount = Lanes;
        int start = 0;  // the output pixel of the first lane (the last group ends the row)
    };
    template <int Lanes>
    static std::vector<Group<Lanes>> MakeGroups(const std::vector<FillSpan>& spans,
                                                int pictureWidth);
    void ScalePlain(uint32_t* dest, const uint32_t* source, int from, int to) const;
    template <int Lanes, class Groups, class Kernel>
    void ScaleGroups(uint32_t* dest, const uint32_t* source, int from, int to, const Groups& table,
                     Kernel kernel) const;

    int pictureWidth = 0;
    std::vector<FillSpan> spans;
    // Per group of eight or sixteen output pixels: what the AVX2 or AVX-512 kernel uses.
    std::vector<Group<8>> groups;
    std::vector<Group<16>> wideGroups;
};

// dest = upper w + lower (64 - w), each byte, for `count` pixels.
void BlendFillRows(uint32_t* dest, const uint32_t* upper, const uint32_t* lower, int count,
                   int weight, FillKernel kernel = FillKernel::Widest);

// A picture filled to a shown size, painted a rectangle at a time: each output row a copy
// of its picture row scaled across or, on a boundary, the blend of two such rows. Each
// picture row is scaled across once per Paint, straight into its first whole output row
// where it can (two are kept; the rows above and below the rectangle are read again).
class PictureFill {
public:
    PictureFill() = default;
    PictureFill(int pictureWidth, int pictureHeight, int shownWidth, int shownHeight);

    int ShownWidth() const { return across.OutputWidth(); }
    int ShownHeight() const { return int(down.size()); }
    OutputRange ColumnsOf(int x, int end) const { return OutputPixelsOf(across.Spans(), x, end); }
    OutputRange RowsOf(int y, int end) const { return OutputPixelsOf(down, y, end); }
    // Paints the output rectangle `columns` x `rows` into `shown` (the shown picture's top
    // left corner, `pitch` bytes a row); pictureRow(y) gives picture row y, 32-bit pixels.
    template <class PictureRow>
    void Paint(uint8_t* shown, size_t pitch, OutputRange columns, OutputRange rows,
               PictureRow pictureRow, FillKernel kernel = FillKernel::Widest);

private:
    FillRowScaler across;
    int lastRow = 0;
    std::vector<FillSpan> down;
    struct KeptRow {
        int y = -1;
        uint32_t* pixels = nullptr;
    };
    KeptRow kept[2];
    std::vector<uint32_t> spare[2];
};

template <class PictureRow>
void PictureFill::Paint(uint8_t* shown, size_t pitch, OutputRange columns, OutputRange rows,
                        PictureRow pictureRow, FillKernel kernel) {
    columns.to = std::min(columns.to, ShownWidth());
    rows.to = std::min(rows.to, ShownHeight());
    int width = columns.to - columns.from;
    if (width <= 0) return;
    for (KeptRow& row : kept) row.y = -1;
    auto outputRow = [&](int t) { return reinterpret_cast<uint32_t*>(shown + size_t(t) * pitch); };
    // Picture row y scaled across, into `target` (an output row) or else a spare row, unless
    // it is kept already. The two kept rows alternate by parity: a boundary needs y, y + 1.
    auto scaledRow = [&](int y, uint32_t* target) {
        KeptRow& row = kept[y & 1];
        if (row.y != y) {
            row.y = y;
            row.pixels = target ? target : spare[y & 1].data();
            across.Scale(row.pixels, pictureRow(y), columns.from, columns.to, kernel);
        }
        return row.pixels;
    };
    auto paintWhole = [&](int t) {
        uint32_t* dest = outputRow(t);
        const uint32_t* row = scaledRow(down[size_t(t)].first, dest);
        if (row != dest) std::copy(row + columns.from, row + columns.to, dest + columns.from);
    };
    for (int t = std::max(rows.from, 0); t < rows.to; ++t) {
        const FillSpan& span = down[size_t(t)];
        if (span.weight == kFillWeightOne) {
            paintWhole(t);
            continue;
        }
        // A boundary: the next picture row goes straight into its first output row where
        // that follows, so no copy of it is made.
        int next = std::min(span.first + 1, lastRow);
        bool nextWhole = t + 1 < rows.to && down[size_t(t) + 1].weight == kFillWeightOne &&
                         down[size_t(t) + 1].first == next;
        const uint32_t* upper = scaledRow(span.first, nullptr) + columns.from;
        if (nextWhole) paintWhole(t + 1);
        const uint32_t* lower = scaledRow(next, nullptr) + columns.from;
        BlendFillRows(outputRow(t) + columns.from, upper, lower, width, span.weight, kernel);
        if (nextWhole) ++t;
    }
}

}  // namespace Varn
