#include "platform/WindowScale.h"

#include <algorithm>
#include <cstdint>

namespace Varn {

namespace {

int LargestFit(int width, int height, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
    int scale = std::min(width / pictureWidth, height / pictureHeight);
    return std::clamp(scale, 1, kMaxWindowScale);
}

int FloorDivide(int64_t value, int64_t divisor) {
    return int(value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor));
}

// The whole multiple is kept where it fills at least this share of the height (per cent).
constexpr int kWholeMultipleShare = 85;

// The largest size of the picture's shape in the output, to the nearest pixel.
void FillSize(int outputWidth, int outputHeight, PicturePlacement& placement) {
    int64_t pw = placement.pictureWidth;
    int64_t ph = placement.pictureHeight;
    if (int64_t(outputWidth) * ph >= int64_t(outputHeight) * pw) {
        placement.shownHeight = outputHeight;
        placement.shownWidth =
            int(std::min<int64_t>(outputWidth, (outputHeight * pw * 2 + ph) / (2 * ph)));
    } else {
        placement.shownWidth = outputWidth;
        placement.shownHeight =
            int(std::min<int64_t>(outputHeight, (outputWidth * ph * 2 + pw) / (2 * pw)));
    }
}

}  // namespace

int LargestWindowScale(int usableWidth, int usableHeight, int pictureWidth, int pictureHeight) {
    return LargestFit(usableWidth - kFrameRoomWidth, usableHeight - kFrameRoomHeight, pictureWidth,
                      pictureHeight);
}

int ChooseWindowScale(int requested, int usableWidth, int usableHeight, int pictureWidth,
                      int pictureHeight) {
    int largest = LargestWindowScale(usableWidth, usableHeight, pictureWidth, pictureHeight);
    if (requested < 1 || requested > kMaxWindowScale) return largest;
    return std::min(requested, largest);
}

int PicturePlacement::ToPicture(int offset, int picture, int shown) const {
    if (!fill) return FloorDivide(offset, scale);
    return FloorDivide((2 * int64_t(offset) + 1) * picture, 2 * int64_t(shown));
}

int PicturePlacement::ToOutput(int offset, int picture, int shown) const {
    if (!fill) return offset * scale + scale / 2;
    return FloorDivide((2 * int64_t(offset) + 1) * shown, 2 * int64_t(picture));
}

bool PicturePlacement::Contains(int outputX, int outputY) const {
    int x = ToPictureX(outputX);
    int y = ToPictureY(outputY);
    return x >= 0 && y >= 0 && x < pictureWidth && y < pictureHeight;
}

PicturePlacement PlacePicture(int outputWidth, int outputHeight, int pictureWidth,
                              int pictureHeight) {
    PicturePlacement placement;
    placement.pictureWidth = pictureWidth;
    placement.pictureHeight = pictureHeight;
    placement.scale = LargestFit(outputWidth, outputHeight, pictureWidth, pictureHeight);
    placement.shownWidth = pictureWidth * placement.scale;
    placement.shownHeight = pictureHeight * placement.scale;
    placement.left = std::max(0, (outputWidth - placement.shownWidth) / 2);
    placement.top = std::max(0, (outputHeight - placement.shownHeight) / 2);
    return placement;
}

PicturePlacement PlaceFullScreenPicture(int outputWidth, int outputHeight, int pictureWidth,
                                        int pictureHeight, FullScreenScaling scaling) {
    PicturePlacement whole = PlacePicture(outputWidth, outputHeight, pictureWidth, pictureHeight);
    if (scaling == FullScreenScaling::WholeMultiples || pictureWidth <= 0 || pictureHeight <= 0)
        return whole;
    bool wholeFillsEnough =
        int64_t(whole.shownHeight) * 100 >= int64_t(kWholeMultipleShare) * outputHeight;
    if (scaling == FullScreenScaling::Automatic && wholeFillsEnough) return whole;
    PicturePlacement fill = whole;
    FillSize(outputWidth, outputHeight, fill);
    // Never smaller than the picture (a pixel would then straddle two boundaries), and the
    // whole multiple where the fill is no larger.
    if (fill.shownWidth < pictureWidth || fill.shownHeight < pictureHeight ||
        fill.shownHeight <= whole.shownHeight)
        return whole;
    fill.fill = true;
    fill.left = (outputWidth - fill.shownWidth) / 2;
    fill.top = (outputHeight - fill.shownHeight) / 2;
    return fill;
}

}  // namespace Varn
