// Advertisement: one entry of the advertisement list, its line format and the
// check every file name from a server must pass.
//
// Line format (adlist.txt and the update answer), tokens split at blanks:
//   width height | file1 file2 ... | pending
// e.g. "400 300 | page.html pic.gif | 1". Runs of blanks count as one; numbers
// read as atoi would, saturating instead of overflowing. A file name is kept
// only if it is relative, made of 1-3 segments of letters, digits, '.', '_'
// and '-' (no empty, "." or ".." segment, none starting with '-'), at most 200
// bytes in all; any other name makes its advertisement unavailable for good
// and is never fetched. At most kMaxFiles names per advertisement are kept.
// A written line is never longer than kMaxLineBytes, the longest line read
// back: a refused name is written as "..", which is refused again.
#pragma once

#include <string>
#include <vector>

namespace Varn {

struct Advertisement {
    static constexpr size_t kMaxFiles = 32;
    static constexpr size_t kMaxNameBytes = 200;
    // "-2147483648 -2147483648 |", a blank and a name per file, " | 1".
    static constexpr size_t kMaxLineBytes = 11 + 1 + 11 + 2 + kMaxFiles * (1 + kMaxNameBytes) + 4;

    int width = 0;
    int height = 0;
    std::vector<std::string> files;  // the first is the page shown
    bool available = false;
    bool pending = false;
    bool refused = false;  // a file name failed the check
    int droppedFiles = 0;  // names past kMaxFiles
};

bool IsSafeAdvertisementName(const std::string& name);

// Parses one line. The pending flag of a new record starts true and is then
// taken from the last record of `previous` with the same first file. Every
// accepted name not yet in `queue` is appended to it. False for an empty line
// (nothing to add).
bool ParseAdvertisementLine(const std::string& line, const std::vector<Advertisement>& previous,
                            Advertisement& out, std::vector<std::string>& queue);

std::string FormatAdvertisementLine(const Advertisement& advertisement);

// The atoi reading of a token, saturated to the int range.
int SaturatingAtoi(const std::string& text);

}  // namespace Varn
