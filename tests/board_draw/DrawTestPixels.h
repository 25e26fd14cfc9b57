// DrawTestPixels: comparing screen colours in the drawing tests.
#pragma once

#include <gtest/gtest.h>

#include "graphics/Color.h"

namespace Varn::test {

// Each channel within tolerance (each blend on the way to the screen rounds
// down by up to one); alpha is not compared.
inline ::testing::AssertionResult ColorNear(const Color& actual, const Color& expected,
                                            int tolerance = 4) {
    auto near = [&](int a, int b) { return a >= b - tolerance && a <= b + tolerance; };
    if (near(actual.red, expected.red) && near(actual.green, expected.green) &&
        near(actual.blue, expected.blue))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour (" << actual.red << ", " << actual.green << ", "
                                         << actual.blue << ") is not near (" << expected.red << ", "
                                         << expected.green << ", " << expected.blue << ")";
}

}  // namespace Varn::test
