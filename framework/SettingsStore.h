// SettingsStore: the per-user key-value store that stands in for the registry.
// A key path such as "SOFTWARE\Zandrel\Gemlode" maps to a folder below the config
// root ("SOFTWARE\" dropped): <root>/Zandrel/Gemlode/settings.conf, a key file
// whose group is the key's last part ([Gemlode]; SettingsFormat.h). Values are
// named 32-bit integers or byte strings, kept in the order first written.
// A key is open as a SettingsKey; changes are written when it is committed or
// destroyed, through WriteFileAtomically, so a crash or a full disk leaves the
// previous copy whole. A file in the old registry-export form is converted at the
// first write.
// Only a regular file is read, opened without blocking (a FIFO or a device there
// counts as damaged). A damaged or unreadable file opens as an empty key (every
// value missing, so the caller keeps its defaults); at the next write it is kept
// beside the new file as settings.conf.bad.
// The writer never writes what the reader refuses: strings are cut to
// kMaxSettingsStringBytes and, should the text still exceed kMaxSettingsFileBytes,
// values the game does not know are left out.
// Limits: the last of two writers wins (the game's instance lock keeps one copy
// per player).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "framework/SettingsFormat.h"

namespace Varn {

constexpr std::uintmax_t kMaxSettingsFileBytes = 1024 * 1024;

class SettingsKey {
public:
    SettingsKey(std::filesystem::path file, bool loadExisting);
    ~SettingsKey();  // commits pending changes; failures are silent
    SettingsKey(SettingsKey&& other) noexcept;
    SettingsKey& operator=(SettingsKey&&) = delete;
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // Missing when the value does not exist or is not a decimal 0 ... 4294967295.
    std::optional<std::uint32_t> GetInt(const std::string& name) const;
    // At most `maxBytes` bytes of the value's text (an integer reads as decimal).
    std::optional<std::string> GetString(const std::string& name,
                                         std::size_t maxBytes = std::string::npos) const;
    void SetInt(const std::string& name, std::uint32_t value);
    void SetString(const std::string& name, const std::string& value);

    // Writes the values if any changed since opening or the last commit. False when
    // the file could not be written; the old file is then untouched.
    bool Commit();
    // True when the file existed but could not be read or parsed.
    bool WasDamaged() const { return damaged_; }
    // True when the file was in the old form (it is rewritten at the next commit).
    bool WasOldForm() const { return oldForm_; }

    static constexpr const char* kDamagedSuffix = ".bad";

private:
    using Value = SettingsValue;
    const Value* Find(const std::string& name) const;
    void Set(const std::string& name, Value value);

    std::string Format() const;

    std::filesystem::path file_;
    std::string group_;
    SettingsEntries values_;
    bool dirty_ = false;
    bool damaged_ = false;
    bool oldForm_ = false;
};

class SettingsStore {
public:
    // `configRoot` is the folder holding every key (tests pass a temporary folder).
    explicit SettingsStore(std::filesystem::path configRoot);

    // $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config; empty when
    // neither is known (every key is then missing and nothing can be saved).
    static std::filesystem::path DefaultConfigRoot();

    // The key if its folder exists; none when missing or the path is unusable.
    std::optional<SettingsKey> OpenKey(const std::string& keyPath) const;
    // The key, creating its folders when needed; none if that fails.
    std::optional<SettingsKey> CreateKey(const std::string& keyPath) const;
    // The folder of `keyPath`; empty for an unusable path (empty, "..", "/" in a part).
    std::filesystem::path KeyFolder(const std::string& keyPath) const;

    static constexpr const char* kFileName = "settings.conf";

private:
    std::filesystem::path root_;
};

}  // namespace Varn
