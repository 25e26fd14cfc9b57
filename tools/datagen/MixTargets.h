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
// their whole length as one window instead of by gated integrated loudness. A mono
// effect plays on both channels (+3 LU) at the effects volume (0.85 by default,
// -1.5 dB), so in the game a class sounds about 1.5 LU over its file's figure; the
// few effects of one move, started together, add up to about 10 LU over the music
// at the default volumes.
//   interface  -30 LUFS  clicks, the gem selection, the refused swap: short and
//                        frequent, they sit lowest.
//   match      -27 LUFS  matches, cascade and combo chimes, landings, the blast: the
//                        core feedback, one by one a little over the music.
//   voice      -24 LUFS  "GO!", "EXCELLENT!", the level-up and game-over stingers,
//                        the time warning: rare announcements that must carry over
//                        everything.
//   ambience   -32 LUFS  the level-end whirl and the fire crackle: long beds under
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
    {EffectClass::Interface, "interface", -30.0},
    {EffectClass::Match, "match", -27.0},
    {EffectClass::Voice, "voice", -24.0},
    {EffectClass::Ambience, "ambience", -32.0},
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
    {"warning1", EffectClass::Voice},      {"gotset2", EffectClass::Match},
    {"gotsetbig2", EffectClass::Match},    {"combo22", EffectClass::Match},
    {"combo32", EffectClass::Match},       {"combo42", EffectClass::Match},
    {"combo52", EffectClass::Match},       {"gemongem2", EffectClass::Match},
    {"explode2", EffectClass::Match},      {"multishot", EffectClass::Match},
    {"go1", EffectClass::Voice},           {"excellent1", EffectClass::Voice},
    {"levelup1", EffectClass::Voice},      {"gameover1", EffectClass::Voice},
    {"whirlpool1", EffectClass::Ambience}, {"firecrackle", EffectClass::Ambience},
};

}  // namespace Varn::DataGen
