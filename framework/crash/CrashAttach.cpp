// The application's side of the crash handler: what it publishes while healthy. Kept apart
// from the handler's own file, which holds only what a signal handler may use.
#include "framework/crash/CrashAttach.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "framework/crash/CrashAppSlot.h"
#include "framework/crash/CrashHandler.h"

namespace Varn {

namespace {

// A handler reads the descriptor only after every other thread stopped, so closing the
// previous one here never takes it from a report under way.
void HoldWriteFolder(const std::string& folder) {
    int fd = folder.empty() ? -1 : open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    int previous = ExchangeHeldCrashFolder(fd);
    if (previous >= 0) close(previous);
}

}  // namespace

void CrashHandler::AttachApp(const CrashAppFacts& app, int64_t startMs,
                             const std::string& writeFolder) {
    HoldWriteFolder(writeFolder);
    CrashAppFacts published = app;
    published.hasWriteFolder = writeFolder.empty() ? 0 : 1;
    PublishCrashAppFacts(published, startMs);
}

void CrashHandler::DetachApp() {
    WithdrawCrashAppFacts();
}

int64_t CrashHandler::MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

uint32_t CrashHandler::CurrentThreadId() {
    return uint32_t(syscall(SYS_gettid));
}

}  // namespace Varn
