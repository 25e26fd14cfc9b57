// Instruments: see Instruments.h.
#include "tools/datagen/Instruments.h"

#include <cmath>

#include "tools/datagen/Dsp.h"

namespace Varn::DataGen {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kPeriod = 64;
constexpr uint32_t kMelodicRate = 16744;  // 64-sample period at this rate = 261.6 Hz
constexpr int kDrumRate = 22050;

std::vector<int16_t> ToPcm(const Buffer& b, double peak) {
    Buffer n = b;
    Normalize(n, peak);
    std::vector<int16_t> out;
    out.reserve(n.size());
    for (float s : n) out.push_back(static_cast<int16_t>(std::lround(s * 32767.0)));
    return out;
}

// Additive waveform: harmonic amplitudes given, evaluated at a phase in cycles.
double Harmonics(const std::vector<double>& amps, double phase) {
    double s = 0;
    for (size_t h = 0; h < amps.size(); ++h) s += amps[h] * std::sin(kTwoPi * (h + 1) * phase);
    return s;
}

// Two oscillators, one of them detuned by exactly one cycle per loop; an attack
// section before the loop with the given envelope, then the loop at steady level.
S3mSample Detuned(const char* name, const std::vector<double>& amps, int cycles, double attack,
                  double decayTo) {
    const size_t loop = static_cast<size_t>(kPeriod) * cycles;
    const size_t prefix = 2 * loop;
    Buffer b(prefix + loop);
    for (size_t i = 0; i < b.size(); ++i) {
        double p1 = static_cast<double>(i) / kPeriod;
        double p2 = static_cast<double>(i) * (cycles + 1) / (static_cast<double>(kPeriod) * cycles);
        double t = static_cast<double>(i) / kMelodicRate;
        double env =
            i >= prefix ? decayTo
                        : std::min(1.0, t / attack) * (decayTo + (1 - decayTo) * ExpDecay(t, 0.12));
        if (i >= prefix) env = decayTo;
        b[i] = static_cast<float>((Harmonics(amps, p1) + 0.8 * Harmonics(amps, p2)) * env);
    }
    // Match the attack's end to the loop level so there is no step at the loop start.
    for (size_t i = prefix - loop; i < prefix; ++i) {
        double t = static_cast<double>(i - (prefix - loop)) / loop;
        double p1 = static_cast<double>(i) / kPeriod;
        double p2 = static_cast<double>(i) * (cycles + 1) / (static_cast<double>(kPeriod) * cycles);
        double steady = (Harmonics(amps, p1) + 0.8 * Harmonics(amps, p2)) * decayTo;
        b[i] = static_cast<float>(b[i] * (1 - t) + steady * t);
    }
    S3mSample s{name,
                ToPcm(b, 0.5),
                true,
                static_cast<uint32_t>(prefix),
                static_cast<uint32_t>(prefix + loop),
                64,
                kMelodicRate};
    return s;
}

S3mSample BassSample() {
    // A round saw: harmonics 1/n rolled off, plus a brighter plucked start.
    std::vector<double> amps;
    for (int h = 1; h <= 10; ++h) amps.push_back(std::pow(0.72, h - 1) / h * 2);
    const size_t loop = kPeriod * 32, prefix = kPeriod * 96;
    Buffer b(prefix + loop);
    for (size_t i = 0; i < b.size(); ++i) {
        double phase = static_cast<double>(i) / kPeriod, t = static_cast<double>(i) / kMelodicRate;
        double bright =
            i < prefix ? 0.6 * ExpDecay(t, 0.04) * (1 - static_cast<double>(i) / prefix) : 0;
        double env = i < prefix ? 0.7 + 0.3 * (1 - static_cast<double>(i) / prefix) : 0.7;
        b[i] = static_cast<float>(env *
                                  (Harmonics(amps, phase) + bright * Oscillator(Wave::Saw, phase)));
    }
    return {"bass",
            ToPcm(b, 0.55),
            true,
            static_cast<uint32_t>(prefix),
            static_cast<uint32_t>(prefix + loop),
            64,
            kMelodicRate};
}

S3mSample BellSample() {
    Buffer b = Bell(261.63, 1.2, kMelodicRate, 0.7);
    return {"bell", ToPcm(b, 0.5), false, 0, 0, 64, kMelodicRate};
}

S3mSample KickSample() {
    Buffer b = Tone(
        0.35, kDrumRate, Wave::Sine, [](double t) { return 45 + 120 * std::exp(-t * 30); },
        [](double t) { return AttackDecay(t, 0.001, 0.07); });
    Buffer click = Noise(0.01, kDrumRate, 31);
    Multiply(click, kDrumRate, [](double t) { return 0.4 * ExpDecay(t, 0.001); });
    MixInto(b, click, kDrumRate, 0.0);
    FadeEdges(b, kDrumRate, 0.0005, 0.01);
    return {"kick", ToPcm(b, 0.7), false, 0, 0, 64, kDrumRate};
}

S3mSample SnareSample() {
    Buffer b = Noise(0.25, kDrumRate, 32);
    LowPass(b, kDrumRate, [](double) { return 7000.0; });
    HighPass(b, kDrumRate, 400);
    Multiply(b, kDrumRate, [](double t) { return AttackDecay(t, 0.001, 0.045); });
    MixInto(b,
            Tone(
                0.12, kDrumRate, Wave::Triangle, [](double t) { return 190 - 60 * t; },
                [](double t) { return 0.6 * AttackDecay(t, 0.001, 0.03); }),
            kDrumRate, 0.0);
    FadeEdges(b, kDrumRate, 0.0005, 0.01);
    return {"snare", ToPcm(b, 0.6), false, 0, 0, 64, kDrumRate};
}

S3mSample HatSample(const char* name, double seconds, double halfLife, uint32_t seed) {
    Buffer b = Noise(seconds, kDrumRate, seed);
    HighPass(b, kDrumRate, 7000);
    HighPass(b, kDrumRate, 5000);
    Multiply(b, kDrumRate, [=](double t) { return AttackDecay(t, 0.0005, halfLife); });
    FadeEdges(b, kDrumRate, 0.0005, 0.005);
    return {name, ToPcm(b, 0.45), false, 0, 0, 64, kDrumRate};
}

}  // namespace

std::vector<S3mSample> MakeInstruments() {
    std::vector<S3mSample> s;
    s.push_back(KickSample());
    s.push_back(SnareSample());
    s.push_back(HatSample("hat", 0.08, 0.012, 33));
    s.push_back(HatSample("openhat", 0.35, 0.07, 34));
    s.push_back(BassSample());
    // Pad: soft odd harmonics (a rounded triangle), slow swell, gentle chorus.
    s.push_back(Detuned("pad", {1.0, 0.0, 0.14, 0.0, 0.05, 0.0, 0.02}, 120, 0.18, 0.8));
    // Lead: a bright saw-like tone with a quick attack.
    s.push_back(Detuned("lead", {1.0, 0.45, 0.3, 0.2, 0.14, 0.1, 0.07, 0.05}, 150, 0.01, 0.75));
    s.push_back(BellSample());
    return s;
}

}  // namespace Varn::DataGen
