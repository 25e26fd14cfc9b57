#include "framework/crash/CrashAppSlot.h"

#include <atomic>
#include <mutex>

namespace Varn {

namespace {

constexpr int kAttempts = 4;

struct Slot {
    std::atomic<uint32_t> sequence{0};
    CrashAppFacts facts;
    int64_t startMs = 0;
};

Slot slots[2];
std::atomic<int> published{-1};
std::mutex writers;

}  // namespace

void PublishCrashAppFacts(const CrashAppFacts& facts, int64_t startMs) {
    std::lock_guard<std::mutex> lock(writers);
    Slot& slot = slots[published.load() == 0 ? 1 : 0];
    slot.sequence.fetch_add(1);
    slot.facts = facts;
    slot.facts.present = 1;
    slot.startMs = startMs;
    slot.sequence.fetch_add(1);
    published.store(int(&slot - slots));
}

void WithdrawCrashAppFacts() {
    published.store(-1);
}

bool CopyCrashAppFacts(CrashAppFacts& facts, int64_t& startMs) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int index = published.load();
        if (index < 0) return false;
        const Slot& slot = slots[index];
        uint32_t before = slot.sequence.load();
        if (before % 2 != 0) continue;
        facts = slot.facts;
        startMs = slot.startMs;
        std::atomic_thread_fence(std::memory_order_seq_cst);
        if (slot.sequence.load() == before) return true;
    }
    return false;
}

}  // namespace Varn
