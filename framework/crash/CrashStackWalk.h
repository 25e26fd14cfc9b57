// The fault handler's stack walk (libunwind's local walk, async-signal-safe). The first
// frame, the faulting instruction, is already in the facts; the walk adds its callers, so
// a fault during the walk leaves the frames found so far.
//
// After a jump to address 0 or into memory without code there is no unwind information
// for the first frame, and the word at the stack pointer is a return address only if the
// jump was a call. The walk then looks up the stack for the nearest word that follows a
// call instruction in code with unwind information and walks on from there. Anywhere else
// the stack pointer's word is never taken for a return address.
#pragma once

#include <ucontext.h>

#include "framework/crash/CrashFacts.h"

namespace Varn {

void WalkCrashStack(ucontext_t* context, CrashFacts& facts);

}  // namespace Varn
