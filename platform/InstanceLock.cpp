// InstanceLock: flock on the lock file of the write folder.
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace Varn {

InstanceLock::~InstanceLock() {
    Release();
}

InstanceLock::Result InstanceLock::Acquire(const std::filesystem::path& folder) {
    Release();
    const std::filesystem::path file = folder / kFileName;
    const int opened = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (opened < 0) return Result::kUnavailable;
    int locked;
    do {
        locked = ::flock(opened, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(opened);
        return busy ? Result::kHeldByAnotherCopy : Result::kUnavailable;
    }
    fd = opened;
    return Result::kHeld;
}

void InstanceLock::Release() {
    if (fd < 0) return;
    ::close(fd);  // closing drops the flock
    fd = -1;
}

}  // namespace Varn
