// Levelling: see Levelling.h. Gains are rounded to hundredths of a decibel before use,
// so the last bits of a loudness figure cannot change the written files.
#include "tools/datagen/Levelling.h"

#include <cmath>
#include <cstdio>

#include "tools/datagen/MixTargets.h"
#include "tools/datagen/SoundEffects.h"
#include "tools/loudness/Loudness.h"

namespace Varn::DataGen {

namespace {

double RoundToHundredths(double db) {
    return std::round(db * 100.0) / 100.0;
}

const EffectClassEntry* FindClass(const std::string& name) {
    for (const EffectClassEntry& entry : kEffectClasses)
        if (entry.effect == name) return &entry;
    return nullptr;
}

std::string Describe(const std::string& what, const Loudness::Figures& f, double target) {
    char text[160];
    std::snprintf(text, sizeof text, "%s measures %.2f LUFS (target %.1f), true peak %.2f dBTP",
                  what.c_str(), f.lufs, target, f.truePeakDb);
    return text;
}

bool Meets(const Loudness::Figures& f, double target, double tolerance) {
    return f.valid && std::fabs(f.lufs - target) <= tolerance - kEncodingMarginLu &&
           f.truePeakDb <= kMaxTruePeakDb - kEncodingMarginDb;
}

}  // namespace

bool LevelEffect(const std::string& name, std::vector<float>& samples, std::string& problem) {
    const EffectClassEntry* entry = FindClass(name);
    if (!entry) {
        problem = name + " has no loudness class";
        return false;
    }
    const double target = TargetOf(entry->effectClass).lufs;
    const Loudness::Figures before = Loudness::Measure(samples, 1, kSampleRate);
    if (!before.valid) {
        problem = name + " cannot be measured";
        return false;
    }
    double gainDb = RoundToHundredths(target - before.lufs);
    const double peakRoom = kMaxTruePeakDb - kEncodingMarginDb - (before.truePeakDb + gainDb);
    if (peakRoom < 0.0) gainDb += std::floor(peakRoom * 100.0) / 100.0;
    const auto gain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
    for (float& s : samples) s *= gain;
    const Loudness::Figures after = Loudness::Measure(samples, 1, kSampleRate);
    if (Meets(after, target, kEffectToleranceLu)) return true;
    problem = Describe(name, after, target);
    return false;
}

double SongLevelGain(const std::vector<std::uint8_t>& module) {
    const auto pcm = Loudness::RenderModuleOnce(module);
    const Loudness::Figures f = Loudness::Measure(pcm, 2, Loudness::kGameRate, false);
    return f.valid ? std::pow(10.0, (kSongLufs - f.lufs) / 20.0) : 1.0;
}

bool CheckSong(const std::vector<std::uint8_t>& module, std::string& problem) {
    const auto pcm = Loudness::RenderModuleOnce(module);
    const Loudness::Figures f = Loudness::Measure(pcm, 2, Loudness::kGameRate);
    if (Meets(f, kSongLufs, kSongToleranceLu)) return true;
    problem = Describe("the song", f, kSongLufs);
    return false;
}

}  // namespace Varn::DataGen
