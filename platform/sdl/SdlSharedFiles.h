// SDL 2.26 on Wayland gives each colour cursor a buffer in a file it makes in
// $XDG_RUNTIME_DIR ("sdl-shared-XXXXXX") and never removes, so every run leaves two
// 4 KiB files behind for good. The files are needed only until the compositor has the
// memory (which it has once the cursor exists); the mapping outlives the name.
#pragma once

#include <string>

namespace Varn {

// Removes the "sdl-shared-*" files directly in `runtimeFolder` that this process has mapped
// and that still carry the mapped inode (read from `mapsText`, the text of /proc/self/maps);
// files of other processes are left alone. Returns how many were removed.
int RemoveMappedSharedFiles(const std::string& runtimeFolder, const std::string& mapsText);

// The same for this process, its maps and $XDG_RUNTIME_DIR; nothing where that is unset.
int RemoveOwnSharedFiles();

}  // namespace Varn
