// MixTargets: the loudness every song and effect is levelled to (EBU R128, measured
// with libebur128 on the files as written). The generator levels to these figures and
// refuses to write data that misses them; the data tests measure the files again.
//
// Songs: -16 LUFS integrated (+-1 LU), rendered once through at unity gain the way
// the game renders them; true peak at most -1 dBTP. The game then plays them at the
// music volume x 0.4 (-30 LUFS at the default volume 0.5).
//
// Effects (mono files), one target per class, each effect within +-2 LU of it, true
// peak at most -1 dBTP. Effects shorter than one 400 ms gating block are measured over
// their whole length as one window instead of by gated integrated loudness.
//   interface  -26 LUFS  clicks, the gem selection, the refused swap, the time warning:
//                        short and frequent, they sit lowest.
//   match      -23 LUFS  matches, cascade and combo chimes, landings, the blast: the
//                        core feedback, a little over the music.
//   voice      -20 LUFS  "GO!", "EXCELLENT!", the level-up and game-over stingers:
//                        rare announcements that must carry over everything.
//   ambience   -28 LUFS  the level-end whirl and the fire crackle: long beds under
//                        the rest.
#pragma once

#include <string_view>

namespace Varn::DataGen {

constexpr double kSongLufs = -16.0;
constexpr double kSongToleranceLu = 1.0;
constexpr double kEffectToleranceLu = 2.0;
constexpr double kMaxTruePeakDb = -1.0;

enum class EffectClass { Interface, Match, Voice, Ambience };

struct EffectClassTarget {
    EffectClass effectClass;
    const char* name;
    double lufs;
};

constexpr EffectClassTarget kEffectClassTargets[] = {
    {EffectClass::Interface, "interface", -26.0},
    {EffectClass::Match, "match", -23.0},
    {EffectClass::Voice, "voice", -20.0},
    {EffectClass::Ambience, "ambience", -28.0},
};

constexpr const EffectClassTarget& TargetOf(EffectClass effectClass) {
    return kEffectClassTargets[static_cast<int>(effectClass)];
}

struct EffectClassEntry {
    std::string_view effect;
    EffectClass effectClass;
};

constexpr EffectClassEntry kEffectClasses[] = {
    {"click2", EffectClass::Interface},    {"select", EffectClass::Interface},
    {"menuclick", EffectClass::Interface}, {"bad2", EffectClass::Interface},
    {"warning1", EffectClass::Interface},  {"gotset2", EffectClass::Match},
    {"gotsetbig2", EffectClass::Match},    {"combo22", EffectClass::Match},
    {"combo32", EffectClass::Match},       {"combo42", EffectClass::Match},
    {"combo52", EffectClass::Match},       {"gemongem2", EffectClass::Match},
    {"explode2", EffectClass::Match},      {"multishot", EffectClass::Match},
    {"go1", EffectClass::Voice},           {"excellent1", EffectClass::Voice},
    {"levelup1", EffectClass::Voice},      {"gameover1", EffectClass::Voice},
    {"whirlpool1", EffectClass::Ambience}, {"firecrackle", EffectClass::Ambience},
};

}  // namespace Varn::DataGen
