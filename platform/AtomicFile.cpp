// AtomicFile: temporary file, write, fsync, rename, fsync of the folder.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace Varn {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// The rename is only durable once the folder's entry is on disk.
bool SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
    std::filesystem::path temporary = target;
    temporary += std::string(kTemporaryMarker) + std::to_string(::getpid());
    return temporary;
}

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    if (target.filename().empty()) return false;
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const std::filesystem::path temporary = TemporaryPathFor(target);
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    ok = ::fsync(fd) == 0 && ok;  // the data must be on disk before the rename
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);  // best effort: the new contents are already in place
    return true;
}

int RemoveLeftoverTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return 0;
    std::vector<std::filesystem::path> leftovers;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.find(kTemporaryMarker) == std::string::npos) continue;
        if (entry.is_regular_file(error) && !entry.is_symlink(error))
            leftovers.push_back(entry.path());
    }
    int removed = 0;
    for (const auto& file : leftovers)
        if (std::filesystem::remove(file, error)) ++removed;
    return removed;
}

}  // namespace Varn
