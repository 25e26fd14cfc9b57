// GameFolders: where this run reads its data and writes its own files, decided
// once at start and asked by everything that reads or writes a file of the game.
//
// Data (images/, sounds/, music/, data/, resources/) is read from the program
// folder when images/, sounds/, music/ and data/ sit beside the executable (a
// build), else from <program folder>/../share/gemlode (an install, wherever its
// prefix or DESTDIR put it), else from the data folder the build was configured
// with.
//
// The game's own files (savegame.dat, hiscores.dat, crash.txt, adlist.txt, ads/,
// the instance lock) go to the program folder when it is a build folder (the
// data beside the executable) or holds the file portable.txt, and the player can
// write there; else to $XDG_DATA_HOME/Zandrel/Gemlode (default
// ~/.local/share/Zandrel/Gemlode). An installed game thus never writes below its
// prefix, even as root.
// A relative or empty XDG variable is ignored, as the XDG rules say. The XDG
// folder is created with mode 0700 when the run prepares it. When neither can be
// written, the write folder is empty and nothing is saved.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace Varn {

// Beside the executable, this file keeps the player's files in the program folder.
inline constexpr const char* kPortableMarker = "portable.txt";

// An XDG base folder: `value` when it is an absolute path, else
// `home`/`belowHome`; empty when neither is usable (relative or empty values are
// ignored, as the XDG rules say).
std::filesystem::path XdgBaseFolder(const std::string& value, const std::string& home,
                                    const char* belowHome);
// $XDG_CONFIG_HOME or ~/.config, where the settings live.
std::filesystem::path UserConfigRoot();

// An existing folder the process may create files in.
bool IsWritableFolder(const std::filesystem::path& folder);
// Creates every missing part of `folder` with mode 0700, as the XDG rules ask of folders
// a program creates; true when it can then be written.
bool CreatePrivateFolders(const std::filesystem::path& folder);

// What the decision depends on; FromProcess fills it from this process.
struct FolderInputs {
    std::filesystem::path programPath;           // the executable's full path
    std::filesystem::path configuredDataFolder;  // from the build; may be empty
    std::string xdgDataHome;                     // $XDG_DATA_HOME, empty when unset
    std::string home;                            // $HOME, empty when unset
    // Whether the player may create files in a folder (tests stand in for the
    // permission check, which root passes everywhere).
    std::function<bool(const std::filesystem::path&)> writable = IsWritableFolder;

    static FolderInputs FromProcess(const std::string& programPath);
};

struct GameFolders {
    std::filesystem::path programFolder;
    std::filesystem::path dataFolder;
    // Where the game's own files go; empty when no folder can be written.
    std::filesystem::path writeFolder;
    bool writeFolderIsProgramFolder = false;

    bool CanWrite() const { return !writeFolder.empty(); }
    // writeFolder / name; empty when nothing can be written.
    std::filesystem::path WritePath(const std::string& name) const;
};

// The decision itself; it touches nothing on disk.
GameFolders DecideGameFolders(const FolderInputs& inputs);

// Creates the XDG write folder (each missing part 0700) when it is the one chosen
// and checks that it can be written. When that fails, the write folder becomes
// empty. True when files can be written.
bool PrepareWriteFolder(GameFolders& folders);

// The decision of this run. Set once at start, before any other thread runs.
const GameFolders& RunFolders();
void SetRunFolders(const GameFolders& folders);

}  // namespace Varn
