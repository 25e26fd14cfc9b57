// SoundVolume: the conversion from a linear volume (0 ... 1) to the attenuation in
// hundredths of a decibel that voices take.
#pragma once

namespace Varn {

// trunc((log10(9 x + 1) - 1) * 2333); results below -2000 (x < about 0.036) and
// non-positive volumes are silence, -10000. 1.0 gives 0, 0.5 about -745.
int VolumeToDecibels(double volume);

}  // namespace Varn
