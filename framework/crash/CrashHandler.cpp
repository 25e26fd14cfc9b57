// The fault handler. Everything reachable from OnFault must be async-signal-safe: system
// calls, atomics, libunwind's local walk, and plain stores into preallocated memory.
#include "framework/crash/CrashHandler.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "framework/crash/CrashAppSlot.h"
#include "framework/crash/CrashAttach.h"
#include "framework/crash/CrashCodes.h"
#include "framework/crash/CrashFreeze.h"
#include "framework/crash/CrashStackWalk.h"

#ifndef GEMLODE_CRASH_REPORTER
#define GEMLODE_CRASH_REPORTER 1
#endif

extern char** environ;

namespace Varn {

namespace {

using Step = CrashHandler::Step;

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
constexpr int kFaultSignalCount = sizeof(kFaultSignals) / sizeof(kFaultSignals[0]);
constexpr size_t kAlternateStackSize = 256 * 1024;
constexpr int kStepCount = int(Step::kHandOver) + 1;
constexpr int kNoReport = 127;  // the report process could not start or got no input

alignas(64) char alternateStack[kAlternateStackSize];
CrashFacts facts;
// The fault being reported, as the first entry into the handler saw it.
int faultSignal = 0;
siginfo_t* faultInfo = nullptr;
ucontext_t* faultContext = nullptr;
std::atomic<long> reportingThread{0};
// The step under way; kStepCount once only the short report on stderr is left.
std::atomic<int> step{int(Step::kCapture)};
constexpr unsigned kRepeatedSteps = (1u << int(Step::kFreeze)) | (1u << int(Step::kHandOver));
std::atomic<unsigned> repeatedSteps{0};
std::atomic<pid_t> reporter{0};
std::atomic<int> faultStepForTest{-1};
// The write folder, held open by the application's side (CrashAttach).
std::atomic<int> heldFolder{-1};
// The write folder as the hand-over finds it (descriptor in this process).
int handedFolder = -1;
struct sigaction previousActions[kFaultSignalCount];
stack_t previousStack;
bool installed = false;

long ThreadId() {
    return syscall(SYS_gettid);
}

void CopyRegisters(const ucontext_t* context) {
    const greg_t* g = context->uc_mcontext.gregs;
    uint64_t* r = facts.registers;
    r[kRegRax] = uint64_t(g[REG_RAX]);
    r[kRegRbx] = uint64_t(g[REG_RBX]);
    r[kRegRcx] = uint64_t(g[REG_RCX]);
    r[kRegRdx] = uint64_t(g[REG_RDX]);
    r[kRegRsi] = uint64_t(g[REG_RSI]);
    r[kRegRdi] = uint64_t(g[REG_RDI]);
    r[kRegRip] = uint64_t(g[REG_RIP]);
    r[kRegRsp] = uint64_t(g[REG_RSP]);
    r[kRegRbp] = uint64_t(g[REG_RBP]);
    r[kRegR8] = uint64_t(g[REG_R8]);
    r[kRegR9] = uint64_t(g[REG_R9]);
    r[kRegR10] = uint64_t(g[REG_R10]);
    r[kRegR11] = uint64_t(g[REG_R11]);
    r[kRegR12] = uint64_t(g[REG_R12]);
    r[kRegR13] = uint64_t(g[REG_R13]);
    r[kRegR14] = uint64_t(g[REG_R14]);
    r[kRegR15] = uint64_t(g[REG_R15]);
    // CSGSFS packs cs, gs, fs and (on current kernels) ss, 16 bits each; ds and es are
    // not saved in a 64-bit signal frame (they are unused and read 0).
    uint64_t segments = uint64_t(g[REG_CSGSFS]);
    r[kRegCs] = segments & 0xFFFF;
    r[kRegGs] = (segments >> 16) & 0xFFFF;
    r[kRegFs] = (segments >> 32) & 0xFFFF;
    r[kRegSs] = (segments >> 48) & 0xFFFF;
    r[kRegFlags] = uint64_t(g[REG_EFL]);
}

// The faulting instruction is the first frame, recorded here so that a walk that faults at
// once still leaves it.
void CaptureFacts() {
    facts.magic = kCrashFactsMagic;
    facts.size = sizeof(CrashFacts);
    facts.signal = faultSignal;
    facts.signalCode = faultInfo ? faultInfo->si_code : 0;
    facts.faultAddress = faultInfo ? uint64_t(uintptr_t(faultInfo->si_addr)) : 0;
    facts.threadId = uint32_t(ThreadId());
    if (faultContext) {
        CopyRegisters(faultContext);
        facts.framePc[0] = facts.registers[kRegRip];
        facts.frameSp[0] = facts.registers[kRegRsp];
        facts.frameCount = 1;
    }
    facts.exceptionCode = ExceptionCodeFor(faultSignal, facts.signalCode, facts.faultAddress,
                                           facts.registers[kRegRsp]);
}

// After the other threads stopped: no AttachApp is half-way through. The facts are marked
// present only once whole, so a fault while copying leaves them out.
void CaptureAppFacts() {
    CrashAppFacts app;
    int64_t startMs = 0;
    if (CopyCrashAppFacts(app, startMs)) {
        app.loadedMs = CrashHandler::MonotonicMs() - startMs;
        app.present = 0;
        facts.app = app;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        facts.app.present = 1;
    }
    int folder = heldFolder.load();
    struct stat status {};
    if (folder < 0 || fstat(folder, &status) != 0 || !S_ISDIR(status.st_mode)) return;
    handedFolder = folder;
    facts.writeFolderDevice = uint64_t(status.st_dev);
    facts.writeFolderInode = uint64_t(status.st_ino);
    facts.writeFolderFd = kCrashFolderDescriptor;
}

bool SendAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t sent = send(fd, p, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        p += sent;
        size -= size_t(sent);
    }
    return true;
}

void SendMaps(int fd) {
    int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0) return;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(maps, buffer, sizeof(buffer))) > 0)
        if (!SendAll(fd, buffer, size_t(got))) break;
    close(maps);
}

void WriteText(const char* text) {
    ssize_t ignored = write(STDERR_FILENO, text, strlen(text));
    (void)ignored;
}

void WriteHex(uint64_t value) {
    char digits[17];
    for (int i = 15; i >= 0; --i, value >>= 4) digits[i] = "0123456789ABCDEF"[value & 15];
    digits[16] = 0;
    WriteText(digits);
}

// When no report process could run, at least the first facts reach stderr.
void WriteMinimalReport() {
    WriteText("Crash (the report could not be made): code 0x");
    WriteHex(facts.exceptionCode);
    WriteText(" at address ");
    WriteHex(facts.registers[kRegRip]);
    WriteText("\n");
}

// Puts a copy at `to` (without close-on-exec) and closes the copy.
bool PlaceDescriptor(int copy, int to) {
    if (copy < 0) return false;
    bool placed = dup2(copy, to) == to;
    close(copy);
    return placed;
}

[[noreturn]] void ExecReporter(int input) {
    // A fault here must end this copy (the crashed process then reports on stderr), not
    // enter a handler that waits for a reporting thread this copy does not have.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    for (int signal : kFaultSignals) sigaction(signal, &plain, nullptr);
    // Copies above both targets first, so that placing one never overwrites the other (the
    // folder's own number may be 0).
    int inputCopy = fcntl(input, F_DUPFD, kCrashFolderDescriptor + 1);
    int folderCopy =
        handedFolder >= 0 ? fcntl(handedFolder, F_DUPFD, kCrashFolderDescriptor + 1) : -1;
    if (!PlaceDescriptor(inputCopy, STDIN_FILENO)) _exit(kNoReport);
    // A failed placement leaves descriptor 3 as it was: the report process checks it.
    PlaceDescriptor(folderCopy, kCrashFolderDescriptor);
    char name[] = "gemlode-crash-report";
    char argument[64];
    strncpy(argument, CrashHandler::kReportArgument, sizeof(argument) - 1);
    argument[sizeof(argument) - 1] = 0;
    char* argv[] = {name, argument, nullptr};
    execve("/proc/self/exe", argv, environ);
    _exit(kNoReport);
}

pid_t WaitFor(pid_t child, int& status) {
    pid_t waited = 0;
    while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    return waited;
}

// A report process left from a hand-over that faulted part-way.
void StopReporter() {
    pid_t child = reporter.exchange(0);
    if (child <= 0) return;
    kill(child, SIGKILL);
    int status = 0;
    WaitFor(child, status);
}

void HandOver() {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        WriteMinimalReport();
        return;
    }
    // _Fork runs no fork handlers, which makes it safe here (unlike fork).
    pid_t child = _Fork();
    if (child == 0) ExecReporter(pair[0]);
    close(pair[0]);
    if (child < 0) {
        close(pair[1]);
        WriteMinimalReport();
        return;
    }
    reporter = child;
    if (SendAll(pair[1], &facts, sizeof(facts))) SendMaps(pair[1]);
    close(pair[1]);
    int status = 0;
    pid_t waited = WaitFor(child, status);
    reporter = 0;
    if (waited == child && (!WIFEXITED(status) || WEXITSTATUS(status) != kCrashExitCode))
        WriteMinimalReport();
}

void FaultForTest(Step at) {
    int expected = int(at);
    if (!faultStepForTest.compare_exchange_strong(expected, -1)) return;
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

// The walk comes before the other threads stop: libunwind may take the loader's lock,
// which a stopped thread could hold for good. Hiding the window would call into the window
// system, which is not safe here: the window stays, frozen, until the process ends.
void RunStep(Step which) {
    FaultForTest(which);
    switch (which) {
        case Step::kCapture:
            CaptureFacts();
            break;
        case Step::kWalk:
            if (faultContext) WalkCrashStack(faultContext, facts);
            break;
        case Step::kFreeze:
            FreezeOtherThreads();
            break;
        case Step::kAppFacts:
            CaptureAppFacts();
            break;
        case Step::kHandOver:
            HandOver();
            break;
    }
}

[[noreturn]] void RunStepsFrom(int first) {
    for (int next = first; next < kStepCount; ++next) {
        step = next;
        RunStep(Step(next));
    }
    _exit(kCrashExitCode);
}

// A fault inside the handler skips the step it happened in and goes on with what was
// captured so far. Stopping the other threads (so that nothing is saved after the fault)
// and the hand-over (to a fresh report process) are made once more first.
[[noreturn]] void OnFaultInsideHandler() {
    int faulted = step.load();
    if (faulted >= kStepCount) _exit(kCrashExitCode);
    unsigned bit = 1u << faulted;
    if ((kRepeatedSteps & bit) != 0 && (repeatedSteps.fetch_or(bit) & bit) == 0) {
        if (faulted == int(Step::kHandOver)) StopReporter();
        RunStepsFrom(faulted);
    }
    if (faulted < int(Step::kHandOver)) RunStepsFrom(faulted + 1);
    step = kStepCount;
    WriteMinimalReport();
    _exit(kCrashExitCode);
}

void OnFault(int signal, siginfo_t* info, void* context) {
    long self = ThreadId();
    long expected = 0;
    if (!reportingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) OnFaultInsideHandler();
        for (;;) pause();  // the reporting thread ends the process
    }
    faultSignal = signal;
    faultInfo = info;
    faultContext = static_cast<ucontext_t*>(context);
    RunStepsFrom(int(Step::kCapture));
}

bool IsReportProcess() {
    int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[256] = {};
    ssize_t got = read(fd, buffer, sizeof(buffer) - 1);
    close(fd);
    if (got <= 0) return false;
    size_t first = strnlen(buffer, size_t(got));
    if (first + 1 >= size_t(got)) return false;
    return strcmp(buffer + first + 1, CrashHandler::kReportArgument) == 0;
}

void Install() {
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    sigaltstack(&stack, &previousStack);
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    // NODEFER: a fault inside the handler enters it again (and ends the process) instead of
    // being turned into a plain kill by a blocked signal.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kFaultSignalCount; ++i)
        sigaction(kFaultSignals[i], &action, &previousActions[i]);
    InstallThreadFreeze();
    installed = true;
}

void Remove() {
    if (!installed) return;
    for (int i = 0; i < kFaultSignalCount; ++i)
        sigaction(kFaultSignals[i], &previousActions[i], nullptr);
    RemoveThreadFreeze();
    sigaltstack(&previousStack, nullptr);
    installed = false;
}

struct Installer {
    Installer() {
        if (!GEMLODE_CRASH_REPORTER) return;
        if (IsReportProcess()) _exit(RunCrashReportProcess());
        Install();
    }
    ~Installer() { Remove(); }
};

Installer installer;

}  // namespace

int ExchangeHeldCrashFolder(int fd) {
    return heldFolder.exchange(fd);
}

bool CrashHandler::Installed() {
    return installed;
}

void CrashHandler::FaultInsideHandlerForTest(Step at) {
    faultStepForTest = int(at);
}

}  // namespace Varn
