// Where downloaded advertisement files live: below "ads" in the folder the
// game writes to, under names that passed IsSafeAdvertisementName. Folders
// are created outer first, inside "ads" only; a file is written to a
// temporary and renamed when complete. Symbolic links on the way (including
// "ads" itself and the file) are never followed: such a path counts as
// missing and is never written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Varn {

// A regular file reached through real folders only.
bool AdFilePresent(const std::filesystem::path& adsRoot, const std::string& name);
// False when the name is refused, a link is on the way, or writing fails.
bool StoreAdFile(const std::filesystem::path& adsRoot, const std::string& name,
                 std::string_view bytes);

}  // namespace Varn
