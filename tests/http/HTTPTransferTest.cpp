// HTTPTransfer against a scripted loopback server: result codes, the body,
// the request it sends, limits, aborting, restarting and destruction while
// the worker is blocked; and the URL splitting and relative-URL rules.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "framework/internet/CurlLibrary.h"
#include "framework/internet/HTTPTransfer.h"
#include "tests/http/LoopbackServer.h"
#include "tests/platform/SystemFaults.h"

namespace Varn::test {
namespace {

using Clock = std::chrono::steady_clock;

class HTTPTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("no_proxy", "127.0.0.1,localhost", 1);  // loopback never goes through a proxy
        HTTPTransfer::Limits quick;
        quick.connectTimeoutMs = 2000;
        quick.totalTimeoutMs = 3000;
        transfer.SetLimits(quick);
    }

    int Fetch(const std::string& url) {
        transfer.GetAbsolute(url);
        transfer.Wait();
        return transfer.GetResult();
    }

    HTTPTransfer transfer;
};

struct ReplyCase {
    const char* name;
    const char* reply;
    int result;
    const char* content;
};

TEST_F(HTTPTransferTest, ScriptedAnswersGiveTheirCodesAndBodies) {
    const ReplyCase cases[] = {
        {"200", "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhello", 0, "hello"},
        {"404", "HTTP/1.0 404 Not Found\r\n\r\nmissing", 3, "missing"},
        {"500", "HTTP/1.0 500 Broken\r\n\r\nbroken", 4, "broken"},
        {"no status line", "1\r\nhttp://example.org/\r\n", 0, "1\r\nhttp://example.org/\r\n"},
        {"headers only", "HTTP/1.0 200 OK\r\nX-Thing: y\r\n\r\n", 0, ""},
        {"body cut off", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort", 4, nullptr},
        {"nothing at all", "", 4, nullptr},
        {"gzip", "HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\n\r\n\x1f\x8b\x08", 4, nullptr},
        {"identity", "HTTP/1.0 200 OK\r\nContent-Encoding: Identity\r\n\r\n1", 0, "1"},
    };
    for (const ReplyCase& c : cases) {
        LoopbackServer server({{c.reply}});
        EXPECT_EQ(Fetch(server.Url("/a")), c.result) << c.name;
        if (c.content) {
            EXPECT_EQ(transfer.GetContent(), c.content) << c.name;
        }
    }
}

TEST_F(HTTPTransferTest, SendsHttp10GetWithAgentAndHost) {
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\n"}});
    ASSERT_EQ(Fetch(server.Url("/check.php?prod=P&ver=1")), 0);
    std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& request = requests[0];
    EXPECT_EQ(request.rfind("GET /check.php?prod=P&ver=1 HTTP/1.0\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nAgent: Mozilla/4.0 (compatible; zandrel)\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nAccept-Encoding: identity\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"),
              std::string::npos);
    EXPECT_EQ(transfer.GetPort(), server.Port());
    EXPECT_EQ(transfer.GetPath(), "/check.php?prod=P&ver=1");
}

TEST_F(HTTPTransferTest, SilentServerTimesOutWithAFailure) {
    LoopbackServer server({{"", true}});
    HTTPTransfer::Limits limits;
    limits.totalTimeoutMs = 300;
    transfer.SetLimits(limits);
    EXPECT_EQ(Fetch(server.Url()), HTTPTransfer::kBadStatus);
    EXPECT_FALSE(transfer.IsRunning());
}

TEST_F(HTTPTransferTest, FailedWaitOrNoWorkerThreadIsAFailedTransfer) {
    LoopbackServer silent({{"", true}});
#ifndef __SANITIZE_ADDRESS__
    // The sanitizers' runtime checks memory through a pipe, so with one descriptor allowed it
    // reports the worker's own end as a fault; the plain and thread builds check this half.
    transfer.GetAbsolute(silent.Url());
    while (silent.Connections() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const rlimit one{1, saved.rlim_max};
    setrlimit(RLIMIT_NOFILE, &one);  // poll() refuses more descriptors than that
    transfer.Wait();
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kConnectFailed);
#endif
    NoNewThreads none;
    EXPECT_EQ(Fetch(silent.Url()), HTTPTransfer::kNoSocket);
}

TEST_F(HTTPTransferTest, OversizedAnswerStopsAtTheLimit) {
    ScriptedReply big{"HTTP/1.0 200 OK\r\n\r\n" + std::string(2 << 20, 'x')};
    big.chunkBytes = 64 * 1024;
    LoopbackServer server({big});
    EXPECT_EQ(Fetch(server.Url()), HTTPTransfer::kBadStatus);
    EXPECT_LE(transfer.GetContent().size(), size_t(1) << 20);
}

TEST_F(HTTPTransferTest, RefusedPortAndUnknownHostHaveTheirCodes) {
    EXPECT_EQ(Fetch("http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/"),
              HTTPTransfer::kConnectFailed);
    EXPECT_EQ(Fetch("http://no-such-host.invalid/"), HTTPTransfer::kNoHost);
}

TEST_F(HTTPTransferTest, OnlyWebAddressesAreFetched) {
    for (const char* url : {"file:///etc/passwd", "ftp://127.0.0.1/", "no-slashes", "http://"})
        EXPECT_EQ(Fetch(url), HTTPTransfer::kNoHost) << url;
    LoopbackServer server({{"HTTP/1.0 302 Found\r\nLocation: file:///etc/passwd\r\n\r\n"}});
    EXPECT_NE(Fetch(server.Url()), HTTPTransfer::kCompleted);
    EXPECT_EQ(transfer.GetContent().find("root:"), std::string::npos);
}

// Cloud credentials live there: a redirect there is a bad status, a direct ask no connection.
TEST_F(HTTPTransferTest, LinkLocalAddressesAreRefusedBeforeConnecting) {
    for (const char* target : {"http://169.254.169.254/latest/", "http://[fe80::1]/", ""}) {
        LoopbackServer server(
            {{std::string("HTTP/1.0 302 Found\r\nLocation: ") + target + "\r\n\r\n"}});
        const bool direct = *target == 0;
        EXPECT_EQ(Fetch(direct ? "http://169.254.1.1/" : server.Url()),
                  direct ? HTTPTransfer::kConnectFailed : HTTPTransfer::kBadStatus);
        EXPECT_NE(transfer.GetFailureReason().find("link-local address"), std::string::npos)
            << target << ": " << transfer.GetFailureReason();
    }
}

TEST_F(HTTPTransferTest, AbortDuringASlowAnswerEndsAtOnce) {
    ScriptedReply slow{"HTTP/1.0 200 OK\r\n\r\n" + std::string(4000, 'y')};
    slow.chunkBytes = 10;
    slow.chunkDelayMs = 50;
    LoopbackServer server({slow});
    transfer.GetAbsolute(server.Url());
    while (server.Connections() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    Clock::time_point before = Clock::now();
    transfer.Abort();
    transfer.Wait();
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before);
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kAborted);
    EXPECT_LT(waited.count(), 100);
}

TEST_F(HTTPTransferTest, NewStartWhileRunningReplacesTheOldTransfer) {
    LoopbackServer silent({{"", true}});
    LoopbackServer answering({{"HTTP/1.0 200 OK\r\n\r\nsecond"}});
    transfer.GetAbsolute(silent.Url());
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kInProgress);
    EXPECT_EQ(Fetch(answering.Url("/b")), 0);
    EXPECT_EQ(transfer.GetContent(), "second");
    EXPECT_EQ(transfer.GetRequestedUrl(), answering.Url("/b"));
}

TEST_F(HTTPTransferTest, DestroyingWhileTheWorkerIsBlockedIsSafe) {
    LoopbackServer silent({{"", true}});
    auto blocked = std::make_unique<HTTPTransfer>();
    blocked->GetAbsolute(silent.Url());
    while (silent.Connections() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    blocked.reset();  // aborts and joins; sanitizers watch for races and leaks
    SUCCEED();
}

TEST_F(HTTPTransferTest, RelativeNamesAreFetchedBesideTheBase) {
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\nfile"}});
    transfer.GetRelative(server.Url("/dir/check.php?x=1"), "ads/pic.gif");
    transfer.Wait();
    EXPECT_EQ(transfer.GetResult(), 0);
    EXPECT_EQ(transfer.GetRequestedUrl(), "ads/pic.gif");
    EXPECT_EQ(server.Requests().at(0).rfind("GET /dir/ads/pic.gif HTTP/1.0", 0), 0u);
}

struct ResolveCase {
    const char* base;
    const char* relative;
    const char* full;
};

// The game runs without libcurl installed; only its transfers fail.
TEST(CurlLibraryTest, AMissingLibraryOrEntryPointIsRefusedWithItsReason) {
    const struct {
        const char* soname;
        const char* reason;
    } cases[] = {
        {"libgemlode-no-such-curl.so.4", "libgemlode-no-such-curl.so.4"},
        {"libz.so.1", "curl_global_init is missing from libcurl"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(CurlLibrary::Open(c.soname, error), nullptr) << c.soname;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    std::string error;
    EXPECT_NE(CurlLibrary::Open("libcurl.so.4", error), nullptr) << error;
}

TEST(HTTPTransferUrlTest, RelativeResolutionRules) {
    const ResolveCase cases[] = {
        {"http://h.example/dir/sub/check.php?a=b", "page.html",
         "http://h.example/dir/sub/page.html"},
        {"http://h.example/dir/check.php?a=b/c", "page.html", "http://h.example/dir/page.html"},
        {"http://h.example/dir/check.php?a=b", "/top.html", "http://h.example/top.html"},
        {"http://h.example", "/top.html", "http://h.example/top.html"},
        {"http://h.example/dir/x", "http://other.example/y", "http://other.example/y"},
        {"http://h.example/dir/x", "https://other.example/y", "https://other.example/y"},
        {"http://h.example", "page.html", "http://h.example/page.html"},
        {"https://h.example", "page.html", "https://h.example/page.html"},
        {"https://h.example:8443/d/c.php", "/p", "https://h.example:8443/p"},
        {"https://h.example/d/c.php", "a/b.gif", "https://h.example/d/a/b.gif"},
    };
    for (const ResolveCase& c : cases)
        EXPECT_EQ(HTTPTransfer::ResolveRelative(c.base, c.relative), c.full)
            << c.base << " + " << c.relative;
}

TEST(HTTPTransferUrlTest, SplittingFindsHostPortAndPath) {
    HTTPTransfer::UrlParts plain = HTTPTransfer::SplitUrl("http://h.example");
    EXPECT_EQ(plain.protocol, "http");
    EXPECT_EQ(plain.host, "h.example");
    EXPECT_EQ(plain.port, 80);
    EXPECT_EQ(plain.path, "/");
    HTTPTransfer::UrlParts ported = HTTPTransfer::SplitUrl("https://127.0.0.1:8080/a/b?c=d");
    EXPECT_EQ(ported.protocol, "https");
    EXPECT_EQ(ported.host, "127.0.0.1");
    EXPECT_EQ(ported.port, 8080);
    EXPECT_EQ(ported.path, "/a/b?c=d");
    EXPECT_EQ(HTTPTransfer::SplitUrl("https://h.example").port, 443);
    EXPECT_EQ(HTTPTransfer::SplitUrl("http://[::1]:81/").host, "[::1]");
}

}  // namespace
}  // namespace Varn::test
