// The process-wide fault handler. A static object installs it for SIGSEGV, SIGBUS, SIGILL,
// SIGFPE, SIGABRT and SIGTRAP on an alternate signal stack (so a stack overflow on the main
// thread is reported too) and puts the previous handlers back when static objects are
// destroyed. SIGINT, SIGTERM and SIGHUP are left alone: they are a normal quit.
//
// On a fault the handler does only async-signal-safe work: it records the raw facts
// (CrashFacts) in preallocated memory, stops every other thread (CrashFreeze), starts a fresh
// copy of the program (/proc/self/exe) in report mode, hands it the facts and a descriptor
// of the write folder, waits for it and ends the process with _exit(3). Whatever thread
// faults, nothing of the normal exit path runs: no static destructor, no save, no page
// opened. The report process resolves names and lines, writes crash.txt, copies the report
// to the clipboard and shows the window.
//
// A fault inside the handler skips the step it happened in (Step, below) and the report
// goes on with what was captured so far; stopping the threads and the hand-over (to a fresh
// report process) are made once more first, and a hand-over that faults again leaves a
// short report on stderr. Either way the process ends with exit code 3. A fault on another thread
// while one is being reported waits until that report ends the process.
//
// The main thread's alternate stack is made here; every other thread the program starts
// makes its own (ThreadSignalStack), or a stack overflow there cannot be reported.
// Sanitizer builds install their own handlers: there this one is never installed.
#pragma once

#include <cstdint>
#include <string>

#include "framework/crash/CrashFacts.h"

namespace Varn {

class CrashHandler {
public:
    // The application's facts for the report, published whole (CrashAppSlot). startMs is
    // CLOCK_MONOTONIC milliseconds at construction. writeFolder: where crash.txt goes (empty:
    // the working folder); it is held open, so that a path of any length works.
    static void AttachApp(const CrashAppFacts& facts, int64_t startMs,
                          const std::string& writeFolder);
    static void DetachApp();
    static int64_t MonotonicMs();
    static uint32_t CurrentThreadId();
    // True when the handler is in place (false in sanitizer builds).
    static bool Installed();

    // The handler's steps, in order.
    enum class Step : int { kCapture, kWalk, kFreeze, kAppFacts, kHandOver };
    // Test hook: makes the next fault fault once more inside the handler, at the start of
    // that step.
    static void FaultInsideHandlerForTest(Step step);

    // The argument that starts a copy of the program in report mode.
    static constexpr const char* kReportArgument = "--gemlode-crash-report";
};

// Runs the report process: reads the facts from standard input and presents the report.
// Returns the process's exit code.
int RunCrashReportProcess();

}  // namespace Varn
