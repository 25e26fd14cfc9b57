// The high-score file "hiscores.dat": two mode blocks (normal, then timed),
// each the day number of writing, today's entry and the five all-time
// entries; every entry is a 16-bit name length, the name bytes, the score and
// its check value; little-endian, no header, no padding.
//
// Reading never fails as a whole: a today entry from another day or with a
// wrong check is dropped; an all-time entry with a wrong check keeps its name
// and gets its score reduced modulo 256 (sign kept); a name length above 255
// is read as 255. The reader never runs past the end: an entry cut off by the
// end of the file keeps its default, and nothing after it is read.
//
// Writing goes to a temporary file beside the target, flushed to disk and
// renamed over it, so a failed or interrupted write leaves the old file whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/HighScoresTable.h"

namespace Varn {

// The largest file the layout allows (every name 255 bytes); reading looks no further.
constexpr size_t kMaxHighScoreFileSize =
    HighScoreTables::kModes *
    (4 + (1 + HighScoreModeTable::kAllTimeEntries) * (2 + HighScoreTables::kMaxNameLength + 8));

std::vector<uint8_t> EncodeHighScores(const HighScoreTables& tables, int32_t day);
// The tables as read over the defaults; `today` is the current day number.
HighScoreTables DecodeHighScores(const uint8_t* data, size_t size, int32_t today);

// Defaults when the file is missing or unreadable.
HighScoreTables ReadHighScoreFile(const std::string& path, int32_t today);
// False, with the old file untouched, when any step fails.
bool WriteHighScoreFile(const std::string& path, const HighScoreTables& tables, int32_t day);

}  // namespace Varn
