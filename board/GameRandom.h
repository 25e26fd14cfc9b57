// GameRandom: the one random source of the board's draws (kinds, spawn
// heights, shaking, drop-away launches). It is the linear congruential
// generator of the C standard's sample rand(): state = state * 1103515245 +
// 12345 (mod 2^32), result = (state / 65536) % 32768. Seeded once by the
// application; tests seed it to replay a game exactly.
#pragma once

#include <cassert>
#include <cstdint>

namespace Varn {

class GameRandom {
public:
    static constexpr int kMax = 32767;

    explicit GameRandom(std::uint32_t seed = 1) : state_(seed) {}

    void Seed(std::uint32_t seed) { state_ = seed; }

    // 0 ... kMax.
    int Next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ / 65536u) % 32768u);
    }

    // Next() % n, the draw the board's rules are written in terms of.
    int Below(int n) {
        assert(n > 0 && "GameRandom::Below needs a positive bound");
        return Next() % n;
    }

private:
    std::uint32_t state_;
};

}  // namespace Varn
