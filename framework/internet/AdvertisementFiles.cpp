// AdvertisementFiles: checking and writing files below "ads" without links.
#include "framework/internet/AdvertisementFiles.h"

#include <algorithm>
#include <set>
#include <system_error>

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

// The names of the groups that fit in the budget, earlier groups first.
std::set<std::string> KeptNames(const fs::path& adsRoot,
                                const std::vector<std::vector<std::string>>& groups,
                                std::uintmax_t budget) {
    std::set<std::string> kept;
    std::uintmax_t used = 0;
    for (const std::vector<std::string>& group : groups) {
        std::set<std::string> added;
        std::uintmax_t extra = 0;
        for (const std::string& name : group)
            if (!kept.count(name) && added.insert(name).second) extra += AdFileBytes(adsRoot, name);
        if (used + extra > budget) continue;
        used += extra;
        kept.merge(added);
    }
    return kept;
}

}  // namespace

std::uintmax_t AdFileBytes(const fs::path& adsRoot, const std::string& name) {
    if (!AdFilePresent(adsRoot, name)) return 0;
    std::error_code error;
    const std::uintmax_t bytes = fs::file_size(adsRoot / name, error);
    return error ? 0 : bytes;
}

void PruneAdFolder(const fs::path& adsRoot, const std::vector<std::vector<std::string>>& groups,
                   std::uintmax_t budget) {
    if (adsRoot.empty() || !IsRealFolder(adsRoot)) return;
    const std::set<std::string> kept = KeptNames(adsRoot, groups, budget);
    std::vector<fs::path> doomed;
    std::vector<fs::path> folders;
    std::error_code error;
    fs::recursive_directory_iterator it(adsRoot, fs::directory_options::skip_permission_denied,
                                        error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->symlink_status(error).type() == fs::file_type::directory)
            folders.push_back(it->path());
        else if (!kept.count(it->path().lexically_relative(adsRoot).generic_string()))
            doomed.push_back(it->path());
    }
    for (const fs::path& path : doomed) fs::remove(path, error);
    // Deepest first, so a folder emptied by its sub-folder's removal goes too.
    std::sort(folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) {
        return a.native().size() > b.native().size();
    });
    for (const fs::path& folder : folders) fs::remove(folder, error);  // only an empty one
}

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
