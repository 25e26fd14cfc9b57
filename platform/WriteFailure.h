// WriteFailureText: why a file of the game could not be written, in words a player
// can act on, from the errno value the failed write left behind.
#pragma once

#include <string>

namespace Varn {

// "the disk is full", "the folder cannot be written", ...; the system's own words for
// anything else.
std::string WriteFailureText(int error);

}  // namespace Varn
