// Fuzz entry point for the high-score file reader: any bytes must read as
// tables without running past the data, every name at most 255 bytes, and
// tables written back must read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/HighScoresFile.h"

// NOTE: fuzz targets do not link gemlode_app; the reader's two sources are
// compiled in here until they do (then drop these two lines).

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the given size, so any overread is seen.
    std::vector<uint8_t> bytes(data, data + size);
    const int32_t today = size >= 4 ? int32_t(uint32_t(data[0]) | uint32_t(data[1]) << 8 |
                                              uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24)
                                    : 0;
    Varn::HighScoreTables tables = Varn::DecodeHighScores(bytes.data(), bytes.size(), today);
    for (const Varn::HighScoreModeTable& mode : tables.modes) {
        if (mode.today.name.size() > Varn::HighScoreTables::kMaxNameLength) std::abort();
        for (const Varn::HighScoreEntry& entry : mode.allTime)
            if (entry.name.size() > Varn::HighScoreTables::kMaxNameLength) std::abort();
    }
    std::vector<uint8_t> written = Varn::EncodeHighScores(tables, today);
    if (Varn::DecodeHighScores(written.data(), written.size(), today) != tables) std::abort();
    return 0;
}
