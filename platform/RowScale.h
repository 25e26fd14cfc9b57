// Pixel replication of one row: each source pixel written `scale` times side by side.
// The presentation scales every changed row of the picture with it (the copies below
// a scaled row are plain copies of it). 32-bit pixels have SSE2, AVX2 and AVX-512
// kernels; the plain loops are the reference the kernels are tested against. The
// kernels keep up with a copy of the scaled bytes when `dest` starts on a 64-byte line.
#pragma once

#include <cstdint>

namespace Varn {

// Widest: the widest kernel the processor runs; Avx2 (or SSE2 without it) is kept
// reachable for tests on processors that have more.
enum class RowScaleKernel { Widest, Avx2, Sse2, Plain };

// `dest` holds count * scale pixels; scale 1 ... 8 (anything else writes nothing).
void ScaleRow32(uint32_t* dest, const uint32_t* source, int count, int scale,
                RowScaleKernel kernel = RowScaleKernel::Widest);
void ScaleRow16(uint16_t* dest, const uint16_t* source, int count, int scale);

// The plain loops.
void ScaleRowPlain32(uint32_t* dest, const uint32_t* source, int count, int scale);
void ScaleRowPlain16(uint16_t* dest, const uint16_t* source, int count, int scale);

}  // namespace Varn
