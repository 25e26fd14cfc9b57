#include "framework/crash/CrashFreeze.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

namespace Varn {

namespace {

constexpr int kMaxThreads = 1024;
constexpr int kMaxPasses = 4;
constexpr int kWaitSteps = 500;  // of a millisecond each, per pass

int freezeSignal = 0;
struct sigaction previousAction;
std::atomic<int> frozenCount{0};
long signalled[kMaxThreads];
int signalledCount = 0;

void OnFreeze(int, siginfo_t*, void*) {
    frozenCount.fetch_add(1);
    for (;;) pause();  // every signal is blocked here: only the process's end ends it
}

struct DirectoryEntry {
    uint64_t inode;
    int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

long ThreadIdFromName(const char* name) {
    long id = 0;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9') return 0;
        id = id * 10 + (*name - '0');
    }
    return id;
}

bool AlreadySignalled(long id) {
    for (int i = 0; i < signalledCount; ++i)
        if (signalled[i] == id) return true;
    return false;
}

void SignalThread(long id) {
    if (id <= 0 || id == syscall(SYS_gettid) || AlreadySignalled(id)) return;
    if (signalledCount == kMaxThreads) return;
    if (syscall(SYS_tgkill, getpid(), id, freezeSignal) == 0) signalled[signalledCount++] = id;
}

// Signals the threads in /proc/self/task not signalled yet; false when there were none.
bool SignalNewThreads() {
    int before = signalledCount;
    int folder = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    alignas(8) char buffer[4096];
    long got = 0;
    while ((got = syscall(SYS_getdents64, folder, buffer, sizeof(buffer))) > 0) {
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
            SignalThread(ThreadIdFromName(entry->name));
            at += entry->length;
        }
    }
    close(folder);
    return signalledCount > before;
}

void WaitUntilFrozen() {
    timespec step{0, 1000000};
    for (int i = 0; i < kWaitSteps && frozenCount.load() < signalledCount; ++i)
        nanosleep(&step, nullptr);
}

}  // namespace

void InstallThreadFreeze() {
    freezeSignal = SIGRTMAX - 1;
    struct sigaction action {};
    action.sa_sigaction = OnFreeze;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigfillset(&action.sa_mask);
    sigaction(freezeSignal, &action, &previousAction);
}

void RemoveThreadFreeze() {
    if (freezeSignal == 0) return;
    sigaction(freezeSignal, &previousAction, nullptr);
    freezeSignal = 0;
}

void FreezeOtherThreads() {
    if (freezeSignal == 0) return;
    // A thread not stopped yet may start another: look again until a pass finds none.
    for (int pass = 0; pass < kMaxPasses && SignalNewThreads(); ++pass) WaitUntilFrozen();
}

}  // namespace Varn
