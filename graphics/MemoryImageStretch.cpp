// MemoryImage::StretchBlt: area-weighted scaling in two separable passes.
// Pass one filters each touched source row horizontally into fixed-point accumulators
// (weights x257), pass two filters those rows vertically (weights x256), so every
// accumulated channel shifted right by 16 is 0-255. Both buffers have a guard cell on each
// side; cell 1 is destination column (or row) 0. Source reads beyond the right or bottom
// edge take the last column or row; reads are clamped to the picture on every side.
#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"

namespace Varn {

namespace {

struct Cell {
    uint32_t c[4] = {0, 0, 0, 0};  // red, green, blue, alpha
};

void AddWeighted(Cell& cell, uint32_t pixel, uint32_t weight) {
    cell.c[0] += (pixel & 0xFF) * weight;
    cell.c[1] += (pixel >> 8 & 0xFF) * weight;
    cell.c[2] += (pixel >> 16 & 0xFF) * weight;
    cell.c[3] += (pixel >> 24) * weight;
}

void AddWeighted(Cell& cell, const Cell& from, uint32_t weight) {
    for (int i = 0; i < 4; ++i) cell.c[i] += from.c[i] * weight;
}

// Where one source column (or first-pass row) lands: a whole weight in one cell, or split
// between two neighbouring cells. scale is the fixed-point one (257 or 256).
struct Span {
    int first;
    uint32_t firstWeight;
    uint32_t secondWeight;  // into first + 1
};

Span ShrinkSpan(double b, double k, int scale) {
    double lo = std::floor(b);
    double hi = std::floor(b + k);
    if (lo == hi) return Span{int(lo), uint32_t(std::floor(k * scale)), 0};
    return Span{int(lo), uint32_t(std::floor((hi - b) * scale)),
                uint32_t(std::floor((b + k - hi) * scale))};
}

class Stretcher {
public:
    Stretcher(const uint32_t* pixels, int w, int h, const Rect& dest, const FRect& src)
        : bits(pixels), sourceWidth(w), sourceHeight(h), d(dest), f(src) {
        x0 = std::floor(f.x);
        y0 = std::floor(f.y);
        columns = int(std::ceil(f.x - x0 + f.width));
        rows = int(std::ceil(f.y - y0 + f.height));
        cellsPerRow = d.width + 2;
    }

    // Fills the second-pass buffer: (d.height + 2) rows of (d.width + 2) cells.
    std::vector<Cell> Run() {
        std::vector<Cell> first(std::size_t(rows + 1) * cellsPerRow);
        for (int r = 0; r <= rows; ++r)
            HorizontalRow(SourceRow(int(y0) + r), &first[r * cellsPerRow]);
        std::vector<Cell> second(std::size_t(d.height + 2) * cellsPerRow);
        if (f.height / d.height >= 1)
            VerticalShrink(first, second);
        else
            VerticalEnlarge(first, second);
        return second;
    }

private:
    const uint32_t* SourceRow(int y) const {
        return bits + std::size_t(std::clamp(y, 0, sourceHeight - 1)) * sourceWidth;
    }
    uint32_t SourcePixel(const uint32_t* row, int x) const {
        return row[std::clamp(x, 0, sourceWidth - 1)];
    }
    Cell* CellAt(Cell* row, int index) const {
        return index >= 0 && index < cellsPerRow ? row + index : nullptr;
    }

    void HorizontalRow(const uint32_t* src, Cell* out) const {
        double sx = f.width / d.width;
        if (sx >= 1) {
            double k = 1 / sx;
            for (int i = 0; i < columns; ++i) {
                Span span = ShrinkSpan((x0 - f.x) * k + 1 + k * i, k, 257);
                uint32_t pixel = SourcePixel(src, int(x0) + i);
                if (Cell* c = CellAt(out, span.first)) AddWeighted(*c, pixel, span.firstWeight);
                if (span.secondWeight == 0) continue;
                if (Cell* c = CellAt(out, span.first + 1))
                    AddWeighted(*c, pixel, span.secondWeight);
            }
            return;
        }
        for (int i = 1; i <= d.width; ++i) {
            double p = sx * (i - 1) + f.x;
            double whole = std::floor(p);
            uint32_t left = uint32_t(std::floor((1 - (p - whole)) * 257));
            AddWeighted(out[i], SourcePixel(src, int(whole)), left);
            AddWeighted(out[i], SourcePixel(src, int(whole) + 1), 257 - left);
        }
    }

    void VerticalShrink(const std::vector<Cell>& first, std::vector<Cell>& second) const {
        double k = 1 / (f.height / d.height);
        for (int i = 0; i <= rows; ++i) {
            Span span = ShrinkSpan((y0 - f.y) * k + 1 + k * i, k, 256);
            AddRow(first, i, second, span.first, span.firstWeight);
            if (span.secondWeight != 0) AddRow(first, i, second, span.first + 1, span.secondWeight);
        }
    }

    void VerticalEnlarge(const std::vector<Cell>& first, std::vector<Cell>& second) const {
        double sy = f.height / d.height;
        double fraction = f.y - y0;
        for (int i = 1; i <= d.height; ++i) {
            double q = sy * (i - 1) + fraction;
            double whole = std::floor(q);
            uint32_t top = uint32_t(std::floor((1 - (q - whole)) * 256));
            AddRow(first, int(whole), second, i, top);
            AddRow(first, int(whole) + 1, second, i, 256 - top);
        }
    }

    void AddRow(const std::vector<Cell>& first, int fromRow, std::vector<Cell>& second, int toRow,
                uint32_t weight) const {
        if (fromRow < 0 || fromRow > rows || toRow < 0 || toRow >= d.height + 2) return;
        const Cell* from = &first[std::size_t(fromRow) * cellsPerRow];
        Cell* to = &second[std::size_t(toRow) * cellsPerRow];
        for (int c = 0; c < cellsPerRow; ++c) AddWeighted(to[c], from[c], weight);
    }

    const uint32_t* bits;
    int sourceWidth;
    int sourceHeight;
    Rect d;
    FRect f;
    double x0 = 0;
    double y0 = 0;
    int columns = 0;
    int rows = 0;
    int cellsPerRow = 0;
};

// An accumulated channel as a byte. The weights of a cell add up to at most 257 x 256, so
// the clamp only guards against rounding in the span positions.
uint32_t Channel(const Cell& cell, int i) {
    return std::min(cell.c[i] >> 16, 255u);
}

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
    Stretcher stretcher(src->GetBits(), src->width, src->height, destRect, sourceRect);
    std::vector<Cell> cells = stretcher.Run();
    const PixelBlend::Tables& t = PixelBlend::GetTables();
    uint32_t* out = GetBits();
    std::size_t cellsPerRow = std::size_t(destRect.width) + 2;
    for (int row = 0; row < destRect.height; ++row) {
        int y = destRect.y + row;
        if (y < 0 || y >= height) continue;
        const Cell* cellRow = &cells[(row + 1) * cellsPerRow + 1];
        for (int col = 0; col < destRect.width; ++col) {
            int x = destRect.x + col;
            if (x < 0 || x >= width) continue;
            const Cell& c = cellRow[col];
            uint32_t pixel =
                Channel(c, 0) | Channel(c, 1) << 8 | Channel(c, 2) << 16 | Channel(c, 3) << 24;
            if ((pixel >> 24) == 0) continue;
            uint32_t& d = out[std::size_t(y) * width + x];
            d = PixelBlend::BlendPixel(t, d, pixel);
        }
    }
    BitsChanged();
}

}  // namespace Varn
