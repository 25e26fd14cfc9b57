// RegularFile: refuse anything but a regular file, without ever blocking (see header).
#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace Varn {

namespace {

template <typename Buffer>
FileRead ReadAll(const std::string& path, std::size_t maxBytes, Buffer& bytes) {
    bytes.clear();
    const int fd = OpenRegularFile(path);
    if (fd < 0)
        return errno == ENOENT   ? FileRead::Missing
               : errno == EINVAL ? FileRead::NotRegular
                                 : FileRead::Failed;
    struct stat st {};
    const std::size_t hint = fstat(fd, &st) == 0 ? std::size_t(st.st_size) : 0;
    // One byte past the limit tells a file that is too large, whatever its size said.
    const std::size_t limit = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
    bytes.resize(std::min(limit, hint + 1));
    std::size_t got = 0;
    FileRead result = FileRead::Ok;
    while (got < limit) {
        if (got == bytes.size()) bytes.resize(std::min(limit, bytes.size() * 2 + 4096));
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) result = FileRead::Failed;
        if (n <= 0) break;
        got += std::size_t(n);
    }
    close(fd);
    if (result != FileRead::Ok) {
        bytes.clear();
        return result;
    }
    bytes.resize(got);
    return got > maxBytes ? FileRead::TooLarge : FileRead::Ok;
}

}  // namespace

int OpenRegularFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    // Checked again on what was opened: the name may have been replaced in between. A FIFO
    // opened without O_NONBLOCK would wait here for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

FileRead ReadRegularFile(const std::string& path, std::size_t maxBytes,
                         std::vector<std::uint8_t>& bytes) {
    return ReadAll(path, maxBytes, bytes);
}

FileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& text) {
    return ReadAll(path, maxBytes, text);
}

bool RegularFileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

const char* FileReadText(FileRead result) {
    switch (result) {
        case FileRead::Ok:
            return "read";
        case FileRead::Missing:
            return "missing";
        case FileRead::NotRegular:
            return "not a regular file";
        case FileRead::TooLarge:
            return "too large";
        case FileRead::Failed:
            return "could not be read";
    }
    return "could not be read";
}

}  // namespace Varn
