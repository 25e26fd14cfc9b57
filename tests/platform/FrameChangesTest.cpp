// The rectangle that really changed between two presented frames.
#include "platform/FrameChanges.h"

#include <gtest/gtest.h>

namespace Varn {
namespace {

TEST(FrameChanges, NarrowsTheReportedRowsToThePixelsThatDiffer) {
    std::vector<uint32_t> pixels(48, 7);
    FrameView frame{pixels.data(), 8 * 4, 8, 6};
    FrameChanges changes;
    EXPECT_EQ(changes.Update(frame, 0, 0, false).height, 6);  // nothing kept yet: all
    EXPECT_TRUE(changes.Update(frame, 0, 6, false).Empty());
    pixels[2 * 8 + 5] = 1;
    pixels[4 * 8 + 3] = 1;
    PictureRect changed = changes.Update(frame, 1, 6, false);
    EXPECT_EQ(std::vector<int>({changed.x, changed.y, changed.width, changed.height}),
              std::vector<int>({3, 2, 3, 3}));
    pixels[0] = 1;  // outside the reported rows: not looked at
    EXPECT_TRUE(changes.Update(frame, 1, 6, false).Empty());
    EXPECT_EQ(changes.Update(frame, 1, 6, true).width, 8);
}

}  // namespace
}  // namespace Varn
