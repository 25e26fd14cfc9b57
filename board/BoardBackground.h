// BoardBackground: the level background the board shows behind its gems: a
// checkerboard of one of five textures, tinted by one of four colours, under
// the screen frame with its side panel. Built whenever a level is set up.
#pragma once

#include "graphics/Color.h"

namespace Varn {

class BoardArt;
class MemoryImage;

struct LevelLook {
    int texture = 0;  // column pair of "checkertextures2", 0-4
    Color tint;       // the same for light and dark squares
};

// Level index k: texture k mod 5, tint k mod 4 (brown, red, green, blue).
LevelLook LevelLookFor(int level);

// Replaces the background's pixels with the given level's background
// (640 x 480), opaque like the display surface it stands for. Missing art
// leaves its part out (black).
void BuildLevelBackground(MemoryImage& background, int level, BoardArt& art);

}  // namespace Varn
