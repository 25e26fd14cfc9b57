// Where downloaded advertisement files live: below "ads" in the folder the
// game writes to, under names that passed IsSafeAdvertisementName. Folders
// are created outer first, inside "ads" only; a file is written to a
// temporary and renamed when complete. Symbolic links on the way (including
// "ads" itself and the file) are never followed: such a path counts as
// missing and is never written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace Varn {

// A regular file reached through real folders only.
bool AdFilePresent(const std::filesystem::path& adsRoot, const std::string& name);
// False when the name is refused, a link is on the way, or writing fails.
bool StoreAdFile(const std::filesystem::path& adsRoot, const std::string& name,
                 std::string_view bytes);
// The size of a present file, else 0.
std::uintmax_t AdFileBytes(const std::filesystem::path& adsRoot, const std::string& name);
// Keeps below adsRoot only files the groups name (a group is one advertisement's
// files; earlier groups are kept first) and deletes every other entry, then the
// folders left empty. A group whose files would take the kept files past
// `budget` bytes is not kept (files an earlier group keeps stay). Links are
// deleted, never followed.
void PruneAdFolder(const std::filesystem::path& adsRoot,
                   const std::vector<std::vector<std::string>>& groups, std::uintmax_t budget);

}  // namespace Varn
