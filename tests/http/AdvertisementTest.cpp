// The advertisement list: its line format, the name check against hostile
// names (nothing is ever written outside "ads"), adlist.txt, the downloads
// against a loopback server, and showing one at exit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "board/GameRandom.h"
#include "framework/internet/AdvertisementFiles.h"
#include "framework/internet/InternetManager.h"
#include "tests/http/LoopbackServer.h"

namespace Varn::test {
namespace {

namespace fs = std::filesystem;

Advertisement Parse(const std::string& line, const std::vector<Advertisement>& previous = {}) {
    Advertisement advertisement;
    std::vector<std::string> queue;
    ParseAdvertisementLine(line, previous, advertisement, queue);
    return advertisement;
}

std::string Reply(const std::string& body) {
    return "HTTP/1.0 200 OK\r\n\r\n" + body;
}

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/gemlode-ads-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() { fs::remove_all(path); }
    // Every regular file below `folder`, relative to it, in order.
    std::vector<std::string> Files(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), folder));
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path path;
};

TEST(AdvertisementLineTest, SavedLineEndingInGroupZeroIsNotPending) {
    Advertisement ad = Parse("400 300 | page.html pic.gif | 0");
    EXPECT_EQ(ad.width, 400);
    EXPECT_EQ(ad.height, 300);
    EXPECT_EQ(ad.files, (std::vector<std::string>{"page.html", "pic.gif"}));
    EXPECT_FALSE(ad.pending);
    EXPECT_TRUE(Parse("400 300 | page.html pic.gif").pending);
}

TEST(AdvertisementLineTest, RepeatedAdvertisementKeepsItsShownState) {
    std::vector<Advertisement> previous = {Parse("1 1 | other.html | 1"),
                                           Parse("1 1 | page.html | 0")};
    EXPECT_FALSE(Parse("400 300 | page.html pic.gif", previous).pending);
    EXPECT_TRUE(Parse("400 300 | page.html pic.gif | 1", previous).pending);
    EXPECT_TRUE(Parse("400 300 | new.html", previous).pending);
}

TEST(AdvertisementLineTest, SharedFileIsQueuedOnce) {
    InternetManager manager;
    manager.AddAdvertisementLine("1 1 | a.html shared.gif");
    manager.AddAdvertisementLine("1 1 | b.html shared.gif");
    EXPECT_EQ(manager.DownloadQueue(),
              (std::vector<std::string>{"a.html", "shared.gif", "b.html"}));
}

TEST(AdvertisementLineTest, OddLinesParseSafely) {
    Advertisement bare = Parse("400 300");
    EXPECT_TRUE(bare.files.empty());
    EXPECT_EQ(bare.width, 400);
    Advertisement blanks = Parse("  400   300  |  a.html   b.gif |  1 ");
    EXPECT_EQ(blanks.height, 300);
    EXPECT_EQ(blanks.files, (std::vector<std::string>{"a.html", "b.gif"}));
    EXPECT_TRUE(blanks.pending);
    Advertisement huge = Parse("99999999999999999999 -99999999999999999999 | a.html");
    EXPECT_EQ(huge.width, INT_MAX);
    EXPECT_EQ(huge.height, INT_MIN);
    Advertisement many = Parse("1 1 |" + [] {
        std::string names;
        for (int i = 0; i < 40; ++i) names += " f" + std::to_string(i) + ".gif";
        return names;
    }());
    EXPECT_EQ(many.files.size(), Advertisement::kMaxFiles);
    EXPECT_EQ(many.droppedFiles, 8);
    Advertisement empty;
    std::vector<std::string> queue;
    EXPECT_FALSE(ParseAdvertisementLine("   ", {}, empty, queue));
}

TEST(AdvertisementNameTest, HostileNamesAreRefusedAndNothingLeavesAds) {
    const std::string names[] = {"../x",
                                 "/etc/passwd",
                                 "a/../../b",
                                 "a//b",
                                 ".",
                                 "..",
                                 "-rf",
                                 "a/-rf",
                                 "a\\b",
                                 "a b",
                                 "a\tb",
                                 std::string("a\0b", 3),
                                 "a\nb",
                                 "a\rb",
                                 std::string(250, 'a'),
                                 "ads/../..",
                                 "",
                                 "/",
                                 "a/",
                                 "/a",
                                 "a/b/c/d",
                                 "./a",
                                 "a/./b",
                                 "~/x",
                                 "$HOME",
                                 "a;b",
                                 "a|b",
                                 "a*b",
                                 "a?b",
                                 "%2e%2e/x",
                                 "a:b",
                                 "C:\\x",
                                 "\x7f",
                                 "\xc3\xa9.html",
                                 "file:///etc/passwd",
                                 "http://evil.example/x"};
    TempFolder folder;
    fs::path ads = folder.path / "ads";
    for (const std::string& name : names) {
        EXPECT_FALSE(IsSafeAdvertisementName(name)) << name;
        EXPECT_FALSE(StoreAdFile(ads, name, "x")) << name;
        EXPECT_FALSE(AdFilePresent(ads, name)) << name;
    }
    EXPECT_EQ(folder.Files(folder.path), std::vector<std::string>{});
    for (const char* good : {"page.html", "a/b/c.gif", "x-1_2.PNG", "sub/-/x"})
        EXPECT_EQ(IsSafeAdvertisementName(good), std::string(good) != "sub/-/x") << good;
}

TEST(AdvertisementNameTest, SymbolicLinksAreNeverFollowed) {
    TempFolder folder;
    fs::path ads = folder.path / "ads";
    fs::path outside = folder.path / "outside";
    fs::create_directories(ads);
    fs::create_directories(outside);
    fs::create_directory_symlink(outside, ads / "evil");
    std::ofstream(outside / "x.html") << "mine";
    fs::create_symlink(outside / "x.html", ads / "page.html");
    EXPECT_FALSE(StoreAdFile(ads, "evil/x.html", "ad"));
    EXPECT_FALSE(StoreAdFile(ads, "page.html", "ad"));
    EXPECT_FALSE(AdFilePresent(ads, "evil/x.html"));
    EXPECT_FALSE(AdFilePresent(ads, "page.html"));
    fs::path linkedAds = folder.path / "linked";
    fs::create_directory_symlink(outside, linkedAds);
    EXPECT_FALSE(StoreAdFile(linkedAds, "new.html", "ad"));
    EXPECT_EQ(folder.Files(outside), std::vector<std::string>{"x.html"});
    std::ifstream kept(outside / "x.html");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "mine");
}

TEST(AdvertisementNameTest, TwoFolderLevelsAreCreatedOuterFirst) {
    TempFolder folder;
    fs::path ads = folder.path / "ads";
    ASSERT_TRUE(StoreAdFile(ads, "one/two/pic.gif", "GIF"));
    EXPECT_TRUE(fs::is_directory(ads / "one" / "two"));
    EXPECT_TRUE(AdFilePresent(ads, "one/two/pic.gif"));
    EXPECT_EQ(folder.Files(folder.path), std::vector<std::string>{"ads/one/two/pic.gif"});
}

TEST(AdvertisementListFileTest, RoundTripsAndSkipsOverlongLines) {
    TempFolder folder;
    {
        std::ofstream list(folder.path / "adlist.txt");
        list << "400 300 | page.html pic.gif | 1\n"
             << "10 20 | " << std::string(7000, 'a') << ".html\n"
             << "1 2 | b.html | 0\r\n"
             << "5 6\n";
    }
    {
        InternetManager manager(folder.path);
        ASSERT_EQ(manager.Advertisements().size(), 3u);
        EXPECT_TRUE(manager.DownloadQueue().empty());
        EXPECT_FALSE(manager.Advertisements()[1].pending);
    }
    std::ifstream written(folder.path / "adlist.txt");
    std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "400 300 | page.html pic.gif | 1\n1 2 | b.html | 0\n5 6 | | 0\n");
    InternetManager again(folder.path);
    ASSERT_EQ(again.Advertisements().size(), 3u);
    EXPECT_EQ(again.Advertisements()[0].files.size(), 2u);
}

TEST(AdvertisementListFileTest, TheLongestWrittenLinesReadBack) {
    TempFolder folder;
    std::string longest = "-2147483648 -2147483648 |", refused = "1 1 |";
    for (int i = 100; i < 140; ++i) {
        longest += " " + std::to_string(i) + std::string(Advertisement::kMaxNameBytes - 3, 'n');
        refused += " " + std::to_string(i) + std::string(300, 'r');
    }
    {
        InternetManager manager(folder.path);
        manager.AddAdvertisementLine(longest);  // pending: written with " | 1"
        manager.AddAdvertisementLine(refused);
    }
    InternetManager again(folder.path);
    ASSERT_EQ(again.Advertisements().size(), 2u);
    EXPECT_EQ(again.Advertisements()[0].files.size(), Advertisement::kMaxFiles);
    EXPECT_TRUE(again.Advertisements()[1].refused);
}

TEST(AdvertisementListFileTest, UnchangedListIsNotWritten) {
    TempFolder folder;
    { InternetManager manager(folder.path); }
    EXPECT_FALSE(fs::exists(folder.path / "adlist.txt"));
    { InternetManager(folder.path).AddAdvertisementLine("1 2 | b.html | 0"); }
    struct stat before {
    }, after{};
    ASSERT_EQ(stat((folder.path / "adlist.txt").c_str(), &before), 0);
    { InternetManager manager(folder.path); }
    ASSERT_EQ(stat((folder.path / "adlist.txt").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);  // a rewrite renames a new file over it
}

class AdvertisementDownloadTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("no_proxy", "127.0.0.1,localhost", 1); }

    // A completed check of `server`, then its downloads, run to their end.
    void CheckAndDownload(InternetManager& manager, LoopbackServer& server) {
        manager.StartUpdateCheck(server.Url("/dir/win32updatecheck.php?prod=P"));
        manager.GetCheckTransfer().Wait();
        ASSERT_EQ(manager.UpdateCheckStatus(), InternetManager::kDone);
        manager.StartDownloads();
        for (int i = 0; i < 500 && manager.DownloadsRunning(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_FALSE(manager.DownloadsRunning());
    }

    TempFolder folder;
};

TEST_F(AdvertisementDownloadTest, DownloadsExactlyTheNamedFiles) {
    LoopbackServer server(std::map<std::string, ScriptedReply>{
        {"/dir/win32updatecheck.php",
         {Reply("0\r\nhttp://zandrel.example/\r\n400 300 | one.html shared.gif | 1\r\n"
                "200 100 | sub/two.html shared.gif\r\n")}},
        {"/dir/one.html", {Reply("<p>one</p>")}},
        {"/dir/shared.gif", {Reply("GIF89a")}},
        {"/dir/sub/two.html", {Reply("<p>two</p>")}},
        {"/dir/unused.gif", {Reply("no")}}});
    InternetManager manager(folder.path);
    CheckAndDownload(manager, server);
    EXPECT_EQ(folder.Files(folder.path / "ads"),
              (std::vector<std::string>{"one.html", "shared.gif", "sub/two.html"}));
    EXPECT_EQ(server.RequestsFor("/dir/shared.gif"), 1);
    EXPECT_TRUE(manager.HasPendingAdvertisement());
}

TEST_F(AdvertisementDownloadTest, MissingFileLeavesItsAdvertisementUnavailable) {
    LoopbackServer server(std::map<std::string, ScriptedReply>{
        {"/dir/win32updatecheck.php",
         {Reply("1\r\nhttp://zandrel.example/\r\n400 300 | gone.html | 1\r\n"
                "1 1 | ok.html\r\n")}},
        {"/dir/ok.html", {Reply("ok")}}});
    InternetManager manager(folder.path);
    CheckAndDownload(manager, server);
    manager.RefreshAvailability();
    EXPECT_FALSE(manager.Advertisements()[0].available);
    EXPECT_TRUE(manager.Advertisements()[1].available);
    EXPECT_EQ(server.RequestsFor("/dir/gone.html"), 1);
}

TEST_F(AdvertisementDownloadTest, StallingServerIsStoppedPromptly) {
    LoopbackServer server(std::map<std::string, ScriptedReply>{
        {"/dir/win32updatecheck.php", {Reply("1\r\nhttp://z.example/\r\n1 1 | slow.html\r\n")}},
        {"/dir/slow.html", {"", true}}});
    InternetManager manager(folder.path);
    manager.StartUpdateCheck(server.Url("/dir/win32updatecheck.php"));
    manager.GetCheckTransfer().Wait();
    manager.StartDownloads();
    while (server.RequestsFor("/dir/slow.html") == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    auto before = std::chrono::steady_clock::now();
    manager.StopDownloads();
    auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_FALSE(manager.DownloadsRunning());
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count(), 200);
    EXPECT_FALSE(fs::exists(folder.path / "ads" / "slow.html"));
}

TEST_F(AdvertisementDownloadTest, FileOverTheLimitIsNotKept) {
    LoopbackServer server(std::map<std::string, ScriptedReply>{
        {"/dir/win32updatecheck.php", {Reply("1\r\nhttp://z.example/\r\n1 1 | big.html\r\n")}},
        {"/dir/big.html", {Reply(std::string(5000, 'b'))}}});
    InternetManager manager(folder.path);
    HTTPTransfer::Limits small;
    small.maxBodyBytes = 1000;
    manager.SetDownloadLimits(small, 32 << 20);
    CheckAndDownload(manager, server);
    EXPECT_FALSE(fs::exists(folder.path / "ads" / "big.html"));
}

TEST_F(AdvertisementDownloadTest, CompletedRoundKeepsOnlyNamedFilesWithinTheBudget) {
    const fs::path ads = folder.path / "ads";
    for (const char* name : {"prev.html", "prev2.html", "old/x/stale.gif"})
        ASSERT_TRUE(StoreAdFile(ads, name, std::string(30, 'p')));
    std::ofstream(folder.path / "adlist.txt") << "1 1 | prev.html\n1 1 | prev2.html\n";
    LoopbackServer server(std::map<std::string, ScriptedReply>{
        {"/dir/win32updatecheck.php", {Reply("1\r\nhttp://z.example/\r\n1 1 | new.html\r\n")}},
        {"/dir/new.html", {Reply(std::string(60, 'n'))}}});
    InternetManager manager(folder.path);
    manager.SetDownloadLimits(HTTPTransfer::Limits(), 100);
    CheckAndDownload(manager, server);
    EXPECT_EQ(folder.Files(ads), (std::vector<std::string>{"new.html", "prev.html"}));
    EXPECT_FALSE(fs::exists(ads / "old"));
    LoopbackServer emptyList({{Reply("1\r\nhttp://z.example/\r\n")}});
    CheckAndDownload(manager, emptyList);  // nothing to fetch: the previous list's files stay
    EXPECT_EQ(folder.Files(ads), std::vector<std::string>{"new.html"});
}

TEST_F(AdvertisementDownloadTest, EachLimitALongAnswerReachesIsLoggedOnce) {
    std::string answer = "1\r\nhttp://z.example/\r\n1 1 | ../x.html\r\n1 1 |";
    for (int i = 0; i < 40; ++i) answer += " f" + std::to_string(i) + ".gif";
    for (int i = 0; i < 1000; ++i) answer += "\r\n1 1 | a.html";
    LoopbackServer server({{Reply(answer)}});
    std::vector<std::string> logged;
    InternetManager manager(folder.path, [&](const std::string& line) { logged.push_back(line); });
    manager.StartUpdateCheck(server.Url());
    manager.GetCheckTransfer().Wait();
    ASSERT_TRUE(manager.ParseUpdateResponse());
    EXPECT_EQ(manager.Advertisements().size(), InternetManager::kMaxAdvertisements);
    EXPECT_EQ(logged.size(), 3u);
}

// ---- showing ----

class ShowAdvertisementTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StoreAdFile(folder.path / "ads", "page.html", "<p>ad</p>"));
        ASSERT_TRUE(StoreAdFile(folder.path / "ads", "pic.gif", "GIF"));
    }
    TempFolder folder;
    std::vector<std::string> opened;
    InternetManager::UrlOpener Recorder() {
        return [this](const std::string& url) {
            opened.push_back(url);
            return true;
        };
    }
};

TEST_F(ShowAdvertisementTest, AtExitOpensThePendingPageHalfTheTimeOverSeeds) {
    int expected = 0;
    for (std::uint32_t seed = 1; seed <= 16; ++seed) {
        fs::remove(folder.path / "adlist.txt");  // the previous run's list
        InternetManager manager(folder.path);
        manager.AddAdvertisementLine("400 300 | page.html pic.gif | 1");
        GameRandom random(seed);
        GameRandom replay(seed);
        bool shows = replay.Next() % 2 == 0;
        expected += shows ? 1 : 0;
        size_t before = opened.size();
        manager.ShowAdvertisementAtExit(Recorder(), [&] { return random.Next(); });
        EXPECT_EQ(opened.size() - before, shows ? 1u : 0u) << "seed " << seed;
        EXPECT_EQ(manager.Advertisements()[0].pending, !shows);
    }
    EXPECT_GT(expected, 3);
    EXPECT_LT(expected, 13);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened[0], "file://" + (folder.path / "ads" / "page.html").string());
}

TEST_F(ShowAdvertisementTest, NothingPendingPicksAnAvailableOneAtRandom) {
    InternetManager manager(folder.path);
    manager.AddAdvertisementLine("1 1 | missing.html | 1");
    manager.AddAdvertisementLine("1 1 | page.html | 0");
    manager.ShowAdvertisementAtExit(Recorder(), [] { return 0; });
    EXPECT_TRUE(opened.empty());  // nothing pending: nothing at exit
    manager.ShowAdvertisement(Recorder(), [] { return 7; });
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("/ads/page.html"), std::string::npos);
}

TEST_F(ShowAdvertisementTest, OnlyWebPagesAreOpened) {
    InternetManager manager(folder.path);
    manager.AddAdvertisementLine("1 1 | pic.gif | 1");
    manager.ShowAdvertisement(Recorder(), [] { return 0; });
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(manager.Advertisements()[0].pending);
}

}  // namespace
}  // namespace Varn::test
