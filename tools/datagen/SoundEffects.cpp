// SoundEffects: see SoundEffects.h. One small recipe per effect; all levels are
// normalised below full scale so no effect clips.
#include "tools/datagen/SoundEffects.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/datagen/Dsp.h"
#include "tools/datagen/Output.h"
#include "tools/datagen/Speech.h"

namespace Varn::DataGen {

namespace {

constexpr int R = kSampleRate;
constexpr double kPi = 3.141592653589793;

double Note(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

Buffer Finish(Buffer b, double peak = 0.8) {
    Normalize(b, peak);
    FadeEdges(b, R);
    return b;
}

Buffer GotSet() {
    Buffer b = Bell(Note(15), 0.45, R);  // C6
    MixInto(b, Bell(Note(22), 0.35, R, 0.6), R, 0.0, 0.5);
    Reverb(b, R, 0.25);
    return Finish(b, 0.7);
}

Buffer GotSetBig() {
    Buffer b;
    for (int k : {15, 19, 22, 27}) MixInto(b, Bell(Note(k), 0.7, R), R, 0.0, 0.6);
    Buffer sparkle = Noise(0.5, R, 5);
    HighPass(sparkle, R, 6000);
    Multiply(sparkle, R, [](double t) { return 0.35 * ExpDecay(t, 0.08); });
    MixInto(b, sparkle, R, 0.0);
    Reverb(b, R, 0.3);
    return Finish(b, 0.75);
}

// Cascade chimes: each level a two-note rise starting higher than the last.
Buffer Combo(int level) {
    static const int starts[] = {7, 10, 15, 19};
    int a = starts[level], b2 = a + 5;
    Buffer b = Bell(Note(a), 0.35, R, 0.8);
    MixInto(b, Bell(Note(b2), 0.45, R, 0.9), R, 0.07);
    if (level == 3) MixInto(b, Bell(Note(b2 + 7), 0.5, R, 0.9), R, 0.14, 0.7);
    Reverb(b, R, 0.25);
    return Finish(b, 0.7);
}

Buffer Bad() {
    Buffer b = Tone(
        0.28, R, Wave::Square, [](double t) { return 170 - 120 * t; },
        [](double t) { return AttackDecay(t, 0.005, 0.12); });
    MixInto(b,
            Tone(
                0.28, R, Wave::Square, [](double t) { return 160 - 110 * t; },
                [](double t) { return AttackDecay(t, 0.005, 0.12); }),
            R, 0.0, 0.8);
    LowPass(b, R, [](double) { return 1400.0; });
    return Finish(b, 0.6);
}

Buffer GemOnGem() {
    Buffer b = Tone(
        0.12, R, Wave::Sine, [](double t) { return 220 * std::exp(-t * 14) + 90; },
        [](double t) { return AttackDecay(t, 0.001, 0.02); });
    Buffer click = Noise(0.03, R, 8);
    LowPass(click, R, [](double) { return 3500.0; });
    Multiply(click, R, [](double t) { return 0.6 * ExpDecay(t, 0.004); });
    MixInto(b, click, R, 0.0);
    return Finish(b, 0.6);
}

Buffer Explode() {
    Buffer b = Noise(1.4, R, 9);
    LowPass(b, R, [](double t) { return 200 + 4000 * ExpDecay(t, 0.12); });
    Multiply(b, R, [](double t) { return AttackDecay(t, 0.004, 0.22); });
    MixInto(b,
            Tone(
                1.0, R, Wave::Sine, [](double t) { return 70 * std::exp(-t * 2) + 28; },
                [](double t) { return 0.9 * AttackDecay(t, 0.004, 0.2); }),
            R, 0.0);
    return Finish(b, 0.85);
}

Buffer Click(double freq, double seconds) {
    Buffer b = Tone(
        seconds, R, Wave::Sine, [=](double) { return freq; },
        [](double t) { return AttackDecay(t, 0.0008, 0.008); });
    Buffer n = Noise(seconds, R, 10);
    HighPass(n, R, 3000);
    Multiply(n, R, [](double t) { return 0.5 * ExpDecay(t, 0.002); });
    MixInto(b, n, R, 0.0);
    return Finish(b, 0.55);
}

Buffer Select() {
    Buffer b = Tone(
        0.12, R, Wave::Triangle, [](double t) { return 660 + 3000 * t; },
        [](double t) { return AttackDecay(t, 0.003, 0.03); });
    return Finish(b, 0.55);
}

Buffer MultiShot() {
    Buffer b;
    for (int i = 0; i < 3; ++i) MixInto(b, Bell(Note(20 + 5 * i), 0.25, R, 1.2), R, 0.055 * i, 0.8);
    return Finish(b, 0.7);
}

Buffer Announcer(const std::string& words, int pitch, int speed, double chordRoot) {
    Buffer voice = Speak(words, R, pitch, speed);
    Normalize(voice, 0.8);
    // Doubling a little lower and later gives the voice a fuller, arcade-show sound.
    Buffer low = Resampled(voice, 1.12);
    Buffer b = voice;
    MixInto(b, low, R, 0.012, 0.45);
    if (chordRoot > 0)
        for (double ratio : {1.0, 1.26, 1.5, 2.0}) {
            Buffer pad = Tone(
                1.3, R, Wave::Triangle, [=](double) { return chordRoot * ratio; },
                [](double t) { return 0.12 * std::sin(kPi * std::min(1.0, t / 1.3)); });
            MixInto(b, pad, R, 0.0);
        }
    Reverb(b, R, 0.3);
    return Finish(b, 0.85);
}

Buffer LevelUp() {
    Buffer b;
    int steps[] = {3, 7, 10, 15, 19, 22, 27};
    for (int i = 0; i < 7; ++i) MixInto(b, Bell(Note(steps[i]), 0.6, R, 0.9), R, 0.08 * i, 0.6);
    Buffer swell = Noise(1.2, R, 12);
    LowPass(swell, R, [](double t) { return 500 + 5000 * t; });
    Multiply(swell, R, [](double t) { return 0.25 * std::sin(kPi * t / 1.2); });
    MixInto(b, swell, R, 0.0);
    Reverb(b, R, 0.35);
    return Finish(b, 0.8);
}

Buffer GameOver() {
    Buffer b;
    int notes[] = {-2, -5, -9, -14};  // G4, E4, C4, G3: a falling close
    for (int i = 0; i < 4; ++i) {
        double f = Note(notes[i]);
        Buffer n = Tone(
            0.9, R, Wave::Saw, [=](double t) { return f * (1 + 0.004 * std::sin(30 * t)); },
            [](double t) { return AttackDecay(t, 0.02, 0.3); });
        LowPass(n, R, [](double t) { return 600 + 1800 * ExpDecay(t, 0.2); });
        MixInto(b, n, R, 0.32 * i, 0.6);
    }
    Reverb(b, R, 0.35);
    return Finish(b, 0.8);
}

Buffer FireCrackle() {
    Random rnd(13);
    Buffer b(static_cast<size_t>(1.5 * R), 0.0f);
    for (int i = 0; i < 90; ++i) {
        double t = 1.3 * std::pow(rnd.Unit(), 1.6);
        Buffer pop = Noise(0.02, R, 100 + i);
        double tone = 1500 + 5000 * rnd.Unit();
        LowPass(pop, R, [=](double) { return tone; });
        Multiply(pop, R, [](double u) { return ExpDecay(u, 0.003); });
        MixInto(b, pop, R, t, (0.3 + 0.7 * rnd.Unit()) * (1.2 - t / 1.5));
    }
    Reverb(b, R, 0.2);
    return Finish(b, 0.75);
}

Buffer Warning() {
    Buffer b;
    for (int i = 0; i < 2; ++i) {
        Buffer beep = Tone(
            0.09, R, Wave::Square, [](double) { return 880.0; },
            [](double t) { return t < 0.08 ? 1.0 : 0.0; });
        LowPass(beep, R, [](double) { return 2500.0; });
        FadeEdges(beep, R, 0.003, 0.01);
        MixInto(b, beep, R, 0.14 * i);
    }
    return Finish(b, 0.6);
}

// A seamless two-second loop: periodic noise filtered in steady state, swept twice
// per loop, over a drone whose cycles fit the loop exactly.
Buffer Whirlpool() {
    const size_t loop = 2 * R;
    Buffer noise = Noise(2.0, R, 14);
    Buffer twice = noise;
    twice.insert(twice.end(), noise.begin(), noise.end());
    LowPass(twice, R, [](double t) { return 700 + 500 * std::sin(2 * kPi * t); });
    LowPass(twice, R, [](double t) { return 900 + 400 * std::sin(2 * kPi * t + 1); });
    Buffer b(twice.begin() + loop, twice.end());
    for (size_t i = 0; i < loop; ++i) {
        double t = static_cast<double>(i) / R;
        double drone = std::sin(2 * kPi * 55 * t) * 0.3 + std::sin(2 * kPi * 82.5 * t) * 0.15;
        b[i] = static_cast<float>(b[i] * (2.5 + 1.5 * std::sin(2 * kPi * t)) +
                                  drone * (0.8 + 0.2 * std::sin(kPi * t)));
    }
    Normalize(b, 0.6);
    return b;  // no fades: the loop joins end to start
}

}  // namespace

std::vector<SoundEffect> MakeSoundEffects() {
    std::vector<SoundEffect> s;
    s.push_back({"gotset2", GotSet()});
    s.push_back({"gotsetbig2", GotSetBig()});
    s.push_back({"combo22", Combo(0)});
    s.push_back({"combo32", Combo(1)});
    s.push_back({"combo42", Combo(2)});
    s.push_back({"combo52", Combo(3)});
    s.push_back({"bad2", Bad()});
    s.push_back({"gemongem2", GemOnGem()});
    s.push_back({"explode2", Explode()});
    s.push_back({"click2", Click(2200, 0.03)});
    s.push_back({"select", Select()});
    s.push_back({"menuclick", Click(1200, 0.06)});
    s.push_back({"multishot", MultiShot()});
    s.push_back({"go1", Announcer("Go!", 45, 150, 0)});
    s.push_back({"levelup1", LevelUp(), true});
    s.push_back({"gameover1", GameOver(), true});
    s.push_back({"firecrackle", FireCrackle()});
    s.push_back({"warning1", Warning()});
    s.push_back({"whirlpool1", Whirlpool()});
    s.push_back({"excellent1", Announcer("Excellent!", 50, 135, Note(3) / 2)});
    return s;
}

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

// RIFF/WAVE with a 16-byte "fmt " chunk (plain PCM), the layout every reader takes.
std::vector<uint8_t> WavBytes(const std::vector<float>& samples) {
    std::vector<uint8_t> v = {'R', 'I', 'F', 'F'};
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    Put32(v, 36 + dataBytes);
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(v, 16);
    Put16(v, 1);
    Put16(v, 1);
    Put32(v, kSampleRate);
    Put32(v, kSampleRate * 2);
    Put16(v, 2);
    Put16(v, 16);
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    Put32(v, dataBytes);
    for (float s : samples) {
        long q = std::lround(std::fmax(-1.0, std::fmin(1.0, s)) * 32767.0);
        Put16(v, static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    return v;
}

uint32_t OggCrc(const uint8_t* data, size_t size) {
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint32_t>(data[i]) << 24;
        for (int b = 0; b < 8; ++b) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// The encoder picks a random stream serial number; a fixed one (with each page's
// checksum redone) makes the file the same on every run.
bool FixOggSerial(std::vector<uint8_t>& ogg, uint32_t serial) {
    size_t pos = 0;
    while (pos + 27 <= ogg.size()) {
        if (std::memcmp(ogg.data() + pos, "OggS", 4) != 0) return false;
        size_t segments = ogg[pos + 26];
        if (pos + 27 + segments > ogg.size()) return false;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += ogg[pos + 27 + i];
        size_t pageSize = 27 + segments + body;
        if (pos + pageSize > ogg.size()) return false;
        for (int i = 0; i < 4; ++i) {
            ogg[pos + 14 + i] = static_cast<uint8_t>(serial >> (8 * i));
            ogg[pos + 22 + i] = 0;
        }
        uint32_t crc = OggCrc(ogg.data() + pos, pageSize);
        for (int i = 0; i < 4; ++i) ogg[pos + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
        pos += pageSize;
    }
    return pos == ogg.size();
}

bool WriteOgg(const std::string& path, const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    double quality = 0.6;
    sf_command(f, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    sf_count_t written =
        sf_writef_float(f, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(f);
    if (written != static_cast<sf_count_t>(samples.size())) return false;
    std::vector<uint8_t> bytes;
    std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    in.reset();
    return FixOggSerial(bytes, 0x47656D4Cu) && WriteBinaryFile(path, bytes);
}

}  // namespace

bool WriteSoundEffect(const std::string& soundsDir, const SoundEffect& effect) {
    std::string base = soundsDir + "/" + effect.name;
    // The game tries .wav, .mp3, .ogg in turn: no stale variant may stay behind.
    for (const char* ext : {".wav", ".mp3", ".ogg"}) std::remove((base + ext).c_str());
    if (effect.ogg) return WriteOgg(base + ".ogg", effect.samples);
    return WriteBinaryFile(base + ".wav", WavBytes(effect.samples));
}

}  // namespace Varn::DataGen
