// AdvertisementFiles: checking and writing files below "ads" without links.
#include "framework/internet/AdvertisementFiles.h"

#include <system_error>
#include <vector>

#include "framework/internet/Advertisement.h"
#include "platform/AtomicFile.h"

namespace Varn {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Segments(const std::string& name) {
    std::vector<std::string> segments;
    size_t start = 0;
    for (size_t slash; (slash = name.find('/', start)) != std::string::npos; start = slash + 1)
        segments.push_back(name.substr(start, slash - start));
    segments.push_back(name.substr(start));
    return segments;
}

bool IsRealFolder(const fs::path& folder) {
    std::error_code error;
    return fs::symlink_status(folder, error).type() == fs::file_type::directory;
}

// Creates a missing folder; an existing one must be a real folder.
bool EnsureRealFolder(const fs::path& folder) {
    std::error_code error;
    fs::file_type type = fs::symlink_status(folder, error).type();
    if (type == fs::file_type::not_found) return fs::create_directory(folder, error) && !error;
    return type == fs::file_type::directory;
}

}  // namespace

bool AdFilePresent(const fs::path& adsRoot, const std::string& name) {
    if (adsRoot.empty() || !IsSafeAdvertisementName(name) || !IsRealFolder(adsRoot)) return false;
    std::vector<std::string> segments = Segments(name);
    fs::path path = adsRoot;
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        path /= segments[i];
        if (!IsRealFolder(path)) return false;
    }
    std::error_code error;
    return fs::symlink_status(path / segments.back(), error).type() == fs::file_type::regular;
}

bool StoreAdFile(const fs::path& adsRoot, const std::string& name, std::string_view bytes) {
    if (adsRoot.empty() || !IsSafeAdvertisementName(name) || !EnsureRealFolder(adsRoot))
        return false;
    std::vector<std::string> segments = Segments(name);
    fs::path path = adsRoot;
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        path /= segments[i];
        if (!EnsureRealFolder(path)) return false;
    }
    path /= segments.back();
    std::error_code error;
    fs::file_type type = fs::symlink_status(path, error).type();
    if (type != fs::file_type::not_found && type != fs::file_type::regular) return false;
    return WriteFileAtomically(path, bytes);
}

}  // namespace Varn
