// A program that links the framework, makes an application object and crashes on purpose in
// the way its first argument names. A second argument is the folder the application writes
// its files in. The crash tests run it and read the report it leaves.
#include <fcntl.h>
#include <ucontext.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "framework/VarnApp.h"
#include "framework/crash/CrashHandler.h"
#include "platform/GameFolders.h"
#include "platform/ThreadSignalStack.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

class CrashTestApp : public Varn::VarnApp {
public:
    explicit CrashTestApp(Varn::Platform* host) : VarnApp(host) {
        productName = "Crash Test";
        NoteCrashFacts();
    }
};

__attribute__((noinline)) void CrashByNullWrite() {
    // A volatile store through a volatile pointer: the compiler may drop neither.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 42;
}

__attribute__((noinline)) int CrashByDivide() {
    // Both operands unknown to the compiler, which folds 1 / x into a comparison.
    volatile int zero = 0;
    volatile int seven = 7;
    return seven / zero;
}

__attribute__((noinline)) void CrashByAbort() {
    std::abort();
}

__attribute__((noinline)) void CrashByIllegalInstruction() {
    __builtin_trap();
}

__attribute__((noinline)) void CrashByBreakpoint() {
    asm volatile("int3");
}

// Each level keeps a buffer alive across the call, so the recursion is never a loop.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int CrashByRecursion(int depth) {
    volatile char buffer[512];
    buffer[0] = char(depth);
    return CrashByRecursion(depth + 1) + buffer[0];
}
#pragma GCC diagnostic pop

__attribute__((noinline)) void CrashByJumpToZero() {
    void (*volatile nowhere)() = nullptr;
    nowhere();
}

// As a debugger's "jump 0": the thread goes on at address 0 with its stack as it was.
void JumpToZeroOnReturn(int, siginfo_t*, void* context) {
    static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP] = 0;
}

// Jumps to 0 with a code address that is no return address at the stack pointer.
__attribute__((noinline)) void SpinUntilJumped() {
    struct sigaction action {};
    action.sa_sigaction = JumpToZeroOnReturn;
    action.sa_flags = SA_SIGINFO;
    sigaction(SIGALRM, &action, nullptr);
    ualarm(100000, 0);
    asm volatile("push %0\n1: jmp 1b" : : "r"(&CrashByAbort) : "memory");
}

// Closes the held write folder's descriptor, so that handing it over fails.
__attribute__((noinline)) void CrashWithFolderLost(const std::string& writeFolder) {
    std::string held = std::filesystem::canonical(writeFolder).string();
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error).string() == held)
            close(std::stoi(entry.path().filename().string()));
    }
    CrashByNullWrite();
}

__attribute__((noinline)) void CrashOnSecondThread() {
    std::thread worker([] { CrashByNullWrite(); });
    worker.join();
}

// A thread as the framework starts them, with an alternate signal stack.
__attribute__((noinline)) void OverflowSecondThread() {
    std::thread worker([] {
        Varn::ThreadSignalStack signalStack;
        CrashByRecursion(0);
    });
    worker.join();
}

// The main thread plays on while a second thread faults. The loop ends when the closing flag
// is set or once a report is on disk; the game's normal exit path follows: the game in
// progress is saved and an advertisement goes to the browser (here: a file says so).
__attribute__((noinline)) void PlayWhileSecondThreadFaults(CrashTestApp& app) {
    std::thread(CrashByNullWrite).detach();
    while (!app.closing && access("crash.txt", F_OK) != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::ofstream("savegame.dat", std::ios::trunc) << "saved after the fault";
    std::ofstream("browser-opened") << "http://zandrel.example/";
}

bool FaultsInsideHandler(const std::string& how) {
    const char* const steps[] = {"in-capture", "in-walk", "in-freeze", "in-app", "in-handover"};
    for (int i = 0; i < 5; ++i)
        if (how == steps[i])
            Varn::CrashHandler::FaultInsideHandlerForTest(Varn::CrashHandler::Step(i));
    return how.starts_with("in-");
}

bool Crash(const std::string& how, CrashTestApp& app, const char* writeFolder) {
    // "in-STEP+WAY": the handler faults in that step while reporting a crash of that way.
    if (size_t plus = how.find('+'); plus != std::string::npos) {
        FaultsInsideHandler(how.substr(0, plus));
        return Crash(how.substr(plus + 1), app, writeFolder);
    }
    if (how == "null-write") CrashByNullWrite();
    if (how == "divide") return CrashByDivide() != 0;
    if (how == "abort") CrashByAbort();
    if (how == "illegal") CrashByIllegalInstruction();
    if (how == "breakpoint") CrashByBreakpoint();
    if (how == "stack-overflow") return CrashByRecursion(0) != 0;
    if (how == "jump-zero") CrashByJumpToZero();
    if (how == "spin-jump-zero") SpinUntilJumped();
    if (how == "folder-lost" && writeFolder) CrashWithFolderLost(writeFolder);
    if (how == "thread") CrashOnSecondThread();
    if (how == "thread-overflow") OverflowSecondThread();
    if (how == "thread-play") PlayWhileSecondThreadFaults(app);
    if (FaultsInsideHandler(how)) CrashByNullWrite();
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    // Descriptor 3, open across exec, is the working folder: never to be taken for the write one.
    int working = open(".", O_PATH | O_DIRECTORY);
    if (working >= 0 && working != 3) dup2(working, 3);
    if (argc > 2) {
        Varn::GameFolders folders;
        folders.writeFolder = argv[2];
        Varn::SetRunFolders(folders);
    }
    Varn::HeadlessPlatform platform;
    platform.desktop.programPath = argv[0];
    CrashTestApp app(&platform);
    Crash(argv[1], app, argc > 2 ? argv[2] : nullptr);
    return 1;  // not crashed: an unknown argument
}
