// AppSettings: the framework's persistent settings (volumes, mute, screen mode,
// custom cursors, transfer result, play count, last update check, clean-exit flag)
// and how they are read from and written to the settings store, under
// "SOFTWARE\" + the application's key name. Values are 32-bit integers:
//   MusicVolume, SfxVolume   volume x 100, truncated; read back as value / 100
//   Muted, CustomCursors, ITSuccess   1 or 0; non-zero is true
//   ScreenMode               0 windowed, anything else full screen
//   WindowScale              the window's picture scale: 0 automatic, 1 ... 8; any other
//                            value reads as 0
//   FullScreenScaling        0 automatic, 1 whole multiples, 2 the fill; any other value
//                            reads as 0
//   TimesPlayed              the play count
//   LastVerCheckQueryTime    seconds since 1970 (unsigned 32-bit); missing = now
//   InProgress               1 while a run is going, 0 after a clean save
// Loading never creates the key: on a first run nothing is read or written until Save
// creates the key with every value. A volume read outside 0 ... 1 (a damaged value)
// is clamped into it.
#pragma once

#include <cstdint>
#include <string>

#include "framework/SettingsStore.h"
#include "platform/WindowScale.h"

namespace Varn {

struct AppSettings {
    double musicVolume = 0.5;
    double sfxVolume = 0.85;
    bool muted = false;  // both volumes act as 0 while set
    bool windowed = true;
    int windowScale = 0;  // 0 automatic, 1 ... 8
    FullScreenScaling fullScreenScaling = FullScreenScaling::Automatic;
    bool customCursors = false;
    bool transferSucceeded = false;
    std::int64_t lastUpdateCheck = 0;     // seconds since 1970
    bool previousRunEndedCleanly = true;  // from "InProgress" at start-up
    int timesPlayed = 0;

    // Reads the values under "SOFTWARE\" + keyName. With an empty key name nothing
    // happens; otherwise timesPlayed becomes 0, and if the key exists each value
    // present replaces its field (a missing LastVerCheckQueryTime takes
    // `nowSeconds`) and "InProgress" = 1 is written back.
    void Load(const SettingsStore& store, const std::string& keyName, std::int64_t nowSeconds);
    // Writes every value, creating the key when needed: InProgress = 0 when the run
    // has ended, 1 for a save while it goes on (the options dialog's). False when
    // nothing could be written (or the key name is empty).
    bool Save(const SettingsStore& store, const std::string& keyName, bool runEnded = true) const;

    // The same on an open key.
    void ReadFrom(SettingsKey& key, std::int64_t nowSeconds);
    void WriteTo(SettingsKey& key, bool runEnded = true) const;

    // What the music interface gets: music volume x 0.4, or 0 while muted.
    double MusicOutputVolume() const { return muted ? 0.0 : musicVolume * 0.4; }
    // What the sound manager gets: the effects volume, or 0 while muted.
    double SfxOutputVolume() const { return muted ? 0.0 : sfxVolume; }
};

// "SOFTWARE\" + keyName: the full key path of the application's settings.
std::string SettingsKeyPath(const std::string& keyName);

// Volume x 100 truncated, as stored. A tiny allowance absorbs binary rounding, so a
// volume read back from the store (57 -> 0.57 = 0.56999...) saves as the same number.
std::uint32_t EncodeVolume(double volume);
double DecodeVolume(std::uint32_t stored);

}  // namespace Varn
