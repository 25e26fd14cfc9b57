// The blend of one packed pixel over another, written straight from its definition and
// nothing else: the yardstick for the table-driven, run-skipping and SSE2 blends.
#pragma once

#include <cstdint>

#include "graphics/Color.h"

namespace Varn::Testing {

// Every channel is taken in place in the packed 32-bit value (masks 0xFF, 0xFF00,
// 0xFF0000), its two terms added and the sum masked back into its byte. All divisions
// truncate.
inline uint32_t ReferenceBlend(uint32_t d, uint32_t s, const Color& tint = Color::White) {
    const bool untinted = tint == Color::White;
    const uint32_t alpha = uint32_t(tint.alpha);
    const uint32_t tints[3] = {uint32_t(tint.red) * alpha / 255, uint32_t(tint.green) * alpha / 255,
                               uint32_t(tint.blue) * alpha / 255};
    const uint32_t a = untinted ? s >> 24 : alpha * (s >> 24) / 255;
    if (a == 0) return d;
    const uint32_t dA = d >> 24;
    const uint32_t nA = dA + (255 - dA) * a / 255;
    const uint32_t w = a * 255 / nA;
    const uint32_t masks[3] = {0xFF, 0xFF00, 0xFF0000};
    uint32_t out = nA << 24;
    for (int c = 0; c < 3; ++c) {
        const uint32_t dc = d & masks[c];
        const uint32_t sc = s & masks[c];
        uint32_t value = (dc * (256 - w)) >> 8;
        if (untinted)
            value += (sc * w) >> 8;
        else if (c == 2)
            value += ((sc * w) >> 8) * tints[2] >> 8;
        else
            value += sc * w * tints[c] >> 16;
        out |= value & masks[c];
    }
    return out;
}

}  // namespace Varn::Testing
