// InstanceLock: one copy of the game per write folder (that is, per player).
// The lock is a file "gemlode.lock" in the write folder, held with flock for the
// whole run; the kernel drops it when the process ends, however it ends, so a
// crashed run never leaves a stale lock behind.
#pragma once

#include <filesystem>

namespace Varn {

class InstanceLock {
public:
    enum class Result { kHeld, kHeldByAnotherCopy, kUnavailable };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // kUnavailable when the lock file cannot be opened (the run goes on unlocked).
    Result Acquire(const std::filesystem::path& folder);
    void Release();

    static constexpr const char* kFileName = "gemlode.lock";

private:
    int fd = -1;
};

}  // namespace Varn
