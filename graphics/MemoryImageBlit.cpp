// MemoryImage::Blt: exact alpha blending of one memory image onto another.
// Untinted rows go through PixelBlend::BlendRow (vector kernels, groups sorted by source and
// destination alpha); tinted ones through PixelBlend::BlendTintedRows where the AVX2 kernel
// is in use, and otherwise skip the source's transparent runs whole with its cached
// run-length alpha table and look the divisions up in tables. The arithmetic is the stated
// one, bit for bit.
#include <algorithm>

#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"

namespace Varn {

namespace {

using PixelBlend::Tables;
using PixelBlend::Tint;

struct BlitArea {
    const uint32_t* source;
    const uint8_t* runs;
    int sourceStride;
    uint32_t* dest;
    int destStride;
    int width;
    int height;
};

void BlitUntinted(const BlitArea& area) {
    PixelBlend::BlendRows(PixelBlend::RowSpan{area.dest, area.destStride, area.source,
                                              area.sourceStride, area.width, area.height});
}

void BlitTinted(const BlitArea& area, const Color& color) {
    const Tables& t = PixelBlend::GetTables();
    Tint tint{uint32_t(color.red * color.alpha / 255), uint32_t(color.green * color.alpha / 255),
              uint32_t(color.blue * color.alpha / 255), uint32_t(color.alpha)};
    if (color.alpha == 0) return;
    if (PixelBlend::BlendTintedRows(PixelBlend::RowSpan{area.dest, area.destStride, area.source,
                                                        area.sourceStride, area.width, area.height},
                                    tint))
        return;
    for (int y = 0; y < area.height; ++y) {
        const uint32_t* s = area.source + std::size_t(y) * area.sourceStride;
        const uint8_t* run = area.runs + std::size_t(y) * area.sourceStride;
        uint32_t* d = area.dest + std::size_t(y) * area.destStride;
        for (int i = 0; i < area.width;) {
            int n = std::min<int>(run[i], area.width - i);
            if ((s[i] >> 24) == 0) {
                i += n;
                continue;
            }
            for (int k = i; k < i + n; ++k) {
                uint32_t a = tint.alpha * (s[k] >> 24) / 255;
                if (a != 0) d[k] = PixelBlend::BlendTinted(t, d[k], s[k], a, tint);
            }
            i += n;
        }
    }
}

}  // namespace

void MemoryImage::Blt(Image* source, int x, int y, const Rect& sourceRect, const Color& color,
                      int) {
    auto* src = dynamic_cast<MemoryImage*>(source);
    if (!src) return;
    // Clip to both images so a bad rectangle can never reach outside either array.
    Rect s = sourceRect.Intersection(Rect(0, 0, src->width, src->height));
    int destX = x + s.x - sourceRect.x;
    int destY = y + s.y - sourceRect.y;
    Rect d = Rect(destX, destY, s.width, s.height).Intersection(Rect(0, 0, width, height));
    s.x += d.x - destX;
    s.y += d.y - destY;
    if (d.width > 0 && d.height > 0) {
        bool tinted = !(color == Color::White);
        // Only the tinted loop reads the run table; an untinted draw does not build it.
        const uint8_t* runs = tinted ? src->GetRunLengthAlphaData() : nullptr;
        const uint32_t* sourceBits = src->GetBits();
        std::size_t start = std::size_t(s.y) * src->width + s.x;
        BlitArea area{sourceBits + start,
                      runs ? runs + start : nullptr,
                      src->width,
                      GetBits() + std::size_t(d.y) * width + d.x,
                      width,
                      d.width,
                      d.height};
        if (tinted)
            BlitTinted(area, color);
        else
            BlitUntinted(area);
    }
    BitsChanged();
}

}  // namespace Varn
