// BoardRenderMath: small integer helpers of the board's drawing.
#pragma once

#include <algorithm>

#include "board/SafeMath.h"

namespace Varn {

// A drawing position from a model coordinate: truncated towards zero and
// kept far inside the int range, so that translation and clipping cannot
// overflow even for a gem thrown far off the screen.
inline int ScreenCoord(double value) {
    constexpr int kLimit = 1 << 20;
    return std::clamp(TruncToInt(value), -kLimit, kLimit);
}

// value mod modulus in 0 ... modulus - 1, also for negative values.
inline int PositiveMod(int value, int modulus) {
    const int r = value % modulus;
    return r < 0 ? r + modulus : r;
}

}  // namespace Varn
