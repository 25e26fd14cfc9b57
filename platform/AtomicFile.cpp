// AtomicFile: temporary file, write, fsync, rename, fsync of the folder.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/random.h>
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

constexpr int kRandomLetters = 12;  // 62^12: never guessed, never hit by chance
constexpr int kNameAttempts = 16;

// Creates a new temporary beside `target`; -1 when none could be made.
int CreateTemporary(
    const std::filesystem::path& target, std::filesystem::path& temporary,
    const std::function<std::filesystem::path(const std::filesystem::path&)>& temporaryName) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = temporaryName(target);
        if (temporary.empty()) return -1;
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool IsLeftover(const std::filesystem::directory_entry& entry) {
    std::error_code error;
    const std::string name = entry.path().filename().string();
    return name.find(kTemporaryMarker) != std::string::npos && !entry.is_symlink(error) &&
           entry.is_regular_file(error);
}

}  // namespace

std::filesystem::path RandomTemporaryPath(const std::filesystem::path& target) {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[kRandomLetters];
    if (::getrandom(random, sizeof random, 0) != ssize_t(sizeof random)) return {};
    std::string suffix(kTemporaryMarker);
    for (unsigned char byte : random) suffix += kLetters[byte % kLetters.size()];
    std::filesystem::path temporary = target;
    temporary += suffix;
    return temporary;
}

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    return WriteFileAtomically(target, bytes, RandomTemporaryPath);
}

bool WriteFileAtomically(
    const std::filesystem::path& target, std::string_view bytes,
    const std::function<std::filesystem::path(const std::filesystem::path&)>& temporaryName) {
    if (target.filename().empty()) return false;
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::filesystem::path temporary;
    const int fd = CreateTemporary(target, temporary, temporaryName);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    ok = ::fsync(fd) == 0 && ok;  // the data must be on disk before the rename
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int failure = errno;  // callers name the reason from it
        ::unlink(temporary.c_str());
        errno = failure;
        return false;
    }
    SyncFolder(folder);  // best effort: the new contents are already in place
    return true;
}

int RemoveLeftoverTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::recursive_directory_iterator it(
        folder, std::filesystem::directory_options::skip_permission_denied, error);
    std::vector<std::filesystem::path> leftovers;
    for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        if (IsLeftover(*it)) leftovers.push_back(it->path());
    int removed = 0;
    for (const auto& file : leftovers)
        if (std::filesystem::remove(file, error)) ++removed;
    return removed;
}

}  // namespace Varn
