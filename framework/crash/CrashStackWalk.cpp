#include "framework/crash/CrashStackWalk.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>
#include <sys/uio.h>
#include <unistd.h>

namespace Varn {

namespace {

void AddFrame(CrashFacts& facts, uint64_t pc, uint64_t sp) {
    facts.framePc[facts.frameCount] = pc;
    facts.frameSp[facts.frameCount] = sp;
    ++facts.frameCount;
}

// Adds the cursor's frame and those above it.
void WalkFrom(unw_cursor_t& cursor, CrashFacts& facts) {
    do {
        unw_word_t pc = 0;
        unw_word_t sp = 0;
        unw_get_reg(&cursor, UNW_REG_IP, &pc);
        unw_get_reg(&cursor, UNW_REG_SP, &sp);
        if (pc == 0) break;
        AddFrame(facts, pc, sp);
    } while (facts.frameCount < kCrashMaxFrames && unw_step(&cursor) > 0);
}

// Reads a word that may not be readable: the kernel reports a bad address instead of
// faulting.
bool ReadWord(uint64_t address, uint64_t& value) {
    iovec local{&value, sizeof(value)};
    iovec remote{reinterpret_cast<void*>(address), sizeof(value)};
    return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == ssize_t(sizeof(value));
}

void WalkFromReturnAddress(const ucontext_t* context, CrashFacts& facts) {
    uint64_t sp = uint64_t(context->uc_mcontext.gregs[REG_RSP]);
    uint64_t returnAddress = 0;
    if (!ReadWord(sp, returnAddress) || returnAddress == 0) return;
    ucontext_t caller = *context;
    caller.uc_mcontext.gregs[REG_RIP] = greg_t(returnAddress);
    caller.uc_mcontext.gregs[REG_RSP] = greg_t(sp + sizeof(uint64_t));
    unw_cursor_t cursor;
    // Not a signal frame: the address follows a call.
    if (unw_init_local2(&cursor, &caller, 0) == 0) WalkFrom(cursor, facts);
}

}  // namespace

void WalkCrashStack(ucontext_t* context, CrashFacts& facts, bool faultForTest) {
    facts.frameCount = 0;
    AddFrame(facts, facts.registers[kRegRip], facts.registers[kRegRsp]);
    if (faultForTest) {
        volatile int* volatile nowhere = nullptr;
        *nowhere = 1;
    }
    unw_cursor_t cursor;
    unw_proc_info_t info;
    if (unw_init_local2(&cursor, context, UNW_INIT_SIGNAL_FRAME) != 0 ||
        unw_get_proc_info(&cursor, &info) != 0) {
        WalkFromReturnAddress(context, facts);
        return;
    }
    if (unw_step(&cursor) > 0) WalkFrom(cursor, facts);
}

}  // namespace Varn
