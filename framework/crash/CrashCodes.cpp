#include "framework/crash/CrashCodes.h"

#include <csignal>

namespace Varn {

namespace {

struct ExceptionEntry {
    uint32_t code;
    const char* name;
};

// Ends with 0xFFFFFFFF.
constexpr ExceptionEntry kExceptions[] = {
    {0x40000005, "Segment Notification"},
    {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},
    {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},
    {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},
    {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},
    {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},
    {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},
    {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"},
    {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"},
    {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},
    {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"},
    {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},
    {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"},
    {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"},
    {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
    {0xFFFFFFFF, nullptr},
};

constexpr uint64_t kGuardWindow = 64 * 1024;

uint32_t FloatCode(int signalCode) {
    switch (signalCode) {
        case FPE_INTDIV:
            return 0xC0000094;
        case FPE_INTOVF:
            return 0xC0000095;
        case FPE_FLTDIV:
            return 0xC000008E;
        case FPE_FLTOVF:
            return 0xC0000091;
        case FPE_FLTUND:
            return 0xC0000093;
        case FPE_FLTRES:
            return 0xC000008F;
        case FPE_FLTINV:
            return 0xC0000090;
        case FPE_FLTSUB:
            return 0xC000008C;
        default:
            return kUnknownSignalCodeBase + SIGFPE;
    }
}

bool NearStackPointer(uint64_t address, uint64_t stackPointer) {
    uint64_t distance = address > stackPointer ? address - stackPointer : stackPointer - address;
    return distance < kGuardWindow;
}

}  // namespace

const char* ExceptionName(uint32_t code) {
    for (const ExceptionEntry* entry = kExceptions; entry->code != 0xFFFFFFFF; ++entry)
        if (entry->code == code) return entry->name;
    return nullptr;
}

uint32_t ExceptionCodeFor(int signal, int signalCode, uint64_t faultAddress,
                          uint64_t stackPointer) {
    switch (signal) {
        case SIGSEGV:
            return NearStackPointer(faultAddress, stackPointer) ? kStackOverflowCode : 0xC0000005;
        case SIGBUS:
            return 0xC0000006;
        case SIGILL:
            return 0xC000001D;
        case SIGTRAP:
            return 0x80000003;
        case SIGFPE:
            return FloatCode(signalCode);
        default:
            return kUnknownSignalCodeBase + uint32_t(signal);
    }
}

}  // namespace Varn
