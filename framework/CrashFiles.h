// Where the report process leaves crash.txt: the folder the game writes its files in (the
// working folder, which the report process shares with the crashed one).
#pragma once

#include <string>

namespace Varn {

// Writes the text to crash.txt through a temporary file renamed over the old copy; false
// if the folder cannot be written.
bool WriteCrashFile(const std::string& text);

}  // namespace Varn
