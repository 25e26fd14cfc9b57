// ImageColor: colourised copy and the HSL colour rule.
#include "board/ImageColor.h"

#include <algorithm>
#include <cstdint>

#include "graphics/MemoryImage.h"

namespace Varn::ImageColor {

namespace {

std::uint32_t ScaleChannel(std::uint32_t c, int k, bool plain) {
    const auto kk = static_cast<std::uint32_t>(std::max(k, 0));
    if (plain) return (kk * c) >> 8;
    return std::min<std::uint32_t>(255, c * kk / 255);
}

}  // namespace

std::unique_ptr<MemoryImage> ColorizedCopy(MemoryImage& source, const Color& tint,
                                           ImageRegistry* registry) {
    auto copy = std::make_unique<MemoryImage>(registry);
    const int w = source.GetWidth();
    const int h = source.GetHeight();
    if (w <= 0 || h <= 0) return copy;
    copy->Create(w, h);
    const bool plain =
        tint.red <= 255 && tint.green <= 255 && tint.blue <= 255 && tint.alpha <= 255;
    const std::uint32_t* in = source.GetBits();
    std::uint32_t* out = copy->GetBits();
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = in[i];
        out[i] = ScaleChannel(p & 0xFF, tint.red, plain) |
                 ScaleChannel(p >> 8 & 0xFF, tint.green, plain) << 8 |
                 ScaleChannel(p >> 16 & 0xFF, tint.blue, plain) << 16 |
                 ScaleChannel(p >> 24, tint.alpha, plain) << 24;
    }
    copy->BitsChanged();
    copy->CommitBits();
    return copy;
}

Color HslColor(int hue, int saturation, int lightness) {
    const int h = std::clamp(hue, 0, 255);
    const int s = std::clamp(saturation, 0, 255);
    const int l = std::clamp(lightness, 0, 255);
    const int m2 = l < 128 ? l * (s + 255) / 255 : s + l - s * l / 255;
    const int m1 = 2 * l - m2;
    const int sextant = h * 6 / 256;
    const double e = (h - sextant * 256 / 6) * 6.0 * (m2 - m1) / 255.0;
    const int rising = std::min(255, static_cast<int>(m1 + e));
    const int falling = std::max(0, static_cast<int>(m2 - e));
    switch (sextant) {
        case 0:
            return Color(m2, rising, m1);
        case 1:
            return Color(falling, m2, m1);
        case 2:
            return Color(m1, m2, rising);
        case 3:
            return Color(m1, falling, m2);
        case 4:
            return Color(rising, m1, m2);
        default:
            return Color(m2, m1, falling);
    }
}

}  // namespace Varn::ImageColor
