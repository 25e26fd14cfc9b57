// S3mWriter: see S3mWriter.h.
#include "tools/datagen/S3mWriter.h"

#include <algorithm>
#include <cstring>

namespace Varn::DataGen {

namespace {

void Put8(std::vector<uint8_t>& v, size_t at, uint8_t x) {
    v[at] = x;
}
void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
void PutText(std::vector<uint8_t>& v, size_t at, const std::string& s, size_t max) {
    std::memcpy(v.data() + at, s.data(), std::min(s.size(), max));
}
void Align16(std::vector<uint8_t>& v) {
    v.resize((v.size() + 15) / 16 * 16, 0);
}

std::vector<uint8_t> PackPattern(const S3mPattern& p, int channels) {
    std::vector<uint8_t> out = {0, 0};
    for (const auto& row : p.rows) {
        for (int ch = 0; ch < channels; ++ch) {
            const S3mEvent& e = row[ch];
            uint8_t what = static_cast<uint8_t>(ch);
            if (e.note != kNoNote || e.instrument != 0) what |= 0x20;
            if (e.volume != kNoVolume) what |= 0x40;
            if (e.command != 0) what |= 0x80;
            if (what == ch) continue;
            out.push_back(what);
            if (what & 0x20) {
                out.push_back(e.note);
                out.push_back(e.instrument);
            }
            if (what & 0x40) out.push_back(e.volume);
            if (what & 0x80) {
                out.push_back(e.command);
                out.push_back(e.info);
            }
        }
        out.push_back(0);
    }
    Put16(out, 0, static_cast<uint16_t>(out.size()));
    return out;
}

}  // namespace

uint8_t S3mNote(int midi) {
    int octave = midi / 12 - 1, semitone = midi % 12;
    return static_cast<uint8_t>(std::clamp(octave, 0, 7) * 16 + semitone);
}

std::vector<uint8_t> WriteS3m(const S3mModule& m) {
    size_t orderCount = m.orders.size() + 1;  // +1 for the end marker
    orderCount += orderCount % 2;             // the count must be even
    size_t sampleCount = m.samples.size(), patternCount = m.patterns.size();
    std::vector<uint8_t> v(0x60, 0);
    PutText(v, 0, m.title, 27);
    Put8(v, 0x1C, 0x1A);
    Put8(v, 0x1D, 16);
    Put16(v, 0x20, static_cast<uint16_t>(orderCount));
    Put16(v, 0x22, static_cast<uint16_t>(sampleCount));
    Put16(v, 0x24, static_cast<uint16_t>(patternCount));
    Put16(v, 0x28, 0x1320);
    Put16(v, 0x2A, 2);  // unsigned samples
    PutText(v, 0x2C, "SCRM", 4);
    Put8(v, 0x30, m.globalVolume);
    Put8(v, 0x31, m.speed);
    Put8(v, 0x32, m.tempo);
    Put8(v, 0x33, static_cast<uint8_t>(m.masterVolume | 0x80));
    Put8(v, 0x35, 252);              // a pan table follows
    for (int ch = 0; ch < 32; ++ch)  // alternate left and right hardware channels
        Put8(v, 0x40 + ch, ch < m.channels ? static_cast<uint8_t>((ch % 2) * 8 + ch / 2) : 255);
    for (uint8_t o : m.orders) v.push_back(o);
    while (v.size() < 0x60 + orderCount) v.push_back(255);
    size_t sampleTable = v.size();
    v.resize(v.size() + 2 * sampleCount, 0);
    size_t patternTable = v.size();
    v.resize(v.size() + 2 * patternCount, 0);
    for (int ch = 0; ch < 32; ++ch)
        v.push_back(ch < m.channels ? static_cast<uint8_t>(0x20 | (m.pan[ch] & 15)) : 0);
    Align16(v);
    std::vector<size_t> headerAt;
    for (size_t i = 0; i < sampleCount; ++i) {
        Put16(v, sampleTable + 2 * i, static_cast<uint16_t>(v.size() / 16));
        headerAt.push_back(v.size());
        v.resize(v.size() + 80, 0);
    }
    for (size_t i = 0; i < patternCount; ++i) {
        Align16(v);
        Put16(v, patternTable + 2 * i, static_cast<uint16_t>(v.size() / 16));
        std::vector<uint8_t> packed = PackPattern(m.patterns[i], m.channels);
        v.insert(v.end(), packed.begin(), packed.end());
    }
    for (size_t i = 0; i < sampleCount; ++i) {
        const S3mSample& s = m.samples[i];
        Align16(v);
        size_t h = headerAt[i];
        uint32_t para = static_cast<uint32_t>(v.size() / 16);
        Put8(v, h, 1);
        PutText(v, h + 1, s.name, 12);
        Put8(v, h + 0x0D, static_cast<uint8_t>(para >> 16));
        Put16(v, h + 0x0E, static_cast<uint16_t>(para & 0xFFFF));
        Put32(v, h + 0x10, static_cast<uint32_t>(s.data.size()));
        Put32(v, h + 0x14, s.loopStart);
        Put32(v, h + 0x18, s.loopEnd);
        Put8(v, h + 0x1C, s.volume);
        Put8(v, h + 0x1F, static_cast<uint8_t>((s.loop ? 1 : 0) | 4));  // 16-bit
        Put32(v, h + 0x20, s.c2spd);
        PutText(v, h + 0x30, s.name, 27);
        PutText(v, h + 0x4C, "SCRS", 4);
        for (int16_t x : s.data) {
            uint16_t u = static_cast<uint16_t>(x + 32768);
            v.push_back(static_cast<uint8_t>(u));
            v.push_back(static_cast<uint8_t>(u >> 8));
        }
    }
    return v;
}

}  // namespace Varn::DataGen
