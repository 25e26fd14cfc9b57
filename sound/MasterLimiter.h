// MasterLimiter: the last stage of the mixer's master bus. A peak limiter without
// look-ahead: when a frame would pass the ceiling the gain drops at once to just hold
// it there (both channels alike, so the stereo image stays), then recovers towards 1
// over about 80 ms. Below the ceiling, with the gain back at 1, samples pass through
// bit for bit, so ordinary levels are untouched; only a pile-up of voices over the
// music (a big cascade at full volume) is held down, and the output never reaches
// full scale.
// Threads: belongs to the audio thread (the mixer calls it under its lock).
#pragma once

namespace Varn {

class MasterLimiter {
public:
    // -1 dBFS: the sum may never come closer to full scale than this.
    static constexpr float kCeiling = 0.891f;

    explicit MasterLimiter(int sampleRate);

    // Limits `frames` interleaved stereo frames in place.
    void Process(float* samples, int frames);
    // The current gain, 1 when idle.
    float Gain() const { return 1.0f - reduction_; }

private:
    float reduction_ = 0.0f;  // 1 - gain
    float releaseKeep_;       // the share of the gain reduction left after one frame
};

}  // namespace Varn
