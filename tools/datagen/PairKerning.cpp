// PairKerning: see PairKerning.h.
#include "tools/datagen/PairKerning.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace Varn::DataGen {

namespace {

constexpr unsigned kPairAdjustment = 2;
constexpr unsigned kExtension = 9;

// Big-endian reads that give 0 past the end, so a damaged table reads as empty counts.
struct Reader {
    const std::vector<uint8_t>& d;
    unsigned U16(size_t at) const {
        return at + 2 <= d.size() && at + 2 > at ? unsigned(d[at] << 8 | d[at + 1]) : 0;
    }
    int S16(size_t at) const { return int(int16_t(uint16_t(U16(at)))); }
    size_t U32(size_t at) const { return size_t(U16(at)) << 16 | U16(at + 2); }
};

// Bytes of a value record of the given format, and where its X advance sits.
size_t ValueSize(unsigned format) {
    return 2 * size_t(std::popcount(format & 0xFFu));
}
size_t XAdvanceAt(unsigned format) {
    return 2 * size_t(std::popcount(format & 0x3u));
}

// Index of the glyph in a coverage table, or -1.
long CoverageIndex(const Reader& r, size_t at, unsigned glyph) {
    unsigned format = r.U16(at), count = r.U16(at + 2);
    for (unsigned i = 0; i < count; ++i) {
        if (format == 1 && r.U16(at + 4 + 2 * size_t(i)) == glyph) return long(i);
        size_t range = at + 4 + 6 * size_t(i);
        if (format == 2 && glyph >= r.U16(range) && glyph <= r.U16(range + 2))
            return long(r.U16(range + 4) + glyph - r.U16(range));
    }
    return -1;
}

unsigned GlyphClass(const Reader& r, size_t at, unsigned glyph) {
    unsigned format = r.U16(at);
    if (format == 1) {
        unsigned first = r.U16(at + 2), count = r.U16(at + 4);
        return glyph >= first && glyph - first < count ? r.U16(at + 6 + 2 * size_t(glyph - first))
                                                       : 0;
    }
    unsigned count = format == 2 ? r.U16(at + 2) : 0;
    for (unsigned i = 0; i < count; ++i) {
        size_t range = at + 4 + 6 * size_t(i);
        if (glyph >= r.U16(range) && glyph <= r.U16(range + 2)) return r.U16(range + 4);
    }
    return 0;
}

}  // namespace

PairKerning::PairKerning(std::vector<uint8_t> gpos) : data_(std::move(gpos)) {
    CollectSubtables();
}

void PairKerning::CollectSubtables() {
    Reader r{data_};
    size_t features = r.U16(6), lookups = r.U16(8);
    if (r.U16(0) != 1 || features == 0 || lookups == 0) return;
    std::vector<unsigned> indices;
    for (unsigned i = 0, n = r.U16(features); i < n; ++i) {
        size_t record = features + 2 + 6 * size_t(i);
        bool kern = r.U16(record) == ('k' << 8 | 'e') && r.U16(record + 2) == ('r' << 8 | 'n');
        size_t feature = features + r.U16(record + 4);
        for (unsigned k = 0, m = kern ? r.U16(feature + 2) : 0; k < m; ++k)
            indices.push_back(r.U16(feature + 4 + 2 * size_t(k)));
    }
    // Each lookup applies once, in lookup-list order.
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (unsigned index : indices)
        if (index < r.U16(lookups)) AddLookup(lookups + r.U16(lookups + 2 + 2 * size_t(index)));
}

void PairKerning::AddLookup(size_t lookup) {
    Reader r{data_};
    unsigned type = r.U16(lookup);
    std::vector<size_t> tables;
    for (unsigned i = 0, n = r.U16(lookup + 4); i < n; ++i) {
        size_t table = lookup + r.U16(lookup + 6 + 2 * size_t(i));
        if (type == kExtension && r.U16(table + 2) == kPairAdjustment)
            tables.push_back(table + r.U32(table + 4));
        else if (type == kPairAdjustment)
            tables.push_back(table);
    }
    if (!tables.empty()) subtables_.push_back(std::move(tables));
}

int PairKerning::AdjustInSubtable(size_t at, unsigned left, unsigned right, bool& applied) const {
    Reader r{data_};
    long covered = CoverageIndex(r, at + r.U16(at + 2), left);
    applied = covered >= 0;
    if (!applied) return 0;
    unsigned format = r.U16(at), value1 = r.U16(at + 4), value2 = r.U16(at + 6);
    bool hasAdvance = value1 & 4u;
    if (format == 1) {
        if (unsigned(covered) >= r.U16(at + 8)) return applied = false, 0;
        size_t set = at + r.U16(at + 10 + 2 * size_t(covered));
        size_t record = 2 + ValueSize(value1) + ValueSize(value2);
        for (unsigned i = 0, n = r.U16(set); i < n; ++i)
            if (r.U16(set + 2 + record * i) == right)
                return hasAdvance ? r.S16(set + 4 + record * i + XAdvanceAt(value1)) : 0;
        return applied = false, 0;
    }
    unsigned class1 = GlyphClass(r, at + r.U16(at + 8), left);
    unsigned class2 = GlyphClass(r, at + r.U16(at + 10), right);
    unsigned count1 = r.U16(at + 12), count2 = r.U16(at + 14);
    if (format != 2 || class1 >= count1 || class2 >= count2) return applied = false, 0;
    size_t record = ValueSize(value1) + ValueSize(value2);
    size_t cell = at + 16 + (size_t(class1) * count2 + class2) * record;
    return hasAdvance ? r.S16(cell + XAdvanceAt(value1)) : 0;
}

int PairKerning::Adjust(unsigned left, unsigned right) const {
    int total = 0;
    for (const std::vector<size_t>& lookup : subtables_)
        for (size_t table : lookup) {
            bool applied = false;
            total += AdjustInSubtable(table, left, right, applied);
            if (applied) break;  // the first subtable that takes the pair ends the lookup
        }
    return total;
}

}  // namespace Varn::DataGen
