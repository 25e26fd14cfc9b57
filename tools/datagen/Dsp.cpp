// Dsp: see Dsp.h.
#include "tools/datagen/Dsp.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/Canvas.h"

namespace Varn::DataGen {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

float Oscillator(Wave wave, double phase) {
    double p = phase - std::floor(phase);
    switch (wave) {
        case Wave::Sine:
            return static_cast<float>(std::sin(kTwoPi * p));
        case Wave::Triangle:
            return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
        case Wave::Saw:
            return static_cast<float>(2 * p - 1);
        case Wave::Square:
            return p < 0.5 ? 1.0f : -1.0f;
    }
    return 0;
}

Buffer Tone(double seconds, int rate, Wave wave, const std::function<double(double)>& frequency,
            const std::function<double(double)>& amplitude) {
    Buffer b(static_cast<size_t>(seconds * rate));
    double phase = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        b[i] = static_cast<float>(Oscillator(wave, phase) * amplitude(t));
        phase += frequency(t) / rate;
    }
    return b;
}

Buffer Bell(double frequency, double seconds, int rate, double brightness) {
    static const double ratios[] = {1.0, 2.0, 2.76, 4.07, 5.4};
    static const double gains[] = {1.0, 0.5, 0.35, 0.22, 0.12};
    static const double decays[] = {0.28, 0.16, 0.1, 0.07, 0.05};
    Buffer b(static_cast<size_t>(seconds * rate), 0.0f);
    for (int p = 0; p < 5; ++p) {
        double f = frequency * ratios[p];
        if (f > rate / 2.2) continue;
        double g = gains[p] * (p == 0 ? 1.0 : brightness);
        for (size_t i = 0; i < b.size(); ++i) {
            double t = static_cast<double>(i) / rate;
            b[i] += static_cast<float>(g * std::sin(kTwoPi * f * t) *
                                       AttackDecay(t, 0.002, decays[p] * seconds / 0.5));
        }
    }
    return b;
}

Buffer Noise(double seconds, int rate, uint32_t seed) {
    Random rnd(seed);
    Buffer b(static_cast<size_t>(seconds * rate));
    for (float& s : b) s = rnd.Signed();
    return b;
}

double ExpDecay(double t, double halfLife) {
    return std::pow(0.5, t / halfLife);
}

double AttackDecay(double t, double attack, double halfLife) {
    if (t < attack) return t / attack;
    return ExpDecay(t - attack, halfLife);
}

void LowPass(Buffer& b, int rate, const std::function<double(double)>& cutoff) {
    double y = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        double fc = cutoff(static_cast<double>(i) / rate);
        double a = 1 - std::exp(-kTwoPi * fc / rate);
        y += a * (b[i] - y);
        b[i] = static_cast<float>(y);
    }
}

void HighPass(Buffer& b, int rate, double cutoff) {
    double a = std::exp(-kTwoPi * cutoff / rate), y = 0, prev = 0;
    for (float& s : b) {
        y = a * (y + s - prev);
        prev = s;
        s = static_cast<float>(y);
    }
}

void Multiply(Buffer& b, int rate, const std::function<double(double)>& gain) {
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<float>(b[i] * gain(static_cast<double>(i) / rate));
}

void MixInto(Buffer& dst, const Buffer& src, int rate, double offset, double gain) {
    size_t start = static_cast<size_t>(offset * rate);
    if (dst.size() < start + src.size()) dst.resize(start + src.size(), 0.0f);
    for (size_t i = 0; i < src.size(); ++i) dst[start + i] += static_cast<float>(src[i] * gain);
}

void Normalize(Buffer& b, double peak) {
    float top = 0;
    for (float s : b) top = std::max(top, std::fabs(s));
    if (top <= 0) return;
    float k = static_cast<float>(peak / top);
    for (float& s : b) s *= k;
}

void FadeEdges(Buffer& b, int rate, double fadeIn, double fadeOut) {
    size_t in = std::min(b.size(), static_cast<size_t>(fadeIn * rate));
    size_t out = std::min(b.size(), static_cast<size_t>(fadeOut * rate));
    for (size_t i = 0; i < in; ++i) b[i] *= static_cast<float>(i) / in;
    for (size_t i = 0; i < out; ++i) b[b.size() - 1 - i] *= static_cast<float>(i) / out;
}

void Reverb(Buffer& b, int rate, double wet) {
    static const double delays[] = {0.029, 0.037, 0.053, 0.071, 0.097, 0.131};
    Buffer dry = b;
    b.resize(b.size() + static_cast<size_t>(0.5 * rate), 0.0f);
    for (int k = 0; k < 6; ++k) {
        size_t d = static_cast<size_t>(delays[k] * rate);
        double g = wet * std::pow(0.72, k);
        for (int echo = 1; echo <= 3; ++echo)
            for (size_t i = 0; i < dry.size() && i + d * echo < b.size(); ++i)
                b[i + d * echo] += static_cast<float>(dry[i] * g * std::pow(0.45, echo - 1));
    }
}

Buffer Resampled(const Buffer& b, double factor) {
    Buffer out(static_cast<size_t>(b.size() * factor));
    for (size_t i = 0; i < out.size(); ++i) {
        double src = i / factor;
        size_t j = static_cast<size_t>(src);
        double f = src - j;
        float a = b[std::min(j, b.size() - 1)], c = b[std::min(j + 1, b.size() - 1)];
        out[i] = static_cast<float>(a + (c - a) * f);
    }
    return out;
}

}  // namespace Varn::DataGen
