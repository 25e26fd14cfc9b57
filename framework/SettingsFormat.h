// SettingsFormat: the text form of one settings key's values, a freedesktop key
// file a player can read and edit:
//   [Gemlode]
//   # Music volume, 0 to 100
//   MusicVolume=50
//   LastScoreName=Ann "The Hammer"
// Integers are written in decimal, strings as they are (Latin-1 bytes as UTF-8),
// with the key-file escapes \s (a leading space), \n, \t, \r and \\, and \xHH for
// any other control byte. Lines are "Key=Value" (spaces around '=' allowed),
// "[Group]", comments starting with '#' and blank lines; "\r\n" line ends are
// accepted. Only the values of the key's own group are read; other groups are
// skipped. A value line outside any group, a line without '=' or a bad escape
// makes the text damaged.
//
// The registry-export form the game used before ("MusicVolume"=dword:00000032,
// "LastScoreName"="Ann") is still read, so an old file converts at its next write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace Varn {

using SettingsValue = std::variant<std::uint32_t, std::string>;
using SettingsEntries = std::vector<std::pair<std::string, SettingsValue>>;

// The longest string value the game reads (ReferId); longer ones are cut when
// written, so a written file always reads back.
constexpr std::size_t kMaxSettingsStringBytes = 256;

// Appends the values of `content` (either form) in group `group` to `entries` (a
// repeated name keeps its last value). Key-file values come back as strings.
// False, with `entries` untouched, if the text is damaged. `oldForm` tells which
// form was read.
bool ParseSettingsText(const std::string& content, const std::string& group,
                       SettingsEntries& entries, bool* oldForm = nullptr);

std::string FormatSettingsText(const SettingsEntries& entries, const std::string& group);

// The comment written above a known value (its meaning and range); empty for others.
std::string SettingsValueComment(const std::string& name);

}  // namespace Varn
