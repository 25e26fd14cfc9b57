// Artwork: every picture of the game's image table, drawn procedurally in the
// dark treasure-chest theme (deep violet, gold trim, glossy highlights). Sizes and
// cell layouts are the ones the game cuts and draws; contents are ours.
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/FontStrips.h"

namespace Varn::DataGen {

// How a picture is stored: the game's loader reads all three formats.
enum class StoreAs {
    Png,           // RGBA PNG
    Jpeg,          // opaque JPEG
    JpegWithMask,  // JPEG colour + "_name.gif" grey-scale mask (alpha picture as JPEG)
    GifWithMask,   // grey-scale GIF colour + "_name.gif" mask
};

struct Picture {
    std::string name;
    Canvas image;
    StoreAs store = StoreAs::Png;
};

// The game-screen buttons of the left panel: where they stand and what they say.
struct PanelButton {
    int x, y, w, h;
    const char* label;
};
const std::vector<PanelButton>& PanelButtons();  // New Game, Normal, Timed, Options, Quit

enum class ButtonLook { Resting, Pushed, Selected };
Canvas DrawPanelButton(int w, int h, const std::string& label, ButtonLook look);
Canvas DrawHintBadge(bool lit);

Canvas DrawTitleScreen();
Canvas DrawGameScreen();
Canvas DrawCheckerTextures();

// Small pieces: bars, effects, dialog parts, cursors.
std::vector<Picture> DrawSmallPieces();
// Resource pictures the window layer loads by name: cursors and the window icon.
std::vector<Picture> DrawResourcePictures();
// "name x y" lines: the hot spot of each resource cursor.
std::string CursorHotSpots();

// The full image table plus fonts, in the game's table order.
std::vector<Picture> DrawAllPictures(const std::vector<BitmapFont>& fonts);

}  // namespace Varn::DataGen
