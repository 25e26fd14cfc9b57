#include "BenchPictures.h"

#include <algorithm>
#include <cmath>

namespace Varn::Bench {

std::vector<uint32_t> GemSprite(int size, int kind) {
    std::vector<uint32_t> p(std::size_t(size) * size);
    double centre = (size - 1) / 2.0;
    double radius = size / 2.0 - 1.5;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double distance = std::hypot(x - centre, y - centre);
            double cover = std::clamp(radius + 0.5 - distance, 0.0, 1.0);
            uint32_t a = uint32_t(std::lround(cover * 255));
            uint32_t r = uint32_t((kind * 37 + x * 3) & 0xFF);
            uint32_t g = uint32_t((kind * 91 + y * 4) & 0xFF);
            uint32_t b = uint32_t((kind * 53 + (x + y) * 2) & 0xFF);
            p[std::size_t(y) * size + x] = a << 24 | b << 16 | g << 8 | r;
        }
    return p;
}

std::vector<uint32_t> Background(int width, int height) {
    std::vector<uint32_t> p(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[std::size_t(y) * width + x] = 0xFF000000u | uint32_t((x ^ y) & 0xFF) << 16 |
                                            uint32_t(y & 0xFF) << 8 | uint32_t(x & 0xFF);
    return p;
}

std::vector<uint32_t> Glow(int size) {
    std::vector<uint32_t> p(std::size_t(size) * size);
    double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double d = std::hypot(x - centre, y - centre) / (size / 2.0);
            uint32_t v = uint32_t(std::lround(std::clamp(1.0 - d, 0.0, 1.0) * 255));
            p[std::size_t(y) * size + x] = v << 24 | v << 16 | v << 8 | v;
        }
    return p;
}

std::vector<uint32_t> Cutout(std::vector<uint32_t> pixels) {
    for (uint32_t& p : pixels) p = (p >> 24) >= 128 ? p | 0xFF000000u : 0u;
    return pixels;
}

}  // namespace Varn::Bench
