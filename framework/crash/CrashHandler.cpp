// The fault handler. Everything reachable from OnFault must be async-signal-safe: system
// calls, atomics, libunwind's local walk, and plain stores into preallocated memory.
#include "framework/crash/CrashHandler.h"

#define UNW_LOCAL_ONLY
#include <fcntl.h>
#include <libunwind.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "framework/crash/CrashCodes.h"

#ifndef GEMLODE_CRASH_REPORTER
#define GEMLODE_CRASH_REPORTER 1
#endif

extern char** environ;

namespace Varn {

namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
constexpr int kFaultSignalCount = sizeof(kFaultSignals) / sizeof(kFaultSignals[0]);
constexpr size_t kAlternateStackSize = 256 * 1024;

alignas(64) char alternateStack[kAlternateStackSize];
CrashFacts facts;
CrashAppFacts appFacts;
std::atomic<int64_t> appStartMs{0};
std::atomic<std::atomic<bool>*> appClosing{nullptr};
std::atomic<bool> appAttached{false};
std::atomic<long> reportingThread{0};
std::atomic<bool> faultInsideHandler{false};
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

void WalkStack(ucontext_t* context) {
    facts.frameCount = 0;
    unw_cursor_t cursor;
    if (unw_init_local2(&cursor, context, UNW_INIT_SIGNAL_FRAME) != 0) {
        facts.framePc[0] = facts.registers[kRegRip];
        facts.frameSp[0] = facts.registers[kRegRsp];
        facts.frameCount = 1;
        return;
    }
    int count = 0;
    do {
        unw_word_t pc = 0;
        unw_word_t sp = 0;
        unw_get_reg(&cursor, UNW_REG_IP, &pc);
        unw_get_reg(&cursor, UNW_REG_SP, &sp);
        if (pc == 0) break;
        facts.framePc[count] = pc;
        facts.frameSp[count] = sp;
        ++count;
    } while (count < kCrashMaxFrames && unw_step(&cursor) > 0);
    facts.frameCount = count;
}

void CaptureFacts(int signal, const siginfo_t* info, ucontext_t* context) {
    facts.magic = kCrashFactsMagic;
    facts.size = sizeof(CrashFacts);
    facts.signal = signal;
    facts.signalCode = info ? info->si_code : 0;
    facts.faultAddress = info ? uint64_t(uintptr_t(info->si_addr)) : 0;
    facts.threadId = uint32_t(ThreadId());
    if (context) {
        CopyRegisters(context);
        WalkStack(context);
    }
    facts.exceptionCode =
        ExceptionCodeFor(signal, facts.signalCode, facts.faultAddress, facts.registers[kRegRsp]);
    if (appAttached.load()) {
        facts.app = appFacts;
        facts.app.loadedMs = CrashHandler::MonotonicMs() - appStartMs.load();
    } else {
        facts.app.present = 0;
    }
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

[[noreturn]] void ExecReporter(int input) {
    if (input == STDIN_FILENO)
        fcntl(input, F_SETFD, 0);
    else
        dup2(input, STDIN_FILENO);
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

void OnFault(int signal, siginfo_t* info, void* context) {
    long self = ThreadId();
    long expected = 0;
    if (!reportingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) _exit(kCrashExitCode);  // a fault inside the handler
        for (;;) pause();                             // the reporting thread ends the process
    }
    CaptureFacts(signal, info, static_cast<ucontext_t*>(context));
    if (faultInsideHandler.load()) {
        volatile int* volatile nowhere = nullptr;
        *nowhere = 1;
    }
    // Hiding the window would call into the window system, which is not safe here: the
    // window goes when the process ends.
    if (std::atomic<bool>* closing = appClosing.load()) closing->store(true);
    RunReporter();
    _exit(kCrashExitCode);
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
    installed = true;
}

void Remove() {
    if (!installed) return;
    for (int i = 0; i < kFaultSignalCount; ++i)
        sigaction(kFaultSignals[i], &previousActions[i], nullptr);
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

void CrashHandler::AttachApp(const CrashAppFacts& app, int64_t startMs,
                             std::atomic<bool>* closing) {
    appAttached = false;
    appFacts = app;
    appFacts.present = 1;
    appStartMs = startMs;
    appClosing = closing;
    appAttached = true;
}

void CrashHandler::DetachApp() {
    appAttached = false;
    appClosing = nullptr;
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
