#include "framework/crash/CrashStackWalk.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>
#include <signal.h>
#include <sys/uio.h>
#include <unistd.h>

namespace Varn {

namespace {

constexpr int kScanWords = 2048;  // 16 KiB of stack above the stack pointer

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

// Reads memory that may not be readable: the kernel reports a bad address instead of
// faulting.
bool ReadBytes(uint64_t address, void* into, size_t size) {
    iovec local{into, size};
    iovec remote{reinterpret_cast<void*>(address), size};
    return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == ssize_t(size);
}

// The length of an indirect call (FF /2) from its ModRM and SIB bytes.
int IndirectCallLength(uint8_t modrm, uint8_t sib) {
    int mod = modrm >> 6;
    int rm = modrm & 7;
    if (mod == 3) return 2;
    int length = 2;
    if (rm == 4) {
        ++length;
        if (mod == 0 && (sib & 7) == 5) return length + 4;
    } else if (mod == 0 && rm == 5) {
        return length + 4;  // rip-relative
    }
    return length + (mod == 1 ? 1 : mod == 2 ? 4 : 0);
}

// True when the bytes before the address end with a call instruction.
bool FollowsCall(uint64_t address) {
    uint8_t code[8] = {};
    if (address < sizeof(code) || !ReadBytes(address - sizeof(code), code, sizeof(code)))
        return false;
    if (code[3] == 0xE8) return true;  // call rel32
    for (int length = 2; length <= 7; ++length) {
        int at = 8 - length;
        uint8_t modrm = code[at + 1];
        uint8_t sib = at + 2 < 8 ? code[at + 2] : 0;
        if (code[at] == 0xFF && ((modrm >> 3) & 7) == 2 && IndirectCallLength(modrm, sib) == length)
            return true;
    }
    return false;
}

// Execution went to address 0 or to memory it cannot run: the fetch itself faulted.
bool JumpedIntoNowhere(const CrashFacts& facts) {
    uint64_t pc = facts.registers[kRegRip];
    return pc == 0 || (facts.signal == SIGSEGV && facts.faultAddress == pc);
}

// A skipped frame that keeps a frame pointer saved its caller's just below the return
// address, where the frame pointer points; the caller's frame may be found through it.
uint64_t CallerFramePointer(uint64_t framePointer, uint64_t slot) {
    uint64_t saved = 0;
    if (framePointer + sizeof(uint64_t) == slot && ReadBytes(framePointer, &saved, sizeof(saved)))
        return saved;
    return framePointer;
}

// Walks on from the nearest return address above the stack pointer.
void WalkFromStackScan(const ucontext_t* context, CrashFacts& facts) {
    uint64_t sp = uint64_t(context->uc_mcontext.gregs[REG_RSP]);
    for (int i = 0; i < kScanWords; ++i) {
        uint64_t slot = sp + uint64_t(i) * sizeof(uint64_t);
        uint64_t candidate = 0;
        if (!ReadBytes(slot, &candidate, sizeof(candidate))) return;
        if (!FollowsCall(candidate)) continue;
        ucontext_t caller = *context;
        caller.uc_mcontext.gregs[REG_RIP] = greg_t(candidate);
        caller.uc_mcontext.gregs[REG_RSP] = greg_t(slot + sizeof(uint64_t));
        caller.uc_mcontext.gregs[REG_RBP] =
            greg_t(CallerFramePointer(uint64_t(context->uc_mcontext.gregs[REG_RBP]), slot));
        unw_cursor_t cursor;
        unw_proc_info_t info;
        // Not a signal frame: the address follows a call.
        if (unw_init_local2(&cursor, &caller, 0) != 0 || unw_get_proc_info(&cursor, &info) != 0)
            continue;
        WalkFrom(cursor, facts);
        return;
    }
}

}  // namespace

void WalkCrashStack(ucontext_t* context, CrashFacts& facts) {
    if (facts.frameCount < 1) return;  // the faulting instruction was not captured
    facts.frameCount = 1;
    if (JumpedIntoNowhere(facts)) {
        WalkFromStackScan(context, facts);
        return;
    }
    unw_cursor_t cursor;
    if (unw_init_local2(&cursor, context, UNW_INIT_SIGNAL_FRAME) == 0 && unw_step(&cursor) > 0)
        WalkFrom(cursor, facts);
}

}  // namespace Varn
