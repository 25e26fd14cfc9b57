// The update server's answer: the up-to-date line, the page, the
// advertisement lines, and what counts as a page that may be opened.
#include <gtest/gtest.h>

#include "framework/internet/UpdateResponse.h"

namespace Varn::test {
namespace {

struct ResponseCase {
    const char* text;
    bool upToDate;
    const char* page;
    size_t adLines;
};

TEST(UpdateResponseTest, LinesAreCountedWithoutBlanks) {
    const ResponseCase cases[] = {
        {"1\n", true, "", 0},
        {"0\nhttp://zandrel.example/new\n", false, "http://zandrel.example/new", 0},
        {"\r\n\n0 \r\n  \r\n\nhttp://p.example/x\r \r\n400 300 | a.html | 1\n", false,
         "http://p.example/x", 1},
        {"0\r\nhttp://p.example/\r\nad one\r\n\r\nad two", false, "http://p.example/", 2},
        {"  -7\nhttp://p.example/", true, "http://p.example/", 0},
        {"99999999999999999999999\n", true, "", 0},
        {"000\n", false, "", 0},
        {"", true, "", 0},
    };
    for (const ResponseCase& c : cases) {
        UpdateResponse response = ParseUpdateResponseText(c.text);
        EXPECT_EQ(response.upToDate, c.upToDate) << c.text;
        EXPECT_EQ(response.pageUrl, c.page) << c.text;
        EXPECT_EQ(response.advertisementLines.size(), c.adLines) << c.text;
    }
}

TEST(UpdateResponseTest, OnlyPlainWebAddressesMayBeOpened) {
    for (const char* good : {"http://zandrel.example/", "HTTPS://z.example/get?v=2"})
        EXPECT_TRUE(IsOpenableWebAddress(good)) << good;
    for (const char* bad :
         {"", "/etc/passwd", "file:///etc/passwd", "--help", "-x http://a/", "javascript:alert(1)",
          "http://", "http:///x", "http://a b/", "http://a/\x01", "ftp://z.example/",
          "http://a/\x80", "http://a/\x9f", "http://a/\xa0x"})
        EXPECT_FALSE(IsOpenableWebAddress(bad)) << bad;
    EXPECT_FALSE(IsOpenableWebAddress("http://a/" + std::string(3000, 'x')));
}

}  // namespace
}  // namespace Varn::test
