// SavedGameFile: reading and safely replacing the small binary file of the
// saved game. Writing goes to a temporary file in the same folder, flushed to
// disk, then renamed over the old file, so a crash or a full disk never
// destroys the previous copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Varn {

// The whole file, or none when it cannot be opened or read. Reading stops
// after maxBytes + 1 bytes, so an oversized file is seen as too long
// without being read whole.
std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                       std::size_t maxBytes);
// False (and the old file untouched) when any step fails.
bool WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace Varn
