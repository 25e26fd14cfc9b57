// What the processor offers beyond the build's baseline, checked once at run time.
// The vector kernels of the drawers and of the presentation share this switch.
#pragma once

namespace Varn {

// True where the build can compile AVX2 kernels and the processor runs them.
bool CpuHasAvx2();

}  // namespace Varn
