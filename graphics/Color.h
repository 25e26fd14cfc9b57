// Color: a plain RGBA value, each channel 0-255, not premultiplied.
// White is the neutral tint of image drawing.
#pragma once

#include <cstdint>

namespace Varn {

struct Color {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 255;

    constexpr Color() = default;
    constexpr Color(int r, int g, int b) : red(r), green(g), blue(b) {}
    constexpr Color(int r, int g, int b, int a) : red(r), green(g), blue(b), alpha(a) {}
    // From a packed pixel: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31.
    constexpr explicit Color(uint32_t packed)
        : red(packed & 0xFF),
          green((packed >> 8) & 0xFF),
          blue((packed >> 16) & 0xFF),
          alpha((packed >> 24) & 0xFF) {}
    // From three consecutive bytes red, green, blue.
    constexpr explicit Color(const unsigned char* rgb) : red(rgb[0]), green(rgb[1]), blue(rgb[2]) {}
    // The colour of another, made opaque.
    static constexpr Color Opaque(const Color& c) { return Color(c.red, c.green, c.blue); }

    constexpr uint32_t ToPacked() const {
        return uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF) << 16 |
               uint32_t(alpha & 0xFF) << 24;
    }

    friend constexpr bool operator==(const Color&, const Color&) = default;

    static const Color Black;
    static const Color White;
};

inline constexpr Color Color::Black{0, 0, 0, 255};
inline constexpr Color Color::White{255, 255, 255, 255};

}  // namespace Varn
