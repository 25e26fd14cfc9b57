// PairKerning: the horizontal pair adjustments of an OpenType face's GPOS table,
// read from the pair-adjustment lookups (also behind extension lookups) that the
// face's 'kern' features name, in every script and language alike. Only the first
// glyph's X advance is taken, as a 'kern' table would give it; device tables,
// placements and contextual kerning are ignored. Every read is bounded by the
// table's size: a damaged table gives fewer pairs, never a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Varn::DataGen {

class PairKerning {
public:
    explicit PairKerning(std::vector<uint8_t> gpos);
    // Adjustment of the advance of glyph `left` when `right` follows, in font units.
    int Adjust(unsigned left, unsigned right) const;

private:
    int AdjustInSubtable(size_t subtable, unsigned left, unsigned right, bool& applied) const;
    void CollectSubtables();
    void AddLookup(size_t lookup);

    std::vector<uint8_t> data_;
    std::vector<std::vector<size_t>> subtables_;  // pair-adjustment subtables per lookup
};

}  // namespace Varn::DataGen
