// The exception table of the crash report and the mapping from a POSIX fault signal to one
// of its codes. Everything here is async-signal-safe (no allocation, no locks).
#pragma once

#include <cstdint>

namespace Varn {

// Signals that are not in the table (SIGABRT, or a signal code a kernel invents) get
// 0xE0000000 + the signal number: bit 29 marks a code made by an application, so it can
// never collide with a system code, and the low bits still say which signal it was.
constexpr uint32_t kUnknownSignalCodeBase = 0xE0000000u;
constexpr uint32_t kStackOverflowCode = 0xC00000FDu;

// The display name of an exception code, or null when the table does not have it.
const char* ExceptionName(uint32_t code);

// The exception code for a fault. A memory fault within 64 KiB of the stack pointer is taken
// for the stack's guard page, i.e. a stack overflow.
uint32_t ExceptionCodeFor(int signal, int signalCode, uint64_t faultAddress, uint64_t stackPointer);

}  // namespace Varn
