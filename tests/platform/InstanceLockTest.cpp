// One copy of the game per write folder.
#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/platform/TempFolder.h"

namespace Varn {
namespace {

// The result a second process gets when it tries the lock (flock locks belong to
// open files, so a child's own open competes with ours).
InstanceLock::Result TryInChild(const std::filesystem::path& folder) {
    const pid_t child = ::fork();
    if (child == 0) {
        InstanceLock lock;
        ::_exit(static_cast<int>(lock.Acquire(folder)));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<InstanceLock::Result>(WEXITSTATUS(status));
}

TEST(InstanceLock, SecondCopyIsRefusedUntilTheFirstLetsGo) {
    test::TempFolder temp;
    InstanceLock first;
    ASSERT_EQ(first.Acquire(temp.path), InstanceLock::Result::kHeld);
    EXPECT_EQ(TryInChild(temp.path), InstanceLock::Result::kHeldByAnotherCopy);
    first.Release();
    EXPECT_EQ(TryInChild(temp.path), InstanceLock::Result::kHeld);
}

TEST(InstanceLock, MissingFolderIsUnavailableNotBusy) {
    test::TempFolder temp;
    InstanceLock lock;
    EXPECT_EQ(lock.Acquire(temp.path / "missing"), InstanceLock::Result::kUnavailable);
}

}  // namespace
}  // namespace Varn
