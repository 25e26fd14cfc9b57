// PixelBlend: the division tables of the blend.
#include "graphics/PixelBlend.h"

namespace Varn::PixelBlend {

Tables::Tables() {
    for (int dA = 0; dA < 256; ++dA)
        for (int a = 0; a < 256; ++a) newAlpha[dA][a] = uint8_t(dA + (255 - dA) * a / 255);
    for (int a = 0; a < 256; ++a)
        for (int nA = 0; nA < 256; ++nA) weight[a][nA] = uint16_t(nA == 0 ? 0 : a * 255 / nA);
}

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

}  // namespace Varn::PixelBlend
