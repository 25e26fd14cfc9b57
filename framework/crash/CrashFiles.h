// Where the report process leaves crash.txt: the folder the game writes its files in, as the
// crashed process decided it, or the working folder (which the report process shares with
// the crashed one) when it had not decided one.
#pragma once

#include <string>

namespace Varn {

// Writes the text to crash.txt in the folder (empty: the working folder) through a temporary
// file renamed over the old copy; false if the folder cannot be written.
bool WriteCrashFile(const std::string& folder, const std::string& text);

}  // namespace Varn
