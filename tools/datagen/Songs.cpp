// Songs: see Songs.h. Each song is a list of sections; a section is one 64-row
// pattern (four bars, one chord each) with some of the parts switched on.
// Parts are written by small rule sets (drum grooves, bass lines, chord pads,
// arpeggios, a lead melody walking over chord and scale tones), seeded per
// section, so the music is composed the same way on every run.
#include "tools/datagen/Songs.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Instruments.h"
#include "tools/datagen/Levelling.h"
#include "tools/datagen/S3mWriter.h"

namespace Varn::DataGen {

namespace {

enum Channel {
    kChKick,
    kChSnare,
    kChHat,
    kChBass,
    kChPad1,
    kChPad2,
    kChPad3,
    kChLead,
    kChArp,
    kChannels
};

struct Chord {
    int root;  // semitones above the key's tonic
    bool minor;
};

struct Section {
    int progression;  // index into the style's progressions
    int drums;        // 0 none, 1 light, 2 full
    bool bass, pad, arp, lead;
    uint32_t seed;
};

struct Style {
    const char* title;
    uint8_t tempo;
    int tonic;  // MIDI note of the key's tonic (octave of the bass)
    bool minorKey;
    std::vector<std::vector<Chord>> progressions;
    int groove;  // 0 calm, 1 steady, 2 urgent
    std::vector<Section> sections;
};

void Put(S3mPattern& p, int row, int ch, int midi, uint8_t instrument, int volume) {
    S3mEvent& e = p.rows[row][ch];
    e.note = midi < 0 ? kNoteOff : S3mNote(midi);
    e.instrument = midi < 0 ? 0 : instrument;
    e.volume = static_cast<uint8_t>(std::clamp(volume, 0, 64));
}

void Drums(S3mPattern& p, int groove, int level) {
    if (level == 0) return;
    int soft = level == 1 ? 12 : 0;
    for (int bar = 0; bar < 4; ++bar) {
        int r = bar * 16;
        switch (groove) {
            case 0:
                for (int k : {0, 10}) Put(p, r + k, kChKick, 60, kKick, 46 - soft);
                if (level == 2) Put(p, r + 8, kChSnare, 60, kSnare, 30);
                for (int h = 0; h < 16; h += 4) Put(p, r + h + 2, kChHat, 60, kHat, 22 - soft / 2);
                break;
            case 1:
                for (int k : {0, 8, 10}) Put(p, r + k, kChKick, 60, kKick, 52 - soft);
                for (int s : {4, 12}) Put(p, r + s, kChSnare, 60, kSnare, 44 - soft);
                for (int h = 0; h < 16; h += 2)
                    Put(p, r + h, kChHat, 60, kHat, h % 4 == 2 ? 30 : 20);
                if (bar == 3 && level == 2) Put(p, r + 14, kChSnare, 60, kSnare, 34);
                break;
            default:
                for (int k = 0; k < 16; k += 4) Put(p, r + k, kChKick, 60, kKick, 56 - soft);
                for (int s : {4, 12}) Put(p, r + s, kChSnare, 60, kSnare, 48 - soft);
                for (int h = 0; h < 16; ++h)
                    if (h % 4 == 2)
                        Put(p, r + h, kChHat, 60, kOpenHat, 26);
                    else
                        Put(p, r + h, kChHat, 60, kHat, h % 2 ? 16 : 24);
                if (bar == 3 && level == 2)
                    for (int s : {13, 14, 15})
                        Put(p, r + s, kChSnare, 60, kSnare, 30 + 4 * (s - 13));
        }
    }
}

std::vector<int> ChordTones(const Style& st, const Chord& c, int octaveBase) {
    int root = octaveBase + c.root;
    return {root, root + (c.minor ? 3 : 4), root + 7};
}

void Bass(S3mPattern& p, const Style& st, const std::vector<Chord>& prog) {
    for (int bar = 0; bar < 4; ++bar) {
        int root = st.tonic + prog[bar].root, r = bar * 16;
        if (st.groove == 0) {
            Put(p, r, kChBass, root, kBass, 48);
            Put(p, r + 10, kChBass, root + 7, kBass, 36);
        } else if (st.groove == 1) {
            for (int k : {0, 3, 6, 8, 11, 14})
                Put(p, r + k, kChBass, k == 6 || k == 14 ? root + 12 : root, kBass,
                    k % 8 == 0 ? 52 : 40);
        } else {
            for (int k = 0; k < 16; k += 2)
                Put(p, r + k, kChBass, k % 4 == 2 ? root + 12 : root, kBass, k % 4 == 0 ? 54 : 42);
        }
    }
}

void Pad(S3mPattern& p, const Style& st, const std::vector<Chord>& prog) {
    for (int bar = 0; bar < 4; ++bar) {
        std::vector<int> tones = ChordTones(st, prog[bar], st.tonic + 24);
        // Voice the chord close above the tonic's octave (smooth voice leading).
        for (int& t : tones)
            while (t > st.tonic + 31) t -= 12;
        std::sort(tones.begin(), tones.end());
        int vol = st.groove == 2 ? 20 : 26;
        for (int v = 0; v < 3; ++v) Put(p, bar * 16, kChPad1 + v, tones[v], kPad, vol);
    }
}

void Arp(S3mPattern& p, const Style& st, const std::vector<Chord>& prog) {
    int step = st.groove == 0 ? 2 : 2;
    for (int bar = 0; bar < 4; ++bar) {
        std::vector<int> tones = ChordTones(st, prog[bar], st.tonic + 36);
        tones.push_back(tones[0] + 12);
        static const int order[] = {0, 1, 2, 3, 2, 1, 0, 2};
        for (int k = 0, i = 0; k < 16; k += step, ++i)
            Put(p, bar * 16 + k, kChArp, tones[order[i % 8]], kBell, (i % 4 == 0) ? 30 : 20);
    }
}

// A lead line: rhythm from a template, pitches by a seeded walk over the scale that
// lands on chord tones on strong beats.
void Lead(S3mPattern& p, const Style& st, const std::vector<Chord>& prog, uint32_t seed) {
    static const int majorScale[] = {0, 2, 4, 5, 7, 9, 11};
    static const int minorScale[] = {0, 2, 3, 5, 7, 8, 10};
    static const std::vector<std::vector<int>> rhythms[] = {
        {{0, 6, 8, 12}, {0, 4, 8}, {0, 3, 6, 10, 12}, {0, 8}},
        {{0, 3, 6, 8, 12, 14}, {0, 4, 6, 8, 10}, {0, 2, 4, 8, 11, 14}, {0, 6, 8}},
        {{0, 2, 4, 6, 8, 10, 12, 14},
         {0, 3, 6, 8, 11, 14},
         {0, 2, 3, 6, 8, 10, 12},
         {0, 4, 6, 8, 12, 13, 14}},
    };
    Random rnd(seed);
    const int* scale = st.minorKey ? minorScale : majorScale;
    int degree = 7 + static_cast<int>(rnd.Next() % 3);  // index into a two-octave scale
    auto pitch = [&](int d) { return st.tonic + 24 + 12 * (d / 7) + scale[d % 7]; };
    for (int bar = 0; bar < 4; ++bar) {
        const std::vector<int>& rhythm = rhythms[st.groove][(rnd.Next() % 4 + bar) % 4];
        std::vector<int> chord = ChordTones(st, prog[bar], 0);
        for (size_t n = 0; n < rhythm.size(); ++n) {
            int move = static_cast<int>(rnd.Next() % 5) - 2;
            degree = std::clamp(degree + (move == 0 ? 1 : move), 5, 15);
            if (rhythm[n] % 8 == 0)  // strong beat: nearest chord tone
                for (int d = 0; d < 3; ++d) {
                    int pc = (pitch(degree) - st.tonic) % 12;
                    if (std::find_if(chord.begin(), chord.end(), [&](int c) {
                            return (c % 12 + 12) % 12 == pc;
                        }) != chord.end())
                        break;
                    degree = std::clamp(degree + 1, 5, 15);
                }
            int vol = rhythm[n] % 4 == 0 ? 40 : 32;
            Put(p, bar * 16 + rhythm[n], kChLead, pitch(degree), kLead, vol);
        }
        if (bar % 2 == 1 && st.groove != 2) Put(p, bar * 16 + 15, kChLead, -1, 0, 0);
    }
}

S3mPattern Compose(const Style& st, const Section& s) {
    S3mPattern p;
    const std::vector<Chord>& prog = st.progressions[s.progression];
    Drums(p, st.groove, s.drums);
    if (s.bass) Bass(p, st, prog);
    if (s.pad) Pad(p, st, prog);
    if (s.arp) Arp(p, st, prog);
    if (s.lead) Lead(p, st, prog, s.seed);
    return p;
}

// The module's master volume at which the songs were composed; levelling scales it.
constexpr int kComposedMasterVolume = 0x5C;

std::vector<uint8_t> Build(const Style& st, int masterVolume) {
    S3mModule m;
    m.title = st.title;
    m.channels = kChannels;
    m.tempo = st.tempo;
    m.speed = 6;
    m.masterVolume = static_cast<uint8_t>(masterVolume);
    m.pan = {7, 8, 9, 7, 3, 12, 7, 10, 5};
    m.samples = MakeInstruments();
    for (size_t i = 0; i < st.sections.size(); ++i) {
        m.patterns.push_back(Compose(st, st.sections[i]));
        m.orders.push_back(static_cast<uint8_t>(i));
    }
    return WriteS3m(m);
}

// Title screen: calm, D major, 84 bpm; pads and bells, soft drums later.
Style Calm() {
    Style s{"Autonomus",
            84,
            38,
            false,
            {{{0, false}, {9, true}, {5, false}, {7, false}},
             {{5, false}, {7, false}, {4, true}, {9, true}},
             {{2, true}, {7, false}, {0, false}, {7, false}}},
            0,
            {}};
    s.sections = {{0, 0, false, true, true, false, 1}, {0, 0, true, true, true, false, 2},
                  {1, 1, true, true, true, true, 3},   {0, 1, true, true, true, true, 4},
                  {2, 1, true, true, false, true, 5},  {1, 2, true, true, true, true, 6},
                  {0, 2, true, true, true, true, 7}};
    return s;
}

// Normal mode: steady, A minor, 118 bpm.
Style Steady() {
    Style s{"Network",
            118,
            33,
            true,
            {{{0, true}, {8, false}, {3, false}, {10, false}},
             {{5, true}, {0, true}, {8, false}, {10, false}},
             {{8, false}, {10, false}, {0, true}, {7, true}}},
            1,
            {}};
    s.sections = {{0, 1, true, true, false, false, 11}, {0, 2, true, true, true, false, 12},
                  {0, 2, true, true, false, true, 13},  {1, 2, true, true, true, true, 14},
                  {2, 2, true, true, true, true, 15},   {1, 1, true, true, true, false, 16},
                  {0, 2, true, true, true, true, 17},   {2, 2, true, true, true, true, 18},
                  {1, 2, true, true, false, true, 19},  {0, 2, true, true, true, true, 20}};
    return s;
}

// Timed mode: urgent, E minor, 150 bpm, four on the floor.
Style Urgent() {
    Style s{"Datajack",
            150,
            40,
            true,
            {{{0, true}, {8, false}, {10, false}, {7, false}},
             {{0, true}, {3, false}, {10, false}, {11, false}},
             {{5, true}, {0, true}, {8, false}, {7, false}}},
            2,
            {}};
    s.sections = {{0, 2, true, false, false, false, 21}, {0, 2, true, true, true, false, 22},
                  {0, 2, true, true, true, true, 23},    {1, 2, true, true, true, true, 24},
                  {2, 2, true, true, false, true, 25},   {1, 1, true, true, true, false, 26},
                  {0, 2, true, true, true, true, 27},    {2, 2, true, true, true, true, 28},
                  {1, 2, true, true, true, true, 29},    {0, 2, true, true, false, true, 30},
                  {2, 2, true, true, true, true, 31},    {1, 2, true, true, true, true, 32}};
    return s;
}

// The song at the master volume (libopenmpt's sample pre-amplification, linear)
// that brings it to the song loudness target, checked once more at that volume.
Song Levelled(const char* fileName, const Style& style) {
    const double gain = SongLevelGain(Build(style, kComposedMasterVolume));
    const auto volume = std::clamp<long>(std::lround(kComposedMasterVolume * gain), 16, 127);
    Song song{fileName, Build(style, static_cast<int>(volume)), {}};
    if (!CheckSong(song.bytes, song.problem)) song.problem = song.fileName + ": " + song.problem;
    return song;
}

}  // namespace

std::vector<Song> MakeSongs() {
    return {Levelled("1984-network.s3m", Steady()), Levelled("1981-datajack.s3m", Urgent()),
            Levelled("1980-autonomus.s3m", Calm())};
}

}  // namespace Varn::DataGen
