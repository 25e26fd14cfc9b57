// FontMatch: finds the font file for a face name through fontconfig.
// "SansSerif" (the framework's dialog face) is asked for as fontconfig's "sans-serif".
// Limits: returns the best match fontconfig offers, which may be another family when the
// named one is not installed; an empty path when fontconfig offers nothing.
#pragma once

#include <string>

namespace Varn {

struct FontFile {
    std::string path;
    int index = 0;
    bool isBold = false;    // the file's own weight is bold or heavier
    bool isItalic = false;  // the file's own slant is italic or oblique
};

FontFile MatchFont(const std::string& faceName, bool bold, bool italic);

}  // namespace Varn
