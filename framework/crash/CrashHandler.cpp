// The fault handler. Everything reachable from OnFault must be async-signal-safe: system
// calls, atomics, libunwind's local walk, and plain stores into preallocated memory.
#include "framework/crash/CrashHandler.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "framework/crash/CrashAppSlot.h"
#include "framework/crash/CrashCodes.h"
#include "framework/crash/CrashFreeze.h"
#include "framework/crash/CrashStackWalk.h"

#ifndef GEMLODE_CRASH_REPORTER
#define GEMLODE_CRASH_REPORTER 1
#endif

extern char** environ;

namespace Varn {

namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
constexpr int kFaultSignalCount = sizeof(kFaultSignals) / sizeof(kFaultSignals[0]);
constexpr size_t kAlternateStackSize = 256 * 1024;

// Where the handler is: a fault inside it while walking still reports what was found.
enum Phase : int { kCapturing, kWalking, kReporting };

alignas(64) char alternateStack[kAlternateStackSize];
CrashFacts facts;
std::atomic<long> reportingThread{0};
std::atomic<int> phase{kCapturing};
std::atomic<bool> faultInsideHandler{false};
// The write folder, held open so that a path of any length can be written in.
std::mutex folderLock;
std::string folderPath;
std::atomic<int> folderFd{-1};
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

void CaptureFacts(int signal, const siginfo_t* info, ucontext_t* context) {
    facts.magic = kCrashFactsMagic;
    facts.size = sizeof(CrashFacts);
    facts.signal = signal;
    facts.signalCode = info ? info->si_code : 0;
    facts.faultAddress = info ? uint64_t(uintptr_t(info->si_addr)) : 0;
    facts.threadId = uint32_t(ThreadId());
    if (context) CopyRegisters(context);
    facts.exceptionCode =
        ExceptionCodeFor(signal, facts.signalCode, facts.faultAddress, facts.registers[kRegRsp]);
}

// After the other threads stopped: no AttachApp is half-way through.
void CaptureAppFacts() {
    int64_t startMs = 0;
    if (CopyCrashAppFacts(facts.app, startMs))
        facts.app.loadedMs = CrashHandler::MonotonicMs() - startMs;
    else
        facts.app.present = 0;
    facts.writeFolderFd = folderFd.load() >= 0 ? kCrashFolderDescriptor : -1;
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

// Puts `from` at `to` without close-on-exec, through a copy above both, so that moving
// one descriptor never overwrites another still to be moved.
void MoveDescriptor(int from, int to) {
    int copy = fcntl(from, F_DUPFD, kCrashFolderDescriptor + 1);
    if (copy >= 0) dup2(copy, to);
}

[[noreturn]] void ExecReporter(int input) {
    // A copy above standard input first: the folder's own number may be 0.
    int folder =
        facts.writeFolderFd >= 0 ? fcntl(folderFd.load(), F_DUPFD, kCrashFolderDescriptor + 1) : -1;
    MoveDescriptor(input, STDIN_FILENO);
    if (folder >= 0) MoveDescriptor(folder, kCrashFolderDescriptor);
    char name[] = "gemlode-crash-report";
    char argument[64];
    strncpy(argument, CrashHandler::kReportArgument, sizeof(argument) - 1);
    argument[sizeof(argument) - 1] = 0;
    char* argv[] = {name, argument, nullptr};
    execve("/proc/self/exe", argv, environ);
    _exit(127);
}

void RunReporter() {
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
    if (SendAll(pair[1], &facts, sizeof(facts))) SendMaps(pair[1]);
    close(pair[1]);
    int status = 0;
    pid_t waited = 0;
    while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    if (waited == child && (!WIFEXITED(status) || WEXITSTATUS(status) == 127)) WriteMinimalReport();
}

// Hiding the window would call into the window system, which is not safe here: the
// window stays, frozen, until the process ends.
[[noreturn]] void Report() {
    phase = kReporting;
    FreezeOtherThreads();
    CaptureAppFacts();
    RunReporter();
    _exit(kCrashExitCode);
}

[[noreturn]] void OnFaultInsideHandler() {
    // The signal, the address and the registers are in place; the walk keeps what it found.
    if (phase.load() == kWalking) Report();
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
    ucontext_t* registers = static_cast<ucontext_t*>(context);
    CaptureFacts(signal, info, registers);
    // The walk comes before the other threads stop: libunwind may take the loader's lock,
    // which a stopped thread could hold for good.
    phase = kWalking;
    if (registers) WalkCrashStack(registers, facts, faultInsideHandler.load());
    Report();
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

namespace {

// A handler reads the descriptor only after every other thread stopped, so closing the
// previous one here never takes it from a report under way.
void HoldWriteFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(folderLock);
    if (folder == folderPath && (folder.empty() || folderFd.load() >= 0)) return;
    int fd = folder.empty() ? -1 : open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    int previous = folderFd.exchange(fd);
    if (previous >= 0) close(previous);
    folderPath = folder;
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
    return uint32_t(ThreadId());
}

bool CrashHandler::Installed() {
    return installed;
}

void CrashHandler::FaultInsideHandlerForTest() {
    faultInsideHandler = true;
}

}  // namespace Varn
