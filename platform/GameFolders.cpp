// GameFolders: choosing the data folder and the write folder (see header).
#include "platform/GameFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#ifndef GEMLODE_DATADIR
#define GEMLODE_DATADIR ""
#endif

namespace Varn {

namespace {

namespace fs = std::filesystem;

GameFolders& Current() {
    static GameFolders folders;
    return folders;
}

bool HoldsGameData(const fs::path& folder) {
    std::error_code error;
    for (const char* part : {"images", "sounds", "music", "data"})
        if (!fs::is_directory(folder / part, error)) return false;
    return true;
}

}  // namespace

bool CreatePrivateFolders(const fs::path& folder) {
    fs::path built;
    for (const auto& part : folder) {
        built /= part;
        if (::mkdir(built.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return IsWritableFolder(folder);
}

bool IsWritableFolder(const fs::path& folder) {
    std::error_code error;
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

namespace {

fs::path ChooseDataFolder(const fs::path& programFolder, const fs::path& configured) {
    if (HoldsGameData(programFolder)) return programFolder;
    const fs::path besideInstall = (programFolder / ".." / "share" / "gemlode").lexically_normal();
    if (HoldsGameData(besideInstall)) return besideInstall;
    if (!configured.empty() && HoldsGameData(configured)) return configured;
    return programFolder;  // the loader then names what is missing
}

// A build folder (the data beside the executable) or a copy marked portable keeps
// the player's files beside the program; an install never does, even where its
// folder is writable (root), so nothing is ever left under the install prefix.
bool KeepsFilesBesideProgram(const fs::path& programFolder) {
    std::error_code error;
    return HoldsGameData(programFolder) ||
           fs::is_regular_file(programFolder / kPortableMarker, error);
}

fs::path UserDataFolder(const FolderInputs& in) {
    const fs::path base = XdgBaseFolder(in.xdgDataHome, in.home, ".local/share");
    return base.empty() ? base : base / "Zandrel" / "Gemlode";
}

}  // namespace

fs::path XdgBaseFolder(const std::string& value, const std::string& home, const char* belowHome) {
    if (!value.empty() && value[0] == '/') return value;
    if (!home.empty() && home[0] == '/') return fs::path(home) / belowHome;
    return {};
}

fs::path UserConfigRoot() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return XdgBaseFolder(xdg ? xdg : "", home ? home : "", ".config");
}

FolderInputs FolderInputs::FromProcess(const std::string& programPath) {
    FolderInputs inputs;
    inputs.programPath = programPath;
    inputs.configuredDataFolder = GEMLODE_DATADIR;
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) inputs.xdgDataHome = xdg;
    if (const char* home = std::getenv("HOME")) inputs.home = home;
    return inputs;
}

fs::path GameFolders::WritePath(const std::string& name) const {
    return writeFolder.empty() ? fs::path() : writeFolder / name;
}

GameFolders DecideGameFolders(const FolderInputs& in) {
    GameFolders folders;
    folders.programFolder = in.programPath.parent_path();
    if (folders.programFolder.empty()) folders.programFolder = ".";
    folders.dataFolder = ChooseDataFolder(folders.programFolder, in.configuredDataFolder);
    if (KeepsFilesBesideProgram(folders.programFolder) && in.writable(folders.programFolder)) {
        folders.writeFolder = folders.programFolder;
        folders.writeFolderIsProgramFolder = true;
    } else {
        folders.writeFolder = UserDataFolder(in);
    }
    return folders;
}

bool PrepareWriteFolder(GameFolders& folders) {
    if (folders.writeFolder.empty()) return false;
    if (folders.writeFolderIsProgramFolder || CreatePrivateFolders(folders.writeFolder))
        return true;
    folders.writeFolder.clear();
    return false;
}

const GameFolders& RunFolders() {
    return Current();
}

void SetRunFolders(const GameFolders& folders) {
    Current() = folders;
}

}  // namespace Varn
