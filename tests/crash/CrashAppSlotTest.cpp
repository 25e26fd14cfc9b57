// The hand-over of the application's facts to a fault handler: a reader copying while a
// writer publishes again and again never gets a record mixed from two.
#include "framework/crash/CrashAppSlot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace Varn {
namespace {

constexpr int kRounds = 200000;

// Every text of record i is filled with the letter 'A' + i.
CrashAppFacts Record(int i) {
    CrashAppFacts facts;
    char letter = char('A' + i);
    std::memset(facts.product, letter, sizeof(facts.product) - 1);
    std::memset(facts.version, letter, sizeof(facts.version) - 1);
    std::memset(facts.library, letter, sizeof(facts.library) - 1);
    return facts;
}

bool SameTexts(const CrashAppFacts& a, const CrashAppFacts& b) {
    return std::strcmp(a.product, b.product) == 0 && std::strcmp(a.version, b.version) == 0 &&
           std::strcmp(a.library, b.library) == 0;
}

TEST(CrashAppSlotTest, ACopyIsNeverHalfWritten) {
    const CrashAppFacts records[2] = {Record(0), Record(1)};
    std::atomic<bool> stop{false};
    std::atomic<int> published{0};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i, ++published) PublishCrashAppFacts(records[i % 2], i % 2);
    });
    // Both sides run many rounds, so that they overlap even on a busy machine.
    int copies = 0;
    int torn = 0;
    for (int i = 0; i < kRounds || published < kRounds; ++i) {
        CrashAppFacts copy;
        int64_t which = 0;
        if (!CopyCrashAppFacts(copy, which)) continue;
        ++copies;
        if (!SameTexts(copy, records[which % 2])) ++torn;
    }
    stop = true;
    writer.join();
    WithdrawCrashAppFacts();
    EXPECT_GT(copies, 0);
    EXPECT_EQ(0, torn) << "of " << copies;
}

}  // namespace
}  // namespace Varn
