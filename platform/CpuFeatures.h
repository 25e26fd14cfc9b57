// What the processor offers beyond the build's baseline, checked once at run time.
// The vector kernels of the drawers and of the presentation share this switch.
#pragma once

namespace Varn {

// True where the build can compile AVX2 kernels and the processor runs them.
bool CpuHasAvx2();
// True where the processor also runs AVX-512 Foundation (64-byte vectors).
bool CpuHasAvx512();
// True where the processor also runs AVX-512 byte and word instructions.
bool CpuHasAvx512Bw();

}  // namespace Varn
