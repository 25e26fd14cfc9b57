// SavedGameFile: bounded read (see header).
#include "board/SavedGameFile.h"

#include <cstdio>

#include "platform/RegularFile.h"

namespace Varn {

std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                       std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    const FileRead result = ReadRegularFile(path, maxBytes, bytes);
    if (result != FileRead::Ok && result != FileRead::TooLarge) return std::nullopt;
    return bytes;
}

}  // namespace Varn
