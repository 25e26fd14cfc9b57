// SafeMath: real-to-integer truncation and integer sums that never invoke
// undefined behaviour. The board's values come partly from a data file and a
// saved game, so a huge or non-finite value must saturate, not crash.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace Varn {

// Truncates towards zero; values beyond the int range saturate, NaN gives 0.
inline int TruncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

inline int ClampToInt(std::int64_t value) {
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

inline int SaturatingAdd(int a, int b) {
    return ClampToInt(static_cast<std::int64_t>(a) + static_cast<std::int64_t>(b));
}

}  // namespace Varn
