// Stops every other thread of the process while a fault is reported, so that nothing runs
// the normal exit path, saves a possibly damaged game, writes a file or opens a page after
// the fault. Each thread gets a signal whose handler waits for good; the process then ends
// through _exit. Everything here is async-signal-safe (system calls and atomics only).
#pragma once

namespace Varn {

// Installs the waiting handler (with the fault handlers) and puts the previous one back.
void InstallThreadFreeze();
void RemoveThreadFreeze();

// Signals every other thread, again for threads started meanwhile, and waits a bounded
// time for them to stop (a thread that blocks the signal never does).
void FreezeOtherThreads();

}  // namespace Varn
