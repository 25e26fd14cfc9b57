// How large the 640x480 picture is shown: an integer scale N (pixel replication, so
// the picture stays crisp) and where the scaled picture sits in the output. Pure
// arithmetic, shared by the backends and their tests.
#pragma once

namespace Varn {

constexpr int kMaxWindowScale = 8;
// What a window frame (title bar, borders) takes around the client area; a window
// sized to the usable area keeps this much free so its frame fits too.
constexpr int kFrameRoomWidth = 16;
constexpr int kFrameRoomHeight = 48;

// The largest N (1 ... kMaxWindowScale) at which a window of the picture times N and
// its frame fit the usable area; 1 where not even that fits or the area is unknown.
int LargestWindowScale(int usableWidth, int usableHeight, int pictureWidth, int pictureHeight);

// The scale a window takes: `requested` 0 is automatic (the largest that fits), 1 ... 8
// that scale but never more than fits; any other value counts as automatic.
int ChooseWindowScale(int requested, int usableWidth, int usableHeight, int pictureWidth,
                      int pictureHeight);

// A picture placed in an output: the largest whole scale at which it fits (at least
// 1), centred, the rest black bars. Maps output pixels to picture pixels.
struct PicturePlacement {
    int scale = 1;
    int left = 0;
    int top = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;

    // Rounds towards minus infinity, so a point on a bar left of or above the picture
    // maps below 0.
    int ToPictureX(int outputX) const { return FloorDivide(outputX - left, scale); }
    int ToPictureY(int outputY) const { return FloorDivide(outputY - top, scale); }
    bool Contains(int outputX, int outputY) const;

private:
    static int FloorDivide(int value, int divisor) {
        return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
    }
};

PicturePlacement PlacePicture(int outputWidth, int outputHeight, int pictureWidth,
                              int pictureHeight);

}  // namespace Varn
