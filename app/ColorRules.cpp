#include "app/ColorRules.h"

#include <algorithm>

#include "graphics/MemoryImage.h"

namespace Varn {

Color HslColor(int hue, int saturation, int lightness) {
    int s = saturation;
    int l = lightness;
    int m2 = l < 128 ? l * (s + 255) / 255 : s + l - s * l / 255;
    int m1 = 2 * l - m2;
    int sextant = hue * 6 / 256;
    double e = double(hue - sextant * 256 / 6) * 6 * (m2 - m1) / 255;
    int rising = std::min(255, int(m1 + e));
    int falling = std::max(0, int(m2 - e));
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

std::unique_ptr<MemoryImage> ColorizedCopy(MemoryImage& source, const Color& color,
                                           ImageRegistry* registry) {
    auto copy = std::make_unique<MemoryImage>(registry);
    int w = source.GetWidth();
    int h = source.GetHeight();
    copy->Create(w, h);
    const uint32_t* in = source.GetBits();
    uint32_t* out = copy->GetBits();
    const int tint[4] = {color.red, color.green, color.blue, color.alpha};
    bool inRange = std::all_of(tint, tint + 4, [](int k) { return k <= 255; });
    for (int i = 0; i < w * h; ++i) {
        uint32_t pixel = in[i];
        uint32_t result = 0;
        for (int channel = 0; channel < 4; ++channel) {
            int c = int(pixel >> (8 * channel)) & 0xFF;
            int k = tint[channel];
            int scaled = inRange ? (k * c) >> 8 : std::min(255, c * k / 255);
            result |= uint32_t(scaled) << (8 * channel);
        }
        out[i] = result;
    }
    copy->BitsChanged();
    copy->CommitBits();
    return copy;
}

}  // namespace Varn
