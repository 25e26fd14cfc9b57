// Pictures for the display benchmarks, made deterministically: gem-like sprites (an
// anti-aliased disc: transparent corners, an opaque body, a partial rim), an opaque
// background, a glow for additive drawing. Packed pixels, not premultiplied.
#pragma once

#include <cstdint>
#include <vector>

namespace Varn::Bench {

std::vector<uint32_t> GemSprite(int size, int kind);
std::vector<uint32_t> Background(int width, int height);
std::vector<uint32_t> Glow(int size);
// The picture with every pixel made opaque or (as 0) fully transparent at half alpha.
std::vector<uint32_t> Cutout(std::vector<uint32_t> pixels);

}  // namespace Varn::Bench
