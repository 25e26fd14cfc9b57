// Loudness: EBU R128 figures through libebur128, shared by the data generator (which
// levels songs and effects with them), the data tests and the measuring tool.
// Clips shorter than one 400 ms gating block have no gated integrated loudness, so
// they are measured over their whole length as one momentary window instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Varn::Loudness {

struct Figures {
    double lufs = -1e9;        // integrated, or over the whole clip when `windowed`
    double truePeakDb = -1e9;  // dBTP, the highest over all channels
    bool windowed = false;     // shorter than one gating block
    bool valid = false;        // false when libebur128 refused the input
};

constexpr double kGatingBlockSeconds = 0.4;
// The game's output rate: songs are measured at the rate the game renders them.
constexpr int kGameRate = 44100;

// `samples` interleaved, `channels` of them per frame. Without `truePeak` the
// (costly, oversampled) true peak is left out and stays at its -1e9 default.
Figures Measure(const float* samples, std::size_t frames, int channels, int rate,
                bool truePeak = true);
inline Figures Measure(const std::vector<float>& samples, int channels, int rate,
                       bool truePeak = true) {
    return Measure(samples.data(), samples.size() / static_cast<std::size_t>(channels), channels,
                   rate, truePeak);
}

// A module rendered once through (no loop) at unity gain, as the game's module
// player renders it: libopenmpt's float stereo at the game's rate, default settings.
// Empty when libopenmpt cannot load it.
std::vector<float> RenderModuleOnce(const std::vector<std::uint8_t>& bytes, int rate = kGameRate);

// The interleaved samples of `base`.wav, or else `base`.ogg (as the game looks for an
// effect); empty, with `channels` and `rate` 0, when neither decodes.
std::vector<float> DecodeEffect(const std::string& base, int& channels, int& rate);

}  // namespace Varn::Loudness
