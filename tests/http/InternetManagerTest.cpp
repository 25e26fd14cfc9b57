// The update check as the internet manager runs it: its status, the parsed
// answer, a second check forgetting the first answer, and a failed check.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdlib>

#include "framework/internet/CurlLibrary.h"
#include "framework/internet/InternetManager.h"
#include "tests/http/LoopbackServer.h"

namespace Varn::test {
namespace {

class InternetManagerTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("no_proxy", "127.0.0.1,localhost", 1); }

    void Check(const std::string& url) {
        manager.StartUpdateCheck(url);
        manager.GetCheckTransfer().Wait();
    }

    std::string log;
    InternetManager manager{{}, [this](const std::string& line) { log += line; }};
};

TEST_F(InternetManagerTest, CompletedCheckIsParsedOnce) {
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\n0\r\nhttp://zandrel.example/get\r\n"}});
    EXPECT_EQ(manager.UpdateCheckStatus(), InternetManager::kNotStarted);
    EXPECT_TRUE(manager.IsUpToDate());
    Check(server.Url("/win32updatecheck.php"));
    EXPECT_EQ(manager.UpdateCheckStatus(), InternetManager::kDone);
    EXPECT_FALSE(manager.IsUpToDate());
    EXPECT_EQ(manager.UpdatePageUrl(), "http://zandrel.example/get");
    EXPECT_TRUE(manager.TakeCompletedCheck());
    EXPECT_FALSE(manager.TakeCompletedCheck());
}

TEST_F(InternetManagerTest, SecondCheckForgetsTheFirstAnswer) {
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\n0\r\nhttp://zandrel.example/get\r\n"},
                           {"HTTP/1.0 200 OK\r\n\r\n1\r\n"}});
    Check(server.Url());
    EXPECT_FALSE(manager.IsUpToDate());
    Check(server.Url());
    EXPECT_TRUE(manager.IsUpToDate());
    EXPECT_EQ(manager.UpdatePageUrl(), "");
}

TEST_F(InternetManagerTest, FailedCheckParsesNothing) {
    LoopbackServer server({{"HTTP/1.0 404 Not Found\r\n\r\n0\r\nhttp://zandrel.example/\r\n"}});
    Check(server.Url());
    EXPECT_EQ(manager.UpdateCheckStatus(), InternetManager::kFailed);
    EXPECT_FALSE(manager.ParseUpdateResponse());
    EXPECT_TRUE(manager.IsUpToDate());
    EXPECT_EQ(manager.UpdatePageUrl(), "");
    EXPECT_FALSE(manager.TakeCompletedCheck());
}

TEST_F(InternetManagerTest, PageThatIsNoWebAddressCountsAsNone) {
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\n0\r\n--version\r\n"}});
    Check(server.Url());
    EXPECT_FALSE(manager.IsUpToDate());
    EXPECT_EQ(manager.UpdatePageUrl(), "");
}

TEST_F(InternetManagerTest, StoppingGivesUpARunningCheck) {
    LoopbackServer silent({{"", true}});
    manager.StartUpdateCheck(silent.Url());
    EXPECT_FALSE(manager.StopTransfers());
    EXPECT_EQ(manager.UpdateCheckStatus(), InternetManager::kFailed);
}

decltype(CurlLibrary::easy_setopt) acceptingSetopt = nullptr;

// libcurl as one without the protocol limit would answer; every other option is passed on.
CURLcode RefuseProtocolLimit(CURL* easy, CURLoption option, ...) {
    if (option == CURLOPT_PROTOCOLS_STR) return CURLE_UNKNOWN_OPTION;
    va_list arguments;
    va_start(arguments, option);
    // Pointers between the two number ranges; long and curl_off_t are one type here.
    const bool pointer = option >= CURLOPTTYPE_OBJECTPOINT && option < CURLOPTTYPE_OFF_T;
    CURLcode code = pointer ? acceptingSetopt(easy, option, va_arg(arguments, void*))
                            : acceptingSetopt(easy, option, va_arg(arguments, curl_off_t));
    va_end(arguments);
    return code;
}

TEST_F(InternetManagerTest, RefusedCurlOptionFailsTheCheckAndTheLogSaysWhich) {
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\n1\r\n"}});
    // The shared library object is not const; the worker reads it only while it runs.
    auto* curl = const_cast<CurlLibrary*>(SharedCurl());
    ASSERT_NE(curl, nullptr) << SharedCurlError();
    acceptingSetopt = curl->easy_setopt;
    curl->easy_setopt = RefuseProtocolLimit;
    Check(server.Url());
    curl->easy_setopt = acceptingSetopt;
    EXPECT_EQ(manager.UpdateCheckStatus(), InternetManager::kFailed);
    manager.LogCheckFailure();
    EXPECT_NE(log.find("failed: libcurl refused CURLOPT_PROTOCOLS_STR: "), std::string::npos)
        << log;
}

}  // namespace
}  // namespace Varn::test
