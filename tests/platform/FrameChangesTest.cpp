// The rectangle that really changed between two presented frames.
#include "platform/FrameChanges.h"

#include <gtest/gtest.h>

#include <vector>

namespace Varn {
namespace {

FrameView View(std::vector<uint32_t>& pixels) {
    FrameView frame;
    frame.pixels = pixels.data();
    frame.width = 8;
    frame.height = 6;
    frame.pitch = 8 * 4;
    return frame;
}

TEST(FrameChanges, NarrowsTheReportedRowsToThePixelsThatDiffer) {
    std::vector<uint32_t> pixels(48, 7);
    FrameChanges changes;
    PictureRect first = changes.Update(View(pixels), 0, 0, false);
    EXPECT_EQ(first.width * first.height, 48);  // nothing kept yet: everything
    EXPECT_TRUE(changes.Update(View(pixels), 0, 6, false).Empty());
    pixels[2 * 8 + 5] = 1;
    pixels[4 * 8 + 3] = 1;
    PictureRect changed = changes.Update(View(pixels), 1, 6, false);
    EXPECT_EQ(changed.x, 3);
    EXPECT_EQ(changed.y, 2);
    EXPECT_EQ(changed.width, 3);
    EXPECT_EQ(changed.height, 3);
    pixels[0] = 1;  // outside the reported rows: not looked at
    EXPECT_TRUE(changes.Update(View(pixels), 1, 6, false).Empty());
    EXPECT_EQ(changes.Update(View(pixels), 1, 6, true).width, 8);
}

}  // namespace
}  // namespace Varn
