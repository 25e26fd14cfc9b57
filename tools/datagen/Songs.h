// Songs: the three background songs as Scream Tracker 3 modules, composed
// here from chord progressions and rhythm patterns and played by our own
// synthesised instruments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Varn::DataGen {

struct Song {
    std::string fileName;  // "1984-network.s3m", ...
    std::vector<uint8_t> bytes;
    std::string problem;  // empty, or why the song misses its loudness target
};

// Each song levelled to the song loudness target (MixTargets.h).
std::vector<Song> MakeSongs();

}  // namespace Varn::DataGen
