// SoundVolume: the volume curve of the sound effects.
#include "sound/SoundVolume.h"

#include <cmath>

namespace Varn {

int VolumeToDecibels(double volume) {
    constexpr int kSilent = -10000;
    // log10 of zero or less is undefined; such volumes are plainly silent. NaN too.
    if (!(volume > 0.0)) return kSilent;
    const double attenuation = std::trunc((std::log10(9.0 * volume + 1.0) - 1.0) * 2333.0);
    if (attenuation < -2000.0) return kSilent;
    // Volumes above 1 would ask for gain; voices top out at 0.
    return attenuation > 0.0 ? 0 : static_cast<int>(attenuation);
}

}  // namespace Varn
