// The application's facts for a crash report, handed from the application object to a fault
// handler on any thread. A writer fills the slot that is not published and then publishes
// it whole, so a reader never copies a half-written record; each slot's sequence number
// (odd while written) tells a reader that a writer came round to its slot during the copy,
// and the reader tries again.
#pragma once

#include <cstdint>

#include "framework/crash/CrashFacts.h"

namespace Varn {

void PublishCrashAppFacts(const CrashAppFacts& facts, int64_t startMs);
void WithdrawCrashAppFacts();

// Async-signal-safe. False when none is published or no whole copy could be had.
bool CopyCrashAppFacts(CrashAppFacts& facts, int64_t& startMs);

}  // namespace Varn
