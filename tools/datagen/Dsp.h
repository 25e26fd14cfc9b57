// Dsp: the few synthesis building blocks the sound effects and the module
// instruments share: oscillators, envelopes, noise, filters and mixing.
// Everything works on mono float buffers at a given sample rate; noise comes
// from a seeded generator, so the output is the same on every run.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace Varn::DataGen {

using Buffer = std::vector<float>;

enum class Wave { Sine, Triangle, Saw, Square };

float Oscillator(Wave wave, double phase);  // phase in cycles
// A tone whose frequency (Hz) and amplitude may change over time (seconds).
Buffer Tone(double seconds, int rate, Wave wave, const std::function<double(double)>& frequency,
            const std::function<double(double)>& amplitude);
// A struck bell: a few inharmonic partials with their own decays.
Buffer Bell(double frequency, double seconds, int rate, double brightness = 1.0);
Buffer Noise(double seconds, int rate, uint32_t seed);

double ExpDecay(double t, double halfLife);
double AttackDecay(double t, double attack, double halfLife);

// One-pole filters; cutoff may vary per sample (Hz).
void LowPass(Buffer& b, int rate, const std::function<double(double)>& cutoff);
void HighPass(Buffer& b, int rate, double cutoff);
void Multiply(Buffer& b, int rate, const std::function<double(double)>& gain);

// Adds src into dst from the time offset (seconds), growing dst as needed.
void MixInto(Buffer& dst, const Buffer& src, int rate, double offset, double gain = 1.0);
// Scales so the highest peak is the given level (never clips).
void Normalize(Buffer& b, double peak);
// Short fades at both ends so no effect starts or stops with a click.
void FadeEdges(Buffer& b, int rate, double fadeIn = 0.002, double fadeOut = 0.01);
// Simple room: a handful of decaying echoes.
void Reverb(Buffer& b, int rate, double wet);
Buffer Resampled(const Buffer& b, double factor);  // factor > 1 lengthens (lower pitch)

}  // namespace Varn::DataGen
