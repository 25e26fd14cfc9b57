#include "platform/WindowScale.h"

#include <algorithm>

namespace Varn {

namespace {

int LargestFit(int width, int height, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
    int scale = std::min(width / pictureWidth, height / pictureHeight);
    return std::clamp(scale, 1, kMaxWindowScale);
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
    placement.left = std::max(0, (outputWidth - pictureWidth * placement.scale) / 2);
    placement.top = std::max(0, (outputHeight - pictureHeight * placement.scale) / 2);
    return placement;
}

}  // namespace Varn
