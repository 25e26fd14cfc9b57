// How large the 640x480 picture is shown: an integer scale N (pixel replication, so
// the picture stays crisp), or in full screen the sharp fill (the largest 4:3 size, each
// picture pixel a block of whole output pixels with only the boundary row or column
// between two picture pixels blended), and where the picture sits in the output. Pure
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

// How full screen sizes the picture; the values are those of the settings file.
enum class FullScreenScaling {
    // Whole multiples where the largest fills at least 85 % of the output's height.
    Automatic = 0,
    WholeMultiples = 1,
    Fill = 2,
};

// A picture placed in an output, centred, the rest black bars: at a whole scale (at
// least 1), or filled to shownWidth x shownHeight. Maps output pixels to picture pixels.
struct PicturePlacement {
    int scale = 1;
    bool fill = false;
    int left = 0;
    int top = 0;
    int shownWidth = 0;
    int shownHeight = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;

    // The picture pixel under an output pixel's centre. Rounds towards minus infinity, so
    // a point on a bar left of or above the picture maps below 0.
    int ToPictureX(int outputX) const {
        return ToPicture(outputX - left, pictureWidth, shownWidth);
    }
    int ToPictureY(int outputY) const {
        return ToPicture(outputY - top, pictureHeight, shownHeight);
    }
    // The output pixel at the centre of a picture pixel: the way back.
    int ToOutputX(int pictureX) const {
        return left + ToOutput(pictureX, pictureWidth, shownWidth);
    }
    int ToOutputY(int pictureY) const {
        return top + ToOutput(pictureY, pictureHeight, shownHeight);
    }
    bool Contains(int outputX, int outputY) const;

private:
    int ToPicture(int offset, int picture, int shown) const;
    int ToOutput(int offset, int picture, int shown) const;
};

// Whole multiples: the largest scale at which the picture fits.
PicturePlacement PlacePicture(int outputWidth, int outputHeight, int pictureWidth,
                              int pictureHeight);
// Full screen: whole multiples or the fill, as `scaling` asks (the fill only where it is
// larger than the whole multiple; never smaller than the picture).
PicturePlacement PlaceFullScreenPicture(int outputWidth, int outputHeight, int pictureWidth,
                                        int pictureHeight, FullScreenScaling scaling);

}  // namespace Varn
