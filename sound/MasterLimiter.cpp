// MasterLimiter: instant attack, exponential release, stereo-linked.
#include "sound/MasterLimiter.h"

#include <algorithm>
#include <cmath>

namespace Varn {

namespace {

constexpr double kReleaseSeconds = 0.08;
// Within this of 1 the gain snaps back to exactly 1 (a step of under 0.001 dB).
constexpr float kIdleMargin = 1e-4f;

}  // namespace

MasterLimiter::MasterLimiter(int sampleRate)
    : releaseKeep_(
          static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * std::max(sampleRate, 1))))) {}

void MasterLimiter::Process(float* samples, int frames) {
    for (int i = 0; i < frames; ++i) {
        float& left = samples[2 * i];
        float& right = samples[2 * i + 1];
        const float peak = std::max(std::fabs(left), std::fabs(right));
        if (peak * Gain() > kCeiling) reduction_ = 1.0f - kCeiling / peak;
        if (reduction_ == 0.0f) continue;
        left *= Gain();
        right *= Gain();
        // The reduction is kept, not the gain: near 1 the gain's steps would round away.
        reduction_ *= releaseKeep_;
        if (reduction_ < kIdleMargin) reduction_ = 0.0f;
    }
}

}  // namespace Varn
