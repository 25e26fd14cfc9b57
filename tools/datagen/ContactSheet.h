// ContactSheet: one PNG showing every generated picture on a neutral
// checkerboard (so transparency shows), each labelled with its name, plus the
// title screen and a game screen composed the way the game draws them.
#pragma once

#include <vector>

#include "tools/datagen/Artwork.h"
#include "tools/datagen/FontStrips.h"

namespace Varn::DataGen {

Canvas MakeContactSheet(const std::vector<Picture>& pictures, const std::vector<BitmapFont>& fonts);
// The two composed screens on their own (also used by the tests' eye check).
Canvas ComposeTitleScreen(const std::vector<Picture>& pictures,
                          const std::vector<BitmapFont>& fonts);
Canvas ComposeGameScreen(const std::vector<Picture>& pictures,
                         const std::vector<BitmapFont>& fonts);

}  // namespace Varn::DataGen
