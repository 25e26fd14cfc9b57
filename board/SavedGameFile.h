// SavedGameFile: bounded reading of the small binary files of the game (the
// saved game, the high scores). Writing them goes through WriteFileAtomically
// (platform/AtomicFile.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Varn {

// The whole file, or none when it cannot be opened or read or is not a
// regular file (a FIFO or a device is never waited on). Reading stops after
// maxBytes + 1 bytes, so an oversized file is seen as too long without being
// read whole.
std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                       std::size_t maxBytes);

}  // namespace Varn
