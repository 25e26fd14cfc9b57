// The process-wide fault handler. A static object installs it for SIGSEGV, SIGBUS, SIGILL,
// SIGFPE, SIGABRT and SIGTRAP on an alternate signal stack (so a stack overflow on the main
// thread is reported too) and puts the previous handlers back when static objects are
// destroyed. SIGINT, SIGTERM and SIGHUP are left alone: they are a normal quit.
//
// On a fault the handler does only async-signal-safe work: it records the raw facts
// (CrashFacts) in preallocated memory, sets the application's closing flag, starts a fresh
// copy of the program (/proc/self/exe) in report mode, hands it the facts through a socket,
// waits for it and ends the process with _exit(3). Static destructors do not run: after a
// fault they could crash again or save a damaged game. The report process resolves names
// and lines, writes crash.txt, copies the report to the clipboard and shows the window.
//
// A fault inside the handler ends the process at once with exit code 3; a fault on another
// thread while one is being reported waits until that report ends the process.
//
// WARNING: only the thread that ran the static constructors (the main thread) has the
// alternate stack; a stack overflow on another thread cannot be reported.
// Sanitizer builds install their own handlers: there this one is never installed.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/crash/CrashFacts.h"

namespace Varn {

class CrashHandler {
public:
    // The application's facts for the report, copied into preallocated memory. closing is
    // set (an atomic store, safe in a handler) before the report process starts; it must
    // outlive the attachment. startMs is CLOCK_MONOTONIC milliseconds at construction.
    static void AttachApp(const CrashAppFacts& facts, int64_t startMs, std::atomic<bool>* closing);
    static void DetachApp();
    static int64_t MonotonicMs();
    static uint32_t CurrentThreadId();
    // True when the handler is in place (false in sanitizer builds).
    static bool Installed();

    // Test hook: makes the next fault fault again inside the handler.
    static void FaultInsideHandlerForTest();

    // The argument that starts a copy of the program in report mode.
    static constexpr const char* kReportArgument = "--gemlode-crash-report";
};

// Runs the report process: reads the facts from standard input and presents the report.
// Returns the process's exit code.
int RunCrashReportProcess();

}  // namespace Varn
