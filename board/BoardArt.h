// BoardArt: the pictures and fonts the board draws with, all owned by the
// application. Every accessor may return null (a resource that failed to
// load, an index out of range): the board then draws nothing for that item
// and carries on. The pointers must stay valid while the board lives.
//
// Images are read on the main thread only, after the loading thread has
// finished with them.
#pragma once

#include <memory>

#include "graphics/MemoryImage.h"

namespace Varn {

class Font;
class Image;
class ImageRegistry;

// Entries of the application's image table that the board draws.
namespace BoardImage {
inline constexpr int kScreenFrame = 9;       // "zephyr-back": frame and side panel
inline constexpr int kGemSheet = 10;         // "gemsheet6": spin and glow frames per kind
inline constexpr int kTarget = 11;           // "target1": selection cursor, 52 x 52 cells
inline constexpr int kSparkle = 24;          // "sparkle": 40 x 40 cells in a row
inline constexpr int kHintHighlight = 26;    // "over1-hint1": hint button highlight
inline constexpr int kCheckerTextures = 30;  // "checkertextures2": 5 texture pairs
inline constexpr int kBlackHole = 32;        // "blackhole": 256 x 256 cells in a row
inline constexpr int kHoleMask = 33;         // "holemask"
inline constexpr int kElectricLine = 34;     // "elect": tiles 128 wide
inline constexpr int kSwapper1 = 36;         // "swapper1": start-tip arrow under the pair
inline constexpr int kSwapper2 = 37;         // "swapper2": start-tip pointer
}  // namespace BoardImage

class BoardArt {
public:
    static constexpr int kFadedDigitFonts = 6;
    static constexpr int kShrunkSteps = 6;
    static constexpr int kTimerBarColors = 24;

    virtual ~BoardArt() = default;

    // Entry of the image table (0-37).
    virtual Image* GetImage(int index) = 0;
    // Per gem kind 0-6, step 0-5: the gem shrunk to 43, 35, 29, 21, 15, 7
    // pixels, centred in 49 x 49.
    virtual Image* ShrunkGem(int kind, int step) = 0;
    // 0-23: the bonus bar tinted red through yellow to green.
    virtual Image* TimerBar(int colorIndex) = 0;
    virtual Image* WhiteTimerBar() = 0;

    virtual Font* DigitFont() = 0;  // "alphadigits4"
    // 0-5: the digit font at decreasing opacity.
    virtual Font* FadedDigitFont(int fade) = 0;
    virtual Font* ScoreFont() = 0;  // "scorefont1"
    virtual Font* TitleFont() = 0;  // "afont1"
    virtual Font* OverFont() = 0;   // "overfont2", the message font

    // Takes an opaque picture the board keeps and draws often (a level's
    // background) and gives back the image to hold it in: the same, or a copy
    // in the display's own format.
    virtual std::unique_ptr<MemoryImage> KeepPicture(std::unique_ptr<MemoryImage> picture) {
        return picture;
    }

    // Where the images the board makes register (for display-format changes);
    // may be null.
    virtual ImageRegistry* Registry() = 0;
};

}  // namespace Varn
