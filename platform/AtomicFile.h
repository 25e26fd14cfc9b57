// AtomicFile: the one way the game replaces a file of its own (saved game, high
// scores, settings, crash report, advertisement list and downloads). The bytes go
// to a temporary file in the same folder, which is flushed to disk and renamed
// over the target; the folder is then flushed too, so after a crash, a kill or a
// full disk the target holds either the old or the new contents, never a mix.
// Temporary files are named target + kTemporaryMarker + random letters and
// digits, and created exclusively (O_EXCL, no link followed, mode 0600), so a
// file or link planted beside the target is never written through; a name
// already taken is drawn again. A run that was killed half-way leaves its
// temporary behind, which RemoveLeftoverTemporaries deletes at the next start
// (only after this run holds the instance lock, so it never deletes the
// temporary of a copy that is still writing).
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace Varn {

inline constexpr std::string_view kTemporaryMarker = ".gemlode-tmp-";

// False, with the target untouched and no temporary left, when any step fails
// (folder missing or unwritable, disk full, target is a folder...).
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);
// The same with the temporary's candidate names drawn from `temporaryName` (given the
// target) instead of RandomTemporaryPath, for tests that must know where it is opened.
bool WriteFileAtomically(
    const std::filesystem::path& target, std::string_view bytes,
    const std::function<std::filesystem::path(const std::filesystem::path&)>& temporaryName);

// A fresh candidate name for the temporary of `target`: its random part is
// different at every call.
std::filesystem::path RandomTemporaryPath(const std::filesystem::path& target);

// Deletes the regular files in `folder` and all its sub-folders (links are
// neither followed nor deleted) whose names hold the temporary marker.
// Returns how many were deleted.
int RemoveLeftoverTemporaries(const std::filesystem::path& folder);

}  // namespace Varn
