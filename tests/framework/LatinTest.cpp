#include <gtest/gtest.h>

#include "platform/Latin1.h"

namespace Varn {
namespace {

TEST(Latin1Test, RoundTripsEveryByte) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += char(c);
    EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(all)), all);
}

TEST(Latin1Test, DropsCharactersBeyondLatin1AndBrokenSequences) {
    EXPECT_EQ(Utf8ToLatin1("a\xE2\x82\xAC"
                           "b"),
              "ab");                                    // euro sign
    EXPECT_EQ(Utf8ToLatin1("a\xC3"), "a");              // cut sequence
    EXPECT_EQ(Utf8ToLatin1("\x80x\xC3\xA9"), "x\xE9");  // stray continuation, e-acute
}

}  // namespace
}  // namespace Varn
