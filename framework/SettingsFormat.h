// SettingsFormat: the text form of one settings key's values, one value per line
// ('#' lines and blank lines are ignored, "\r\n" line ends accepted):
//   "MusicVolume"=dword:00000032
//   "LastScoreName"="Ann \"The Hammer\""
// Names and strings are quoted; '\' escapes '\' and '"', and \xHH stands for any
// byte outside printable ASCII, so every byte string survives a round trip.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace Varn {

using SettingsValue = std::variant<std::uint32_t, std::string>;
using SettingsEntries = std::vector<std::pair<std::string, SettingsValue>>;

// Appends the values of `content` to `entries` (a repeated name keeps its last
// value). False, with `entries` untouched, if any line is damaged.
bool ParseSettingsText(const std::string& content, SettingsEntries& entries);

std::string FormatSettingsText(const SettingsEntries& entries);

}  // namespace Varn
