// Where the report process leaves crash.txt: the folder the game writes its files in, as the
// crashed process decided it and handed it over open (a path of any length works), or the
// working folder (which the report process shares with the crashed one) when it had not
// decided one.
#pragma once

#include <string>

namespace Varn {

// Writes the text to crash.txt in the open folder (-1: the working folder) through a
// temporary file renamed over the old copy; false if the folder cannot be written. Moves
// the process into that folder.
bool WriteCrashFile(int folderFd, const std::string& text);

}  // namespace Varn
