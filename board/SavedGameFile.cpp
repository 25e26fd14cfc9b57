// SavedGameFile: bounded read (see header).
#include "board/SavedGameFile.h"

#include <cstdio>

namespace Varn {

std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                       std::size_t maxBytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> bytes(maxBytes + 1);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

}  // namespace Varn
