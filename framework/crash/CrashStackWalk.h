// The fault handler's stack walk (libunwind's local walk, async-signal-safe). The first
// frame is always the faulting instruction. Where that frame cannot be unwound (a jump to
// address 0 or into memory without code), a second walk starts from the return address at
// the stack pointer, as a call through a bad pointer leaves it, so that the caller and the
// frames above it still appear. facts.frameCount grows frame by frame, so a fault during
// the walk leaves the frames found so far.
#pragma once

#include <ucontext.h>

#include "framework/crash/CrashFacts.h"

namespace Varn {

// faultForTest: fault on purpose once the first frame is recorded.
void WalkCrashStack(ucontext_t* context, CrashFacts& facts, bool faultForTest);

}  // namespace Varn
