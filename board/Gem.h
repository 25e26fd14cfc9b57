// Gem: one gem of the board, a plain record. Its fields, in this order, are
// also the 120-byte gem record of the saved game (SavedGame.cpp gives the
// byte layout). A new gem has every field zero.
#pragma once

#include <cstdint>

namespace Varn {

constexpr int kGemKinds = 7;

struct Gem {
    std::int32_t kind = 0;  // GemKind 0-6
    double x = 0.0;         // current top-left position, pixels
    double y = 0.0;
    std::int32_t column = 0;  // the cell the gem belongs to
    std::int32_t row = 0;
    std::int32_t vx = 0;      // horizontal speed, only while thrown at game over
    double vy = 0.0;          // vertical speed, pixels per tick
    std::int32_t swapDx = 0;  // offset from the swap centre when a swap starts
    std::int32_t swapDy = 0;
    bool glowing = false;               // hover glow running
    double glow = 0.0;                  // hover glow strength
    std::int32_t glowFrame = 0;         // 0-14
    bool vanishing = false;             // part of a set, disappearing
    std::int32_t vanishFrame = 0;       // 0-5
    std::int32_t spinFrame = 0;         // 0-14; 0 = not spinning
    std::int32_t sparkleCountdown = 0;  // hint sparkle left, steps of 5 ticks
    std::int32_t sparkleFrame = 0;
    double angle = 0.0;  // polar position about the board centre (level-up whirl)
    double angularSpeed = 0.0;
    double radius = 0.0;
};

}  // namespace Varn
